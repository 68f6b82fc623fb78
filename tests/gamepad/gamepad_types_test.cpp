#include <gtest/gtest.h>

#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad_dialog_fixture.h"
#include "resource.h"

namespace gamepad_testing {
namespace {

TEST(DetectGamepadType, ByTheFirstFragmentOfTheTableThatTheNameHolds) {
  const struct {
    const wchar_t* name;
    int type;
  } cases[] = {
      {L"", 0},
      {L"Logitech", 5},
      {L"Logitech Dual Action", 5},
      {L"USB Logitech RumblePad 2 ", 5},
      {L"logitech dual action", 0},  // letter case counts
      {L"LOGITECH", 0},
      {L"Logi tech", 0},
      {L"Generic   USB  Joystick  ", 4},
      {L"Generic Logitech pad", 5},  // the table's order decides, not the name's
      {L"Generic JC-U1012F", 4},
      {L"JC-PS U912F", 2},
      {L"JC-PS101U", 3},
      {L"ELECOM JC-PS101USV", 3},
      {L"BUFFALO BSGPCP1202 Series", 1},
      {L"BUFFALO BSGPCP1202 Series Gamepad", 1},
      {L"BUFFALO", 0},  // only a whole fragment counts
      {L"BUFFALO BSGPCP1202", 0},
      {L"BUFFALO  BSGPCP1202 Series", 0},
      {L"U912F", 2},
      {L"JC-U912F", 2},
      {L"USB TWIN PAD", 3},
      {L"usb twin pad", 0},
      {L"JC-U1012F", 2},
      {L"JC-UD12RD", 2},
      {L"JC-UB12GN", 2},
      {L"JC-UB12G", 0},
      // As Wine, Steam and Windows name common pads.
      {L"Xbox 360 Controller", 0},
      {L"Controller (XBOX 360 For Windows)", 0},
      {L"Wireless Controller", 0},
      {L"Steam Virtual Gamepad", 0},
      {L"Logicool Dual Action", 0},
      {L"エレコム JC-U1012F ゲームパッド", 2},
      {L"ロジクール ゲームパッド", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectGamepadType(c.name), c.type) << testing::PrintToString(std::wstring(c.name));
  EXPECT_EQ(DetectGamepadType(nullptr), 0);
}

// The defaults of types 0 and 5, as the game's table gives them, in the order
// of the actions A, B, X, Y, LEFT, RIGHT, UP, DOWN, START, BACK, LT, RT, LB,
// RB, LSTICK_PUSH, RSTICK_PUSH, LSTICK_HORZ, RSTICK_HORZ, LSTICK_VERT,
// RSTICK_VERT.
constexpr const wchar_t* Type0Defaults[20] = {L"1", L"2", L"3", L"4", L"POV", L"POV", L"POV", L"POV", L"8", L"7",
                                              L"Z", L"-Z", L"5", L"6", L"9", L"10", L"X", L"-RX", L"Y", L"-RY"};
constexpr const wchar_t* Type5Defaults[20] = {L"2",  L"3", L"1", L"4", L"-X", L"X",  L"-Y",  L"Y", L"10", L"9",
                                              L"7", L"8", L"5", L"6", L"11", L"12", L"POV", L"Z", L"POV", L"RZ"};

class ApplyGamepadTypeDefaultsTest : public GamepadDialogTest {};

TEST_F(ApplyGamepadTypeDefaultsTest, SelectsTheTypesInputsInTheTwentyLists) {
  OpenDialog();
  const struct {
    int type;
    const wchar_t* recordedName;
    const wchar_t* const (&expected)[20];
  } cases[] = {
      {0, L"", Type0Defaults},
      {5, L"", Type5Defaults},
      {0, L"Logitech Dual Action", Type0Defaults},  // a given type wins over the name
      {-1, L"", Type0Defaults},
      {-1, L"Logitech Dual Action", Type5Defaults},
      {-1, L"logitech dual action", Type0Defaults},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", recorded "
                                    << testing::PrintToString(std::wstring(c.recordedName)));
    for (const ActionControl* action = ActionControls; action->controlId; ++action) Select(action->controlId, L"-RZ");
    SelectType(3);
    lstrcpynW(GamepadDialog.RecordedProductName, c.recordedName, MAX_PATH);
    GamepadDialog.RecordedProductType = 3;

    ApplyGamepadTypeDefaults(c.type, dialog);

    EXPECT_EQ(ActionSelections(), Assignments(c.expected));
    // The type list and the recorded type are the callers' business.
    EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 3);
    EXPECT_EQ(GamepadDialog.RecordedProductType, 3);
  }
}

TEST_F(ApplyGamepadTypeDefaultsTest, EveryTypeFindsEachOfItsInputsInTheLists) {
  OpenDialog();
  for (int type = 0; type < GamepadTypeCount; ++type) {
    SCOPED_TRACE(type);
    for (const ActionControl* action = ActionControls; action->controlId; ++action)
      SendDlgItemMessageW(dialog, action->controlId, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ApplyGamepadTypeDefaults(type, dialog);
    int row = 0;
    for (const ActionControl* action = ActionControls; action->controlId; ++action, ++row) {
      // Every record names all twenty actions, in their order.
      EXPECT_EQ(GamepadTypeDefaults[type][row].controlId, action->controlId);
      EXPECT_EQ(Selection(action->controlId), GamepadTypeDefaults[type][row].inputName) << action->actionKey;
    }
    EXPECT_EQ(GamepadTypeDefaults[type][ActionCount].controlId, 0);
    EXPECT_EQ(GamepadTypeDefaults[type][ActionCount].inputName, nullptr);
  }
}

}  // namespace
}  // namespace gamepad_testing
