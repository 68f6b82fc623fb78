#pragma once

#include <windows.h>

#include <string>
#include <string_view>

inline constexpr wchar_t LaunchErrorTitle[] = L"LaunchGame Failed.";

// The error code to report for a failed ShellExecuteExW. The thread's last
// error when it names a failure; otherwise (Wine's own error box resets it to
// 0) the Win32 code that the shell's SE_ERR_* result in hInstApp stands for,
// so the box never reports "The operation completed successfully".
DWORD LaunchErrorCode(DWORD lastError, HINSTANCE hInstApp);

// The system's text for an error code in the user's language, with its own
// trailing line break; empty when the system has none.
std::wstring SystemErrorText(DWORD code);

// The failure box's text: the system text, then "(Errorcode:0002)" with at
// least four lowercase hex digits and never cut off. Without system text only
// the code line.
std::wstring LaunchErrorText(DWORD code, std::wstring_view systemText);

// Shows the failure box for the code and returns once the player dismissed it.
void ShowLaunchError(DWORD code);
