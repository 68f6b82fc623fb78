// The gamepad settings dialog itself: its layout over bitmap 111, its texts
// and lists, the gamepad types, and how it closes.
#include "gamepad_test.h"

#include "gamepad/gamepad_dialog.h"
#include "resource.h"

namespace testing_support {
namespace {

using GamepadDialog = GamepadDialogTest;

// Where a control stands, in the dialog's client coordinates.
RECT Place(HWND dialog, int id) {
  RECT rect;
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The client area is the bitmap's 499 x 312 pixels; the action lists stand in
// two columns beside the glyphs, the type list and the buttons 36 pixels
// above the bottom. Each control placed went first in the tab order, so that
// it runs OK, Cancel, type list, then the action lists from "A".
TEST_F(GamepadDialog, LaysOutItsControlsInPixelsOverItsBitmapWithTheFocusOnOk) {
  Open();
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 499);
  EXPECT_EQ(client.bottom, 312);
  for (int row = 0; row < 10; ++row) {
    for (const int column : {0, 1}) {
      const int id = IDC_ACTION_A + 2 * row + column;
      const RECT rect = Place(dialog, id);
      EXPECT_EQ(rect.left, column ? 343 : 94) << id;
      EXPECT_EQ(rect.top, 20 + 24 * row) << id;
      EXPECT_EQ(rect.right - rect.left, 98) << id;
    }
  }
  const struct {
    int id;
    RECT rect;
  } bottomRow[] = {{IDC_GAMEPAD_TYPE, {12, 276, 142, 0}}, {IDOK, {275, 276, 375, 300}}, {IDCANCEL, {387, 276, 487, 300}}};
  for (const auto& control : bottomRow) {
    const RECT rect = Place(dialog, control.id);
    EXPECT_EQ(rect.left, control.rect.left) << control.id;
    EXPECT_EQ(rect.top, control.rect.top) << control.id;
    EXPECT_EQ(rect.right, control.rect.right) << control.id;
    if (control.id != IDC_GAMEPAD_TYPE) {
      EXPECT_EQ(rect.bottom, control.rect.bottom) << control.id;
    }
  }
  std::vector<int> tabOrder;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    tabOrder.push_back(GetDlgCtrlID(child));
  std::vector<int> expected = {IDOK, IDCANCEL, IDC_GAMEPAD_TYPE};
  for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) expected.push_back(id);
  EXPECT_EQ(tabOrder, expected);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
}

std::vector<std::wstring> Items(HWND dialog, int id) {
  std::vector<std::wstring> items;
  for (LRESULT i = 0; i < SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0); ++i) {
    wchar_t text[256] = L"";
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

// CTest runs this under an English and a Japanese display language.
TEST_F(GamepadDialog, ShowsItsTextsAndListsInTheDisplayLanguage) {
  const bool japanese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
  ASSERT_EQ(japanese, Environment(L"LC_ALL").starts_with(L"ja_")) << "the display language was not taken from LC_ALL";
  Open();
  EXPECT_EQ(WindowText(dialog), japanese ? L"パッド設定" : L"Gamepad Settings");
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), L"OK");
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDCANCEL)), japanese ? L"キャンセル" : L"CANCEL");
  std::vector<std::wstring> types;
  for (const wchar_t* number : {L"1", L"2", L"3", L"4", L"5", L"6"})
    types.push_back(japanese ? L"パッドタイプ - " + std::wstring(number) + L" -" : L"Gamepad Type -" + std::wstring(number) + L"-");
  EXPECT_EQ(Items(dialog, IDC_GAMEPAD_TYPE), types);

  std::vector<std::wstring> inputs;
  for (int button = 1; button <= 32; ++button) inputs.push_back(std::to_wstring(button));
  for (const wchar_t* name : {L"POV", L"X", L"Y", L"Z", L"RX", L"RY", L"RZ", L"-POV", L"-X", L"-Y", L"-Z", L"-RX",
                              L"-RY", L"-RZ"})
    inputs.push_back(name);
  for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) EXPECT_EQ(Items(dialog, id), inputs) << id;
}

// Choosing a type puts its defaults into all twenty lists at once.
TEST_F(GamepadDialog, ChoosingATypeAppliesItsDefaults) {
  Open();
  for (int type = 5; type >= 0; --type) {
    ChooseType(type);
    EXPECT_EQ(Shown(), TypeDefaults[type]) << type;
    EXPECT_EQ(TypeShown(), type);
  }
}

// Run modally, as the main dialog runs it: however the player leaves, the
// result is 1; only OK, the default button, writes the file.
TEST_F(GamepadDialog, ReturnsOneHoweverClosedAndOnlyOkSaves) {
  const std::vector<std::wstring> before = {L"; the player's own", L"[JOYPAD]", L"A=4", L"[OTHER]", L"K=1"};
  const auto key = [](WPARAM key) {
    return [key](HWND) {
      PostMessageW(GetFocus(), WM_KEYDOWN, key, 0);
      PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    };
  };
  const struct {
    const char* what;
    std::function<void(HWND)> close;
    bool saves;
  } cases[] = {
      {"OK", [](HWND d) { SendDlgItemMessageW(d, IDOK, BM_CLICK, 0, 0); }, true},
      {"Enter key", key(VK_RETURN), true},
      {"Cancel", [](HWND d) { SendDlgItemMessageW(d, IDCANCEL, BM_CLICK, 0, 0); }, false},
      {"Esc key", key(VK_ESCAPE), false},
      {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteConfig(before));
    EXPECT_EQ(RunModalDialog(LauncherResources(), IDD_GAMEPAD_DIALOG, GamepadDialogProc,
                             [&](HWND d) {
                               dialog = d;
                               ChooseType(3);
                               c.close(d);
                               HandleUntilClosed();
                               dialog = nullptr;
                             }),
              1);
    // Type 3's defaults, buttons counted from 0 as the game reads them.
    std::vector<std::wstring> saved = Section({}, L"2 1 3 0 POV POV POV POV 8 9 4 5 6 7 10 11 X Z Y RZ");
    saved.insert(saved.begin(), before[0]);
    saved.insert(saved.end(), {L"[OTHER]", L"K=1"});
    EXPECT_EQ(ConfigLines(), c.saves ? saved : before);
  }
}

}  // namespace
}  // namespace testing_support
