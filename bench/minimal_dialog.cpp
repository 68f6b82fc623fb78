// The floor for the launcher's start-up, idle and footprint figures: the
// least a Win32 program can do to show a dialog of the main dialog's size,
// font and picture (with the same manifest and common controls), and to open
// a second dialog of the same size on command 40011. No menu, no mutex, no
// registry, no controller.
#include <windows.h>

#include "floor_main_dialog.h"
#include "minimal_dialog.h"

namespace {

INT_PTR CALLBACK SecondDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) EndDialog(dialog, 1);
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunFloorMainDialog(instance, IDD_MINIMAL_SECOND, SecondDialogProc);
}
