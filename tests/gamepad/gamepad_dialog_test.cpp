// The gamepad settings dialog in-process: its tab order, focus, texts, lists and types.
#include "gamepad_fixture.h"

namespace testing_support {
namespace {

using GamepadDialog = GamepadDialogTest;

std::vector<std::wstring> Items(HWND dialog, int id) {
  std::vector<std::wstring> items(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0), std::wstring(255, L'\0'));
  for (size_t i = 0; i < items.size(); ++i)
    items[i].resize(SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(items[i].data())));
  return items;
}

// Each control placed went first in the tab order, which so runs OK, Cancel, type list, then the action lists from "A".
// CTest runs this under an English and a Japanese display language.
TEST_F(GamepadDialog, OrdersItsControlsShowsItsTextsInTheDisplayLanguageAndAppliesAChosenType) {
  Open();
  std::vector<int> tabOrder, expectedOrder = {IDOK, IDCANCEL, IDC_GAMEPAD_TYPE};
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    tabOrder.push_back(GetDlgCtrlID(child));
  for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) expectedOrder.push_back(id);
  EXPECT_EQ(tabOrder, expectedOrder);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));

  const bool japanese = Environment(L"LC_ALL").starts_with(L"ja_");
  EXPECT_EQ(WindowText(dialog), japanese ? L"パッド設定" : L"Gamepad Settings");
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), L"OK");
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDCANCEL)), japanese ? L"キャンセル" : L"CANCEL");
  std::vector<std::wstring> types, inputs;
  for (const std::wstring number : {L"1", L"2", L"3", L"4", L"5", L"6"})
    types.push_back(japanese ? L"パッドタイプ - " + number + L" -" : L"Gamepad Type -" + number + L"-");
  EXPECT_EQ(Items(dialog, IDC_GAMEPAD_TYPE), types);
  for (int button = 1; button <= 32; ++button) inputs.push_back(std::to_wstring(button));
  std::wistringstream names(L"POV X Y Z RX RY RZ -POV -X -Y -Z -RX -RY -RZ");
  for (std::wstring name; names >> name;) inputs.push_back(name);
  for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) EXPECT_EQ(Items(dialog, id), inputs) << id;

  for (int type = 5; type >= 0; --type) {  // a chosen type's defaults go into all twenty lists
    ChooseType(type);
    EXPECT_EQ(std::pair(Shown(), TypeShown()), std::pair(TypeDefaults(type), type));
  }
}

}  // namespace
}  // namespace testing_support
