#include "gamepad/gamepad_types.h"

#include <string_view>

int DetectGamepadType(const wchar_t* productName) {
  const std::wstring_view name = productName ? productName : L"";
  if (name.empty()) return 0;
  for (const ProductTypeRow& row : ProductTypeTable)
    if (name.find(row.fragment) != std::wstring_view::npos) return row.typeIndex;
  return 0;
}

const wchar_t* DefaultInputName(int controlId, int typeIndex) {
  for (const DefaultInputRow& row : GamepadTypeDefaults)
    if (row.controlId == controlId) return row.inputByType[typeIndex];
  return L"";
}

void ApplyGamepadTypeDefaults(int typeIndex, HWND dialog) {
  if (typeIndex < 0 || typeIndex >= GamepadTypeCount) return;
  for (const DefaultInputRow& row : GamepadTypeDefaults) {
    const HWND list = GetDlgItem(dialog, row.controlId);
    const wchar_t* const name = row.inputByType[typeIndex];
    const LRESULT found = SendMessageW(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
  }
}
