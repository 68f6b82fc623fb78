#pragma once

#include <windows.h>

// The whole run of the launcher, from the single-instance guard to the Media
// Center hand-off. Always returns 0, the process's exit code.
int RunLauncher(HINSTANCE instance);
