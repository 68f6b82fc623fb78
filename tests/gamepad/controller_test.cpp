// The controller as the gamepad dialog sees it, through the scripted DirectInput.
#include <algorithm>

#include "gamepad_fixture.h"

namespace testing_support {
namespace {

using Controller = GamepadDialogTest;

constexpr HRESULT InputLost = static_cast<HRESULT>(DIERR_INPUTLOST);
constexpr HRESULT Unplugged = static_cast<HRESULT>(DIERR_UNPLUGGED);

std::vector<std::string> Trace(const FakeInput& input) {
  std::vector<std::string> trace;
  for (const fake_dinput::Call& call : input.calls) trace.push_back(call.text);
  return trace;
}

TEST_F(Controller, OpensTheFirstControllerWithTheseCallsAndReadsItOnlyWhileActive) {
  input.Plug(L"Pad A");
  input.Plug(L"Pad B");
  Open();
  std::vector<std::string> expected = {"Create", "EnumDevices class=4 flags=1", "CreateDevice[0]",
                                       "GetCapabilities[0]", "SetDataFormat[0] size=272",
                                       "SetCooperativeLevel[0] flags=6", "EnumObjects[0] flags=3"};
  expected.insert(expected.end(), 6, "SetProperty[0] range=-1000..1000");
  expected.insert(expected.end(), {"GetDeviceInfo[0]", "Acquire[0]"});
  const std::vector<std::string> opening = Trace(input);
  EXPECT_EQ(std::vector(opening.begin(), opening.begin() + std::min(opening.size(), expected.size())), expected);
  input.calls.clear();
  SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(Trace(input), std::vector<std::string>{"Unacquire[0]"});
  input.SetForeground(false);  // the player is in another program, which gets the button
  input.devices[0].state = FakeInput::Held({3});
  Focus(IDC_ACTION_A);
  Tick(3);
  EXPECT_EQ(Selection(IDC_ACTION_A), L"1");
  input.SetForeground(true);
  SendMessageW(dialog, WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0);  // minimised, yet active
  Focus(IDC_ACTION_A);  // activation gave it back to OK
  Tick();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"3") << "not acquired again on activation";
  input.calls.clear();
  Close();
  EXPECT_EQ(Trace(input).back(), "Release") << "the controller, then DirectInput";
  EXPECT_EQ(Trace(input).end()[-2], "Release[0]");
}

// Each call failing once and for ever, "Logitech" (type 5) holding button 7 and
// "PadB" behind it: which is open after 600 ticks, what the focused list "B"
// shows, which type, how many devices were created. A failed set-up keeps the
// controller, nameless; S_FALSE after a failed read gives it up.
TEST_F(Controller, FailingCallsLeaveTheDialogUsable) {
  const struct {
    Method method;
    HRESULT failure;
    const wchar_t *once, *forever;  // "*": whatever the search's schedule gives
  } cases[] = {
      {Method::Create, E_FAIL, L"none POV 0 0", L"none POV 0 0"},
      {Method::EnumDevices, E_FAIL, L"Logitech 7 5 1", L"none POV 0 0"},
      {Method::CreateDevice, E_FAIL, L"PadB 2 0 2", L"PadB 2 0 2"},
      {Method::GetCapabilities, E_FAIL, L"PadB 2 0 2", L"PadB 2 0 2"},
      {Method::SetDataFormat, E_FAIL, L"Logitech POV 0 1", L"Logitech POV 0 1"},
      {Method::SetCooperativeLevel, E_HANDLE, L"Logitech 7 0 1", L"Logitech 7 0 1"},
      {Method::EnumObjects, E_FAIL, L"Logitech 7 0 1", L"Logitech 7 0 1"},
      {Method::SetProperty, E_FAIL, L"Logitech 7 5 1", L"Logitech 7 5 1"},  // the other axes keep their range
      {Method::GetDeviceInfo, E_FAIL, L"Logitech 7 0 1", L"Logitech 7 0 1"},
      {Method::GetDeviceState, E_FAIL, L"Logitech 7 5 2", L"*"},
      {Method::GetDeviceState, InputLost, L"Logitech 7 5 2", L"*"},
      {Method::Acquire, E_FAIL, L"Logitech 7 5 1", L"Logitech POV 0 1"},
      {Method::Acquire, InputLost, L"Logitech 7 5 1", L"Logitech POV 0 1"},
      {Method::Acquire, Unplugged, L"Logitech 7 5 1", L"*"},
      {Method::Unacquire, E_FAIL, L"Logitech 7 5 1", L"Logitech 7 5 1"},
  };
  for (const auto& c : cases) {
    for (const int times : {1, -1}) {
      SCOPED_TRACE(testing::Message() << "method " << int(c.method) << (times < 0 ? " failing for ever" : " failing once"));
      TearDown();
      SetUp();
      ASSERT_TRUE(WriteConfig({L"[JOYPAD]", L"B=POV"}));
      input.Plug(L"Logitech", FakeInput::Held({7}));
      input.Plug(L"PadB");
      const bool ofDirectInput = c.method == Method::Create || c.method == Method::EnumDevices;
      input.Fail(c.method, ofDirectInput ? fake_dinput::DirectInputObject : 0, c.failure, times);
      Open();
      Focus(IDC_ACTION_B);
      size_t most = 0;
      for (int tick = 0; tick < 600; ++tick) {
        const size_t calls = input.calls.size();
        Tick();
        most = std::max(most, input.calls.size() - calls);
      }
      const std::vector<std::wstring> open = input.OpenDevices();
      std::wostringstream outcome;
      outcome << (open.empty() ? L"none" : open[0]) << L" " << Selection(IDC_ACTION_B) << L" " << TypeShown() << L" "
              << input.Count(Method::CreateDevice);
      const std::wstring expected = times < 0 ? c.forever : c.once;
      EXPECT_TRUE(expected == L"*" || outcome.str() == expected) << testing::PrintToString(outcome.str());
      EXPECT_LE(most, 20u) << "the retry while input is lost must end";
      EXPECT_LE(input.Count(Method::EnumDevices), 2 + 600 / 100);
    }
  }
}

// Button 1, then the hat, then buttons 2 to 32; axes, later buttons and hats never.
TEST_F(Controller, CapturesTheFirstHeldButtonOrHatIntoTheFocusedList) {
  DIJOYSTATE2 axes = FakeInput::Held({}), beyond = FakeInput::Held({33, 128});
  axes.lX = axes.lY = axes.lZ = axes.lRz = 1000;
  beyond.rgdwPOV[1] = 0;
  const struct {
    DIJOYSTATE2 state;
    int focus;
    const wchar_t* captured;  // nullptr: nothing
  } cases[] = {
      {FakeInput::Held({3}), IDC_ACTION_B, L"3"},           {FakeInput::Held({7, 3}), IDC_ACTION_B, L"3"},
      {FakeInput::Held({32}), IDC_ACTION_RSTICK_VERT, L"32"}, {FakeInput::Held({1}, 9000), IDC_ACTION_A, L"1"},
      {FakeInput::Held({5}, 0), IDC_ACTION_LEFT, L"POV"},   {FakeInput::Held({}, 0xFFFF), IDC_ACTION_DOWN, L"POV"},
      {axes, IDC_ACTION_LT, nullptr},                       {beyond, IDC_ACTION_RB, nullptr},
      {FakeInput::Held({3}, 0), IDC_GAMEPAD_TYPE, nullptr}, {FakeInput::Held({3}, 0), IDOK, nullptr},
  };
  input.Plug(L"Pad");
  Open();
  Tick();  // the first read brings the pad's type
  for (const auto& c : cases) {
    std::wstring expected;
    for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) {
      Select(id, L"-RZ");
      expected += (expected.empty() ? L"" : L" ") + std::wstring(id == c.focus && c.captured ? c.captured : L"-RZ");
    }
    Focus(c.focus);
    input.devices[0].state = c.state;
    Tick(2);  // held: the same again
    EXPECT_EQ(std::pair(Shown(), TypeShown()), std::pair(expected, 0)) << c.focus;
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, c.focus));
  }
  input.devices[0].state = FakeInput::Held({4});
  Press(IDOK);
  SetFocus(GetDlgItem(dialog, IDC_ACTION_A));
  Tick(3);
  EXPECT_EQ(Selection(IDC_ACTION_A), L"-RZ") << "captured after OK";
}

