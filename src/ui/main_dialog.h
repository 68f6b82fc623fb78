#pragma once

#include <windows.h>

// Dialog procedure of the main launcher dialog (template IDD_MAIN_DIALOG). The
// dialog ends with the id of the button that closed it: run DirectX 9, run
// DirectX 10, or IDCANCEL (Close, Esc, the close box). It starts nothing
// itself; language commands store the game's language at once.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
