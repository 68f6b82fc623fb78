// The floor for the launcher's start-up and for its memory and idle CPU time
// with the main dialog open: the least a Win32 program can do to show a
// dialog of the main dialog's size, font and picture, with the same manifest
// and common controls. No menu, no mutex, no registry, no controller.
#include <windows.h>

#include "floor_main_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunFloorMainDialog(instance, nullptr); }
