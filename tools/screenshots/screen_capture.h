// A window as the screen shows it, once it is drawn: what the README's pictures
// are saved from, and what the tests hold against the launcher's bitmaps.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/unique_handle.h"

// The area (screen coordinates) where window stands, as 0x00RRGGBB pixels in
// top-down rows: the window is repainted, then taken until two captures a
// moment apart agree on a picture that is not all one colour.
inline std::vector<DWORD> CaptureOnceDrawn(HWND window, const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  const platform::unique_hbitmap copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const platform::unique_hdc memory(CreateCompatibleDC(nullptr));
  const platform::scoped_select selected(memory.get(), copy.get());
  const HDC screen = GetDC(nullptr);
  std::vector<DWORD> taken, again;
  for (int attempt = 0; attempt < 500; ++attempt, Sleep(20)) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // a paint still due comes first
    BitBlt(memory.get(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    again.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
    if (again == taken && std::ranges::any_of(again, [&](DWORD pixel) { return pixel != again[0]; })) break;
    taken.swap(again);
  }
  ReleaseDC(nullptr, screen);
  return again;
}
