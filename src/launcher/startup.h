#pragma once

#include <windows.h>

// Set when "-mce" was on the command line: Media Center started us and gets
// control back when we are done, whatever the player chose.
extern bool MediaCenterRequested;

// One launcher per user session: its existence marks a running launcher.
inline constexpr wchar_t SingleInstanceMutexName[] = L"MRV_GHT_LAUNCHER";

// The whole run of the launcher, from the single-instance guard to the Media
// Center hand-off. Always returns 0, the process's exit code.
int RunLauncher(HINSTANCE instance);
