#include "ui/main_dialog.h"

#include "resource.h"

namespace {

void OnCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDC_RUN_DIRECTX9:
    case IDC_RUN_DIRECTX10:
    case IDCANCEL:
      EndDialog(dialog, id);
      break;
  }
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      break;
  }
  // Default handling is left to the dialog manager for every message.
  return FALSE;
}
