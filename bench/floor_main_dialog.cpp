#include "floor_main_dialog.h"

#include <commctrl.h>

#include "minimal_dialog.h"
#include "resource.h"

namespace {

HINSTANCE Instance;
DLGPROC GamepadDialogProc;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
    case IDM_GAMEPAD_SETTINGS:
      if (GamepadDialogProc)
        DialogBoxParamW(Instance, MAKEINTRESOURCEW(IDD_GAMEPAD_DIALOG), dialog, GamepadDialogProc, 0);
      break;
  }
  return FALSE;
}

}  // namespace

int RunFloorMainDialog(HINSTANCE instance, DLGPROC gamepadDialogProc) {
  Instance = instance;
  GamepadDialogProc = gamepadDialogProc;
  // As the launcher does before its dialog.
  InitCommonControls();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MINIMAL_FIRST), nullptr, MainDialogProc, 0);
  return 0;
}
