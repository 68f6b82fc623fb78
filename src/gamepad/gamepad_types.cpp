#include "gamepad/gamepad_types.h"

#include <string_view>

#include "gamepad/list_selection.h"

namespace {

// A fragment of a product name and the type it stands for.
struct ProductTypeRow {
  const wchar_t* fragment;
  int typeIndex;
};

// Walked in order; the first fragment found anywhere in the name wins.
constexpr ProductTypeRow ProductTypeTable[] = {
    {L"Logitech",                   5},
    {L"BUFFALO BSGPCP1202 Series",  1},
    {L"U912F",                      2},
    {L"PS101U",                     3},
    {L"USB TWIN PAD",               3},
    {L"Generic",                    4},
    {L"JC-PS",                      3},
    {L"JC-U1012F",                  2},
    {L"JC-UD12RD",                  2},
    {L"JC-UB12GN",                  2},
};

}  // namespace

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
