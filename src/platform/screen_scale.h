// The screen's scale as this program sees it. The launcher declares no DPI
// awareness: where Windows does not scale it as a picture (Windows XP's large
// fonts, Vista and 7 at 120 DPI, Wine at any DPI), dialog fonts grow with the
// screen's DPI while bitmaps keep their pixel size, so the dialogs scale their
// pictures and pixel layouts themselves.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace platform {

// The DPI the dialogs' pictures and pixel layouts are drawn for.
inline constexpr int DesignDpi = 96;

// The screen's logical DPI (LOGPIXELSY); DesignDpi when it cannot be read.
int ScreenDpi();

// value * numerator / denominator rounded to the nearest integer, halves away
// from zero (denominator > 0).
constexpr int ScaledBy(int value, int numerator, int denominator) {
  const long long twice = 2LL * value * numerator;
  return static_cast<int>((twice + (twice < 0 ? -denominator : denominator)) / (2LL * denominator));
}

// A length of design pixels at dpi, rounded to the nearest pixel.
constexpr int ScaledToDpi(int designPixels, int dpi) { return ScaledBy(designPixels, dpi, DesignDpi); }
static_assert(ScaledToDpi(499, DesignDpi) == 499 && ScaledToDpi(499, 144) == 749 && ScaledToDpi(-3, 144) == -5);

// A new width x height 24-bit bitmap holding source scaled smoothly by
// numerator / denominator from its top-left corner; what overhangs is cut,
// what the source does not reach stays black. Null on failure. No alpha
// channel, so that a static control shows it as it is.
unique_hbitmap ScaledBitmap(HBITMAP source, int width, int height, int numerator, int denominator);

}  // namespace platform
