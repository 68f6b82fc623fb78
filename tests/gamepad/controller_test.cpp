// The controller as the gamepad dialog sees it, through the scripted DirectInput.
#include "gamepad_fixture.h"  // windows.h first
#include <dbt.h>

#include <algorithm>
#include <tuple>

namespace testing_support {
namespace {

using Controller = GamepadDialogTest;

// Each call failing once and for ever, "Logitech" (type 5) holding button 7, "PadB" behind it: after 600 ticks which is
// open, what list "B" shows, which type, how many devices were created. A failed set-up keeps the controller, nameless.
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
      {Method::Poll, HRESULT(DIERR_INPUTLOST), L"Logitech 7 5 1", L"Logitech 7 5 1"},  // the read tells
      {Method::GetDeviceState, E_FAIL, L"Logitech 7 5 2", L"*"},
      {Method::Acquire, E_FAIL, L"Logitech 7 5 1", L"Logitech POV 0 1"},
      {Method::Acquire, HRESULT(DIERR_INPUTLOST), L"Logitech 7 5 1", L"Logitech POV 0 1"},
      {Method::Acquire, HRESULT(DIERR_UNPLUGGED), L"Logitech 7 5 1", L"*"},
      {Method::Unacquire, E_FAIL, L"Logitech 7 5 1", L"Logitech 7 5 1"},
  };
  for (const auto& c : cases) {
    for (const int times : {1, -1}) {
      SCOPED_TRACE(testing::Message() << fake_dinput::MethodNames[int(c.method)] << (times < 0 ? " always" : " once"));
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
              << input.counts[Method::CreateDevice];
      const std::wstring expected = times < 0 ? c.forever : c.once;
      EXPECT_TRUE(expected == L"*" || outcome.str() == expected) << testing::PrintToString(outcome.str());
      EXPECT_LE(most, 20u) << "the retry while input is lost must end";
      EXPECT_LE(input.counts[Method::EnumDevices], 2 + 600 / 100);
    }
  }
}

// Attached game controllers only, the first, read only while the dialog is active. Button 1, the hat (centred when its
// low word is 0xFFFF), buttons 2 to 32 go into the focused action list; axes, later ones never. Polled before reads.
TEST_F(Controller, OpensTheFirstAttachedAndCapturesTheFirstHeldButtonOrHatIntoTheFocusedList) {
  DIJOYSTATE2 axes = FakeInput::Held({}), beyond = FakeInput::Held({33, 128});
  axes.lX = axes.lY = axes.lZ = axes.lRz = 1000;
  beyond.rgdwPOV[1] = 0;
  const std::tuple<DIJOYSTATE2, int, const wchar_t*> cases[] = {  // held, focused list, captured (nullptr: nothing)
      {FakeInput::Held({3}), IDC_ACTION_B, L"3"},           {FakeInput::Held({7, 3}), IDC_ACTION_B, L"3"},
      {FakeInput::Held({32}), IDC_ACTION_RSTICK_VERT, L"32"}, {FakeInput::Held({1}, 9000), IDC_ACTION_A, L"1"},
      {FakeInput::Held({5}, 0), IDC_ACTION_LEFT, L"POV"},   {FakeInput::Held({}, 9000), IDC_ACTION_RIGHT, L"POV"},
      {FakeInput::Held({3}, 0xFFFF), IDC_ACTION_DOWN, L"3"}, {FakeInput::Held({}, 0xFFFF), IDC_ACTION_UP, nullptr},
      {axes, IDC_ACTION_LT, nullptr},                       {beyond, IDC_ACTION_RB, nullptr},
      {FakeInput::Held({3}, 0), IDC_GAMEPAD_TYPE, nullptr}, {FakeInput::Held({3}, 0), IDOK, nullptr},
  };
  input.Plug(L"Pad");
  input.Plug(L"Pad B");
  Open();
  EXPECT_EQ(input.calls.at(1), "EnumDevices class=4 flags=1");
  EXPECT_EQ(input.OpenDevices(), std::vector<std::wstring>{L"Pad"});
  Tick();  // the first read brings the pad's type
  input.calls.clear();
  SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(input.calls, std::vector<std::string>{"Unacquire[0]"});
  input.foreground = false;  // the player is in another program, which gets the button
  input.devices[0].state = FakeInput::Held({3});
  Focus(IDC_ACTION_A);
  Tick(3);
  EXPECT_EQ(Selection(IDC_ACTION_A), L"1");
  input.foreground = true;
  SendMessageW(dialog, WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0);  // minimised, yet active
  Focus(IDC_ACTION_A);  // activation gave it back to OK
  Tick();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"3") << "not acquired again on activation";
  for (const auto& [state, focus, captured] : cases) {
    std::wstring expected;
    for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) {
      Select(id, L"-RZ");
      expected += (expected.empty() ? L"" : L" ") + std::wstring(id == focus && captured ? captured : L"-RZ");
    }
    Focus(focus);
    input.devices[0].state = state;
    Tick(2);  // held: the same again
    EXPECT_EQ(std::pair(Shown(), TypeShown()), std::pair(expected, 0)) << focus;
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, focus));
  }
  input.devices[0].polled = true;
  input.devices[0].state = FakeInput::Held({6});
  Focus(IDC_ACTION_A);
  Tick();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"6") << "not polled before the read";
  input.devices[0].state = FakeInput::Held({4});
  Press(IDOK);
  Focus(IDC_ACTION_A);
  Tick(3);
  EXPECT_EQ(Selection(IDC_ACTION_A), L"6") << "captured after OK";
  Close();
  EXPECT_EQ(std::vector(input.calls.end() - 2, input.calls.end()), (std::vector<std::string>{"Release[0]", "Release"}));
}

