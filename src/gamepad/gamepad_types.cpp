#include "gamepad/gamepad_types.h"

#include <string_view>

#include "gamepad/gamepad_dialog_state.h"

int DetectGamepadType(const wchar_t* productName) {
  const std::wstring_view name = productName ? productName : L"";
  if (name.empty()) return 0;
  for (const ProductTypeRow* row = ProductTypeTable; row->fragment; ++row)
    if (name.find(row->fragment) != std::wstring_view::npos) return row->typeIndex;
  return 0;
}

void ApplyGamepadTypeDefaults(int typeIndex, HWND dialog) {
  if (typeIndex < 0) typeIndex = DetectGamepadType(GamepadDialog.RecordedProductName);
  if (typeIndex >= GamepadTypeCount) return;
  for (const DefaultAssignment* pair = GamepadTypeDefaults[typeIndex].data(); pair->controlId; ++pair) {
    const HWND list = GetDlgItem(dialog, pair->controlId);
    const LRESULT found = SendMessageW(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(pair->inputName));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
  }
}
