#pragma once

#include <windows.h>

// The error code to report for a failed ShellExecuteExW. The thread's last
// error when it names a failure; otherwise the Win32 code that the shell's
// SE_ERR_* result in hInstApp stands for, so the box never reports "The
// operation completed successfully".
DWORD LaunchErrorCode(DWORD lastError, HINSTANCE hInstApp);

// The shell's own test of its result in hInstApp: above 32 it started the file.
inline bool ShellStartedFile(HINSTANCE hInstApp) { return reinterpret_cast<INT_PTR>(hInstApp) > 32; }

// Shows the failure box for the code, the system's text naming the game
// build's file where it has a place for a name ("%1 is not a valid Win32
// application."), and returns once the player dismissed it.
void ShowLaunchError(DWORD code, const wchar_t* executable);
