#include "gamepad/gamepad_types.h"

#include <string_view>

#include "gamepad/list_selection.h"

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

void ApplyGamepadTypeDefaults(HWND dialog, int typeIndex) {
  if (typeIndex < 0 || typeIndex >= GamepadTypeCount) return;
  for (const DefaultInputRow& row : GamepadTypeDefaults)
    SelectListEntry(GetDlgItem(dialog, row.controlId), row.inputByType[typeIndex]);
}
