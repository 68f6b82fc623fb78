#include "platform/screen_scale.h"

namespace platform {

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  if (!screen) return DesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : DesignDpi;
}

unique_hbitmap ScaledBitmap(HBITMAP source, int width, int height, int numerator, int denominator) {
  BITMAP info{};
  if (!source || GetObjectW(source, sizeof(info), &info) != sizeof(info) || width <= 0 || height <= 0 ||
      numerator <= 0 || denominator <= 0)
    return {};
  BITMAPINFO format{};
  format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  unique_hbitmap scaled(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  const unique_hdc from(CreateCompatibleDC(nullptr));
  const unique_hdc to(CreateCompatibleDC(nullptr));
  if (!scaled || !from || !to) return {};
  {
    const scoped_select sourceSelected(from.get(), source);
    const scoped_select scaledSelected(to.get(), scaled.get());
    // HALFTONE averages the source pixels each target pixel covers; it needs
    // the brush origin set after the mode.
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    const int scaledWidth = ScaledBy(info.bmWidth, numerator, denominator);
    const int scaledHeight = ScaledBy(info.bmHeight, numerator, denominator);
    if (!StretchBlt(to.get(), 0, 0, scaledWidth, scaledHeight, from.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY))
      return {};
  }
  return scaled;
}

}  // namespace platform
