// Pictures as test artefacts: PNG files a person can look at after a run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Top-down 8-bit RGBA pixels.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4

  uint32_t Pixel(int x, int y) const;  // 0xRRGGBB
  void SetPixel(int x, int y, uint32_t rgb);
};

// Writes an uncompressed PNG (stored deflate blocks): no library needed.
bool WritePng(const std::wstring& path, const Image& image);

// The pixels of a bitmap (any format GetDIBits understands).
Image ImageOfBitmap(HBITMAP bitmap);

// What the screen shows of a window, frame and title included.
Image CaptureWindow(HWND window);

// The window as it shows once it has painted itself whole: it and its
// controls are repainted now, then captured until two captures agree.
Image CapturePaintedWindow(HWND window);

// Folder for artefacts of this test run (VKTEST_ARTIFACTS), created on demand.
std::wstring ArtifactFolder();

}  // namespace testing_support
