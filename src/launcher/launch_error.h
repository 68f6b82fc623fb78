#pragma once

#include <windows.h>

// The error code to report for a failed ShellExecuteExW. The thread's last
// error when it names a failure; otherwise (Wine's own error box resets it to
// 0) the Win32 code that the shell's SE_ERR_* result in hInstApp stands for,
// so the box never reports "The operation completed successfully".
DWORD LaunchErrorCode(DWORD lastError, HINSTANCE hInstApp);

// The shell's own test of its result in hInstApp: above 32 it started the file.
inline bool ShellStartedFile(HINSTANCE hInstApp) { return reinterpret_cast<INT_PTR>(hInstApp) > 32; }

// Shows the failure box for the code and returns once the player dismissed it.
void ShowLaunchError(DWORD code);
