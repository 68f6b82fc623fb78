// Where the gamepad settings dialog places its controls over its background,
// in client pixels: the dialog lays itself out so, and the benchmarks' floor
// the same way, so that both do the same work.
#pragma once

#include <windows.h>

namespace gamepad_layout {

struct Place {
  int x, y, width, height;
};

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

// Action list n (ActionControls order) stands in row n / 2, centred on its
// glyph, in the left column for even n and the right one for odd n.
constexpr Place ActionList(int index, const RECT& client) {
  const int column = index % 2 == 0 ? client.left + ListColumnOffset : client.right / 2 + ListColumnOffset;
  return {column, ListTop + RowPitch * (index / 2), ListWidth, ListHeight};
}
constexpr Place TypeList(const RECT& client) {
  return {client.left + TypeListLeft, client.bottom - BottomRowOffset, TypeListWidth, ButtonRowHeight};
}
constexpr Place OkButton(const RECT& client) {
  return {client.right - OkOffset, client.bottom - BottomRowOffset, ButtonWidth, ButtonRowHeight};
}
constexpr Place CancelButton(const RECT& client) {
  return {client.right - CancelOffset, client.bottom - BottomRowOffset, ButtonWidth, ButtonRowHeight};
}

}  // namespace gamepad_layout
