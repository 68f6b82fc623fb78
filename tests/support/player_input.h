// Mouse and keyboard input as a player gives it, through SendInput, to the
// windows of another process under Wine.
#pragma once

#include <windows.h>

namespace testing_support {

// Brings the window to the front and clicks the left button at a point of
// the screen.
void ClickAt(HWND window, POINT screenPoint);
// Clicks the middle of a control of a dialog.
void ClickControl(HWND dialog, int id);
// Clicks the window's close box, found where the window itself says it is
// (WM_NCHITTEST). Returns false when the window has none.
bool ClickCloseBox(HWND window);
// Brings the window to the front and presses and releases a key.
void PressKey(HWND window, WORD virtualKey);

}  // namespace testing_support
