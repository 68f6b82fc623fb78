#pragma once

#include <windows.h>

inline constexpr wchar_t LaunchErrorTitle[] = L"LaunchGame Failed.";

// The error code to report for a failed ShellExecuteExW. The thread's last
// error when it names a failure; otherwise (Wine's own error box resets it to
// 0) the Win32 code that the shell's SE_ERR_* result in hInstApp stands for,
// so the box never reports "The operation completed successfully".
DWORD LaunchErrorCode(DWORD lastError, HINSTANCE hInstApp);

// Shows the failure box for the code and returns once the player dismissed it.
void ShowLaunchError(DWORD code);