// Opened on the next tick. The one config.ini recorded, or a nameless one, keeps the lists (stored values, B as the
// player set it); another brings its type's defaults: each fragment of the type table, first match, letter case.
TEST_F(Controller, ALateControllerKeepsItsOwnAssignmentsAndAnotherBringsItsTypesDefaults) {
  const std::vector<std::wstring> file = {L"[JOYPAD]", L"ProductName=Logitech", L"ProductType=2", L"A=7"};
  struct Case {
    const char* what;
    std::vector<std::wstring> file;
    const wchar_t* atOpening;  // nullptr: none
    std::wstring arriving;
    int type;
    std::wstring shown;
    bool nameless = false;
  };
  std::vector<Case> cases = {
      {"no stored name", {L"[JOYPAD]", L"ProductType=2", L"A=7"}, nullptr, L"Logitech Dual Action", 5, TypeDefaults(5)},
      {"after the recorded one", file, L"Logitech", L"Logitech Dual Action", 5, TypeDefaults(5)},
      {"a nameless one after the recorded one", file, L"Logitech", L"Pad", 2, L"8 5" + TypeDefaults(5).substr(3), true},
      {"the recorded controller", file, nullptr, L"Logitech Dual Action", 2,
       L"8 5 3 4 POV POV POV POV 8 7 Z -Z 5 6 9 10 X -RX Y -RY"},
  };
  for (const auto& [name, type] : {std::pair{L"Logitech", 5}, {L"BUFFALO BSGPCP1202 Series", 1}, {L"U912F", 2},
                                   {L"PS101U", 3}, {L"USB TWIN PAD", 3}, {L"Generic", 4}, {L"JC-PS", 3},
                                   {L"JC-U1012F", 2}, {L"JC-UD12RD", 2}, {L"JC-UB12GN", 2}, {L"logitech", 0},
                                   {L"Generic Logitech", 5}})
    cases.insert(cases.begin(), {"no stored name", {}, nullptr, L"My " + std::wstring(name) + L" Pad", type,
                                 TypeDefaults(type)});
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.what << " " << testing::PrintToString(c.arriving));
    TearDown();
    SetUp();
    ASSERT_TRUE(WriteConfig(c.file));
    if (c.atOpening) input.Plug(c.atOpening);
    Open();
    Tick();
    Select(IDC_ACTION_B, L"5");
    if (c.atOpening) input.devices[0].plugged = false;
    Tick();  // the one open since opening: the read fails, released
    const int arriving = input.Plug(c.arriving);
    if (c.nameless) input.Fail(Method::GetDeviceInfo, arriving, E_FAIL, -1);
    DEV_BROADCAST_DEVICEINTERFACE_W arrival{};  // Windows tells of a newly attached HID device
    arrival.dbcc_size = sizeof(arrival), arrival.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    SendMessageW(dialog, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&arrival));
    Tick();
    EXPECT_EQ(input.OpenDevices(), std::vector<std::wstring>{c.arriving});
    Tick();  // the first read
    EXPECT_EQ(std::pair(Shown(), TypeShown()), std::pair(c.shown, c.type));
  }
  Press(IDOK);  // the recorded controller's full name, with the stored values and type
  EXPECT_EQ(ConfigLines(), Section({L"ProductName=Logitech Dual Action", L"ProductType=2"},
                                   L"7 4 2 3 POV POV POV POV 7 6 Z -Z 4 5 8 9 X -RX Y -RY"));
}

}  // namespace
}  // namespace testing_support
