#pragma once

#include <windows.h>

// Dialog procedure of the main launcher dialog. The dialog ends with the id of
// the button that closed it: run DirectX 9, run DirectX 10, or IDCANCEL.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
