// The shell's functions that the launcher calls, from shell32.dll loaded on
// the first call: only starting a game or Media Center and the gamepad
// dialog's Documents folder need the shell, so the program starts without it.
// Each has the contract of the function it is named after; where shell32.dll
// or the function cannot be loaded, it fails as that function fails, with the
// loader's error as the thread's last error.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

namespace platform {

// FALSE, with hInstApp SE_ERR_DLLNOTFOUND.
BOOL ShellExecuteExW(SHELLEXECUTEINFOW* request);
// SE_ERR_DLLNOTFOUND.
HINSTANCE ShellExecuteW(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* directory, int show);
// HRESULT_FROM_WIN32 of the loader's error.
HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, wchar_t* path);

}  // namespace platform
