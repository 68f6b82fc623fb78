// Where the gamepad settings dialog places its controls over its background,
// in client pixels at the screen's DPI: the dialog lays itself out so, and the
// benchmarks' floor the same way, so that both do the same work.
#pragma once

#include <windows.h>

#include "platform/screen_scale.h"

namespace gamepad_layout {

struct Place {
  int x, y, width, height;
};

// In pixels at 96 DPI; at any other DPI each is scaled by DPI / 96, as the
// background is.
constexpr int ListColumnOffset = 94;  // from the client's left edge, and from its middle
constexpr int ListTop = 20;
constexpr int RowPitch = 24;
constexpr int ListWidth = 98;
constexpr int ListHeight = 20;
constexpr int BottomRowOffset = 36;  // from the client's bottom edge
constexpr int TypeListLeft = 12;
constexpr int TypeListWidth = 130;
constexpr int ButtonRowHeight = 24;
constexpr int OkOffset = 224;  // from the client's right edge
constexpr int CancelOffset = 112;
constexpr int ButtonWidth = 100;

constexpr int Scaled(int designPixels, int dpi) { return platform::ScaledToDpi(designPixels, dpi); }

// Action list n (ActionControls order) stands in row n / 2, centred on its
// glyph, in the left column for even n and the right one for odd n.
constexpr Place ActionList(int index, const RECT& client, int dpi) {
  const int offset = Scaled(ListColumnOffset, dpi);
  const int column = index % 2 == 0 ? client.left + offset : client.right / 2 + offset;
  return {column, Scaled(ListTop + RowPitch * (index / 2), dpi), Scaled(ListWidth, dpi), Scaled(ListHeight, dpi)};
}
constexpr Place TypeList(const RECT& client, int dpi) {
  return {client.left + Scaled(TypeListLeft, dpi), client.bottom - Scaled(BottomRowOffset, dpi),
          Scaled(TypeListWidth, dpi), Scaled(ButtonRowHeight, dpi)};
}
constexpr Place OkButton(const RECT& client, int dpi) {
  return {client.right - Scaled(OkOffset, dpi), client.bottom - Scaled(BottomRowOffset, dpi), Scaled(ButtonWidth, dpi),
          Scaled(ButtonRowHeight, dpi)};
}
constexpr Place CancelButton(const RECT& client, int dpi) {
  return {client.right - Scaled(CancelOffset, dpi), client.bottom - Scaled(BottomRowOffset, dpi),
          Scaled(ButtonWidth, dpi), Scaled(ButtonRowHeight, dpi)};
}

}  // namespace gamepad_layout
