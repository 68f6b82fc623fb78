#include <windows.h>

#include "launcher/startup.h"

// Only the instance handle matters: the command line is read in UTF-16 later.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunLauncher(instance); }
