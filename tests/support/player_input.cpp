#include "player_input.h"

#include "test_process.h"

namespace testing_support {
namespace {

void BringToFront(HWND window) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; }, 5s);
}

// Each event carries its own position: a button event that took the cursor's
// position could land where the cursor was before the move had arrived (on a
// disabled owner window, for one), and the click would be lost.
void SendMouse(DWORD flags, POINT screenPoint) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screenPoint.x * 65535LL + width / 2) / (width - 1));
  input.mi.dy = static_cast<LONG>((screenPoint.y * 65535LL + height / 2) / (height - 1));
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

}  // namespace

void ClickAt(HWND window, POINT screenPoint) {
  BringToFront(window);
  SetCursorPos(screenPoint.x, screenPoint.y);
  SendMouse(MOUSEEVENTF_LEFTDOWN, screenPoint);
  SendMouse(MOUSEEVENTF_LEFTUP, screenPoint);
}

void ClickControl(HWND dialog, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  ClickAt(dialog, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

bool ClickCloseBox(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  // Along the caption: the middle of the stretch that is the close box.
  const int captionY = rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  int right = -1, left = -1;
  for (int x = rect.right - 1; x > rect.left; --x) {
    const bool closeBox = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, captionY)) == HTCLOSE;
    if (closeBox && right < 0) right = x;
    if (closeBox) left = x;
    if (!closeBox && right >= 0) break;
  }
  if (right < 0) return false;
  ClickAt(window, {(left + right) / 2, captionY});
  return true;
}

void PressKey(HWND window, WORD virtualKey) {
  BringToFront(window);
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace testing_support
