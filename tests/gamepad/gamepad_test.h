// The program's gamepad settings dialog in-process: template 109 and bitmap
// 111 of the built exe, GamepadDialogProc, the scripted DirectInput, and
// config.ini in the test prefix's Documents folder, which each test starts without.
#pragma once

#include <gtest/gtest.h>

#include "fake_direct_input.h"
#include "joypad_file.h"
#include "test_support.h"

namespace testing_support {

using fake_dinput::FakeInput;
using fake_dinput::Method;

// The game's twenty actions, as config.ini names them, in list order.
inline const std::vector<std::wstring> ActionKeys = {
    L"A",  L"B",  L"X",           L"Y",           L"LEFT",        L"RIGHT",       L"UP",          L"DOWN",
    L"START", L"BACK", L"LT",    L"RT",          L"LB",          L"RB",          L"LSTICK_PUSH", L"RSTICK_PUSH",
    L"LSTICK_HORZ", L"RSTICK_HORZ", L"LSTICK_VERT", L"RSTICK_VERT"};

// What the twenty action lists show for each gamepad type's defaults.
inline const std::wstring TypeDefaults[6] = {
    L"1 2 3 4 POV POV POV POV 8 7 Z -Z 5 6 9 10 X -RX Y -RY",
    L"3 2 4 1 POV POV POV POV 10 9 5 6 7 8 11 12 X Z Y RZ",
    L"3 4 1 2 POV POV POV POV 12 11 7 8 5 6 9 10 X Z Y RZ",
    L"3 2 4 1 POV POV POV POV 9 10 5 6 7 8 11 12 X Z Y RZ",
    L"3 2 4 1 POV POV POV POV 9 12 5 6 7 8 10 11 X Z Y RZ",
    L"2 3 1 4 -X X -Y Y 10 9 7 8 5 6 11 12 POV Z POV RZ",
};

// "[JOYPAD]", the head lines, then "A=" to "RSTICK_VERT=" with the values.
std::vector<std::wstring> Section(std::vector<std::wstring> head, const std::wstring& values);

class GamepadDialogTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the dialog as the program does and activates it. It stays hidden
  // (Wine takes seconds to destroy a window shown without a window manager);
  // its timer is stopped: the test ticks.
  void Open();
  void Close();
  void Tick(int count = 1);
  void Press(int id);  // as a click does, then what the click posts
  // Handles what was posted up to the dialog's WM_CLOSE, as its modal loop
  // does before it ends (a modeless dialog would pass WM_CLOSE and IDCANCEL
  // back and forth for as long as it lives).
  void HandleUntilClosed();
  void ChooseType(int type);
  void AnnounceDevice();  // Windows tells of a newly attached HID device
  void Focus(int id);
  void Select(int id, const wchar_t* name);

  std::wstring Selection(int id) const;  // "-" for none
  std::wstring Shown() const;  // the twenty action lists' selections, blank-separated
  int TypeShown() const;

  HWND dialog = nullptr;
  FakeInput& input = fake_dinput::Input;
};

}  // namespace testing_support
