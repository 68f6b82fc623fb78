// The main dialog that both floors show (minimal_main_dialog.rc).
#pragma once

#include <windows.h>

// Shows the main dialog until Close. Given a procedure, the launcher's command
// IDM_GAMEPAD_SETTINGS opens the template IDD_GAMEPAD_DIALOG with it, owned
// by the main dialog; without one the command does nothing.
int RunFloorMainDialog(HINSTANCE instance, DLGPROC gamepadDialogProc);
