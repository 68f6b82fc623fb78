// The floor for the launcher's start-up, idle and footprint figures: the
// least a Win32 program can do to show a dialog of the main dialog's size,
// font and picture (with the same manifest and common controls), and to open
// a second dialog of the same size on command 40011. No menu, no mutex, no
// registry, no controller.
#include <windows.h>

#include <commctrl.h>

#include "minimal_dialog.h"

namespace {

HINSTANCE Instance;

INT_PTR CALLBACK SecondDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) EndDialog(dialog, 1);
  return FALSE;
}

INT_PTR CALLBACK FirstDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
    case IDM_MINIMAL_SECOND_DIALOG:
      DialogBoxParamW(Instance, MAKEINTRESOURCEW(IDD_MINIMAL_SECOND), dialog, SecondDialogProc, 0);
      break;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Instance = instance;
  InitCommonControls();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MINIMAL_FIRST), nullptr, FirstDialogProc, 0);
  return 0;
}
