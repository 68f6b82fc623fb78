#include "floor_main_dialog.h"

#include <commctrl.h>

#include "minimal_dialog.h"

namespace {

HINSTANCE Instance;
int SecondDialog;
DLGPROC SecondDialogProc;

INT_PTR CALLBACK FirstDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
    case IDM_MINIMAL_SECOND_DIALOG:
      DialogBoxParamW(Instance, MAKEINTRESOURCEW(SecondDialog), dialog, SecondDialogProc, 0);
      break;
  }
  return FALSE;
}

}  // namespace

int RunFloorMainDialog(HINSTANCE instance, int secondDialog, DLGPROC secondDialogProc) {
  Instance = instance;
  SecondDialog = secondDialog;
  SecondDialogProc = secondDialogProc;
  InitCommonControls();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MINIMAL_FIRST), nullptr, FirstDialogProc, 0);
  return 0;
}