TEST_F(Controller, AnotherControllerBringsItsTypesDefaultsFirst) {
  ASSERT_TRUE(WriteConfig({L"[JOYPAD]", L"ProductName=Pad A", L"ProductType=2", L"A=6"}));
  input.Plug(L"Pad A");
  Open();
  Focus(IDC_ACTION_A);
  Tick();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"7") << "the recorded controller brings no defaults";
  input.devices[0].plugged = false;
  input.Plug(L"Logitech Dual Action", FakeInput::Held({11}));
  AnnounceDevice();
  Tick(3);  // released, opened, read
  EXPECT_EQ(TypeShown(), 5);
  EXPECT_EQ(Shown(), L"11 3 1 4 -X X -Y Y 10 9 7 8 5 6 11 12 POV Z POV RZ");
  Press(IDOK);
  EXPECT_EQ(ConfigLines(), Section({L"ProductName=Logitech Dual Action", L"ProductType=5"},
                                   L"10 2 0 3 -X X -Y Y 9 8 6 7 4 5 10 11 POV Z POV RZ"));
}

// Enumerating costs 15 to 70 ms on Windows, so without a controller the dialog
// searches seldom (bounded above): but at once when Windows announces a device.
TEST_F(Controller, SearchesAtOnceForAnAnnouncedDevice) {
  Open();
  Tick(20);
  const int searches = input.Count(Method::EnumDevices);
  input.Plug(L"Pad");
  AnnounceDevice();
  Tick();
  EXPECT_EQ(input.OpenDevices(), std::vector<std::wstring>{L"Pad"});
  EXPECT_EQ(input.Count(Method::EnumDevices), searches + 1);
}

}  // namespace
}  // namespace testing_support
