// The main dialog that both floors show (minimal_main_dialog.rc).
#pragma once

#include <windows.h>

// Shows the main dialog until Cancel; command 40011 opens the second dialog,
// template `secondDialog` with `secondDialogProc`, owned by it.
int RunFloorMainDialog(HINSTANCE instance, int secondDialog, DLGPROC secondDialogProc);
