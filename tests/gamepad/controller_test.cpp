// The controller as the gamepad dialog sees it: opening the first usable
// one, reading it on every tick, capturing a pressed input, following a
// change of controller, and looking for one that arrives later.
#include "gamepad_test.h"

#include <optional>

#include "resource.h"

namespace testing_support {
namespace {

using Controller = GamepadDialogTest;

constexpr wchar_t Logitech[] = L"Logitech Dual Action";  // gamepad type 5
constexpr HRESULT InputLost = static_cast<HRESULT>(DIERR_INPUTLOST);

std::vector<std::string> Trace(const FakeInput& input) {
  std::vector<std::string> trace;
  for (const fake_dinput::Call& call : input.calls) trace.push_back(call.text);
  return trace;
}

TEST_F(Controller, OpensTheFirstControllerWithTheseCallsInThisOrder) {
  input.Plug(L"Pad A");
  input.Plug(L"Pad B");
  Open();
  std::vector<std::string> expected = {"Create", "EnumDevices class=4 flags=1", "CreateDevice[0]",
                                       "GetCapabilities[0]", "SetDataFormat[0] size=272",
                                       "SetCooperativeLevel[0] flags=6", "EnumObjects[0] flags=3"};
  expected.insert(expected.end(), 6, "SetProperty[0] range=-1000..1000");
  expected.insert(expected.end(), {"GetDeviceInfo[0]", "Acquire[0]"});
  std::vector<std::string> trace = Trace(input);
  trace.resize(std::min(trace.size(), expected.size()));
  EXPECT_EQ(trace, expected);
  EXPECT_EQ(input.OpenDevices(), std::vector<std::wstring>{L"Pad A"});
}

// A controller that cannot be created or has no capabilities is skipped; one
// whose set-up fails later is kept, nameless, so its type is never applied;
// without DirectInput the dialog works by hand.
TEST_F(Controller, TakesTheFirstUsableControllerAndLivesWithFailures) {
  const struct {
    const char* what;
    std::optional<Method> failing;
    int device;
    const wchar_t* opened;  // nullptr: none
    int typeShown;          // after its first reads: 5 when its name was taken
  } cases[] = {
      {"nothing fails", std::nullopt, 0, Logitech, 5},
      {"no DirectInput", Method::Create, fake_dinput::DirectInputObject, nullptr, 0},
      {"enumeration fails", Method::EnumDevices, fake_dinput::DirectInputObject, nullptr, 0},
      {"first cannot be created", Method::CreateDevice, 0, L"Pad B", 0},
      {"first has no capabilities", Method::GetCapabilities, 0, L"Pad B", 0},
      {"data format refused", Method::SetDataFormat, 0, Logitech, 0},
      {"cooperative level refused", Method::SetCooperativeLevel, 0, Logitech, 0},
      {"axes cannot be listed", Method::EnumObjects, 0, Logitech, 0},
      {"an axis range refused", Method::SetProperty, 0, Logitech, 5},
      {"no device information", Method::GetDeviceInfo, 0, Logitech, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    input.Plug(Logitech);
    input.Plug(L"Pad B");
    if (c.failing) input.Fail(*c.failing, c.device, E_FAIL);
    Open();
    Tick(3);
    EXPECT_EQ(input.OpenDevices(), c.opened ? std::vector<std::wstring>{c.opened} : std::vector<std::wstring>{});
    EXPECT_EQ(TypeShown(), c.typeShown);
    EXPECT_EQ(Shown(), TypeDefaults[c.typeShown]);
    if (c.failing == Method::SetProperty) {
      EXPECT_EQ(input.Count(Method::SetProperty), 1) << "the other axes keep the driver's range";
    }
  }
}

// What a tick does after a failed read depends on what DirectInput answers.
TEST_F(Controller, AFailedReadReacquiresOrGivesTheControllerUp) {
  const struct {
    const char* what;
    void (*before)(FakeInput&);
    int acquires;  // at least, on this tick
    bool kept;
  } cases[] = {
      {"a good read", [](FakeInput&) {}, 0, true},
      {"acquisition taken away", [](FakeInput& i) { i.SetForeground(false), i.SetForeground(true); }, 1, true},
      {"in the background", [](FakeInput& i) { i.SetForeground(false); }, 1, true},
      {"a read fails while acquired", [](FakeInput& i) { i.Fail(Method::GetDeviceState, 0, InputLost); }, 1, false},
      {"unplugged", [](FakeInput& i) { i.devices[0].plugged = false; }, 1, false},
      {"input lost twice, then acquired",
       [](FakeInput& i) { i.SetForeground(false), i.SetForeground(true), i.Fail(Method::Acquire, 0, InputLost, 2); },
       3, true},
      {"input lost for ever",
       [](FakeInput& i) { i.SetForeground(false), i.SetForeground(true), i.Fail(Method::Acquire, 0, InputLost, -1); },
       2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    input.Plug(Logitech);
    Open();
    Tick();
    c.before(input);
    input.calls.clear();
    Tick();
    EXPECT_GE(input.Count(Method::Acquire), c.acquires);
    EXPECT_LE(input.Count(Method::Acquire), 10) << "the retry while input is lost must end";
    EXPECT_EQ(input.OpenDevices().size(), c.kept ? 1u : 0u);
    EXPECT_EQ(input.Count(Method::EnumDevices), 0) << "the failed read itself searches nothing";
  }
}

TEST_F(Controller, ActivationAcquiresAndClosingReleasesEverything) {
  input.Plug(L"Pad A");
  Open();
  input.calls.clear();
  SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageW(dialog, WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0);  // minimised, yet active
  EXPECT_EQ(Trace(input), (std::vector<std::string>{"Unacquire[0]", "Acquire[0]"}));
  input.calls.clear();
  Close();
  std::vector<std::string> trace = Trace(input);
  trace.erase(trace.begin(), trace.end() - std::min<size_t>(trace.size(), 3));
  EXPECT_EQ(trace, (std::vector<std::string>{"Unacquire[0]", "Release[0]", "Release"}));
}

// Button 1, then the hat, then buttons 2 to 32, into the focused action list
// only; axes, later buttons and hats never; nothing once OK is pressed.
TEST_F(Controller, CapturesTheFirstHeldButtonOrHatIntoTheFocusedList) {
  DIJOYSTATE2 axes = FakeInput::Held({});
  axes.lX = axes.lY = axes.lZ = axes.lRz = 1000;
  DIJOYSTATE2 beyond = FakeInput::Held({33, 128});
  beyond.rgdwPOV[1] = 0;
  const struct {
    DIJOYSTATE2 state;
    int focus;
    const wchar_t* captured;  // nullptr: nothing
  } cases[] = {
      {FakeInput::Held({3}), IDC_ACTION_B, L"3"},
      {FakeInput::Held({7, 3}), IDC_ACTION_B, L"3"},
      {FakeInput::Held({32}), IDC_ACTION_RSTICK_VERT, L"32"},
      {FakeInput::Held({1}, 9000), IDC_ACTION_A, L"1"},
      {FakeInput::Held({5}, 0), IDC_ACTION_LEFT, L"POV"},
      {FakeInput::Held({}, 0x0000FFFF), IDC_ACTION_DOWN, L"POV"},
      {axes, IDC_ACTION_LT, nullptr},
      {beyond, IDC_ACTION_RB, nullptr},
      {FakeInput::Held({3}, 0), IDC_GAMEPAD_TYPE, nullptr},
      {FakeInput::Held({3}, 0), IDOK, nullptr},
  };
  input.Plug(L"Pad A");
  Open();
  Tick();  // the first read brings the pad's type
  for (const auto& c : cases) {
    for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) Select(id, L"-RZ");
    Focus(c.focus);
    input.devices[0].state = c.state;
    Tick(2);  // held: the same again
    std::wstring expected;
    for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id)
      expected += (expected.empty() ? L"" : L" ") + std::wstring(id == c.focus && c.captured ? c.captured : L"-RZ");
    EXPECT_EQ(Shown(), expected) << c.focus;
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, c.focus));
  }
  input.devices[0].state = FakeInput::Held({4});
  Press(IDOK);
  SetFocus(GetDlgItem(dialog, IDC_ACTION_A));
  Tick(3);
  EXPECT_EQ(Selection(IDC_ACTION_A), L"-RZ") << "captured after OK";
}

// A controller that replaces the recorded one brings its type and defaults
// on its first read, before the held button lands in the focused list; OK
// stores it.
TEST_F(Controller, AnotherControllerBringsItsTypesDefaultsFirst) {
  ASSERT_TRUE(WriteConfig({L"[JOYPAD]", L"ProductName=Pad A", L"ProductType=2", L"A=6"}));
  input.Plug(L"Pad A");
  Open();
  Focus(IDC_ACTION_A);
  Tick();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"7") << "the recorded controller brings no defaults";
  input.devices[0].plugged = false;
  input.Plug(Logitech, FakeInput::Held({11}));
  AnnounceDevice();
  Tick(3);  // released, opened, read
  EXPECT_EQ(TypeShown(), 5);
  EXPECT_EQ(Shown(), L"11 3 1 4 -X X -Y Y 10 9 7 8 5 6 11 12 POV Z POV RZ");
  Press(IDOK);
  EXPECT_EQ(ConfigLines(), Section({L"ProductName=Logitech Dual Action", L"ProductType=5"},
                                   L"10 2 0 3 -X X -Y Y 9 8 6 7 4 5 10 11 POV Z POV RZ"));
}

// Enumerating costs 15 to 70 ms on Windows: with no controller the dialog
// searches seldom, but at once when Windows announces a device.
TEST_F(Controller, SearchesSeldomWhenIdleAndAtOnceForAnAnnouncedDevice) {
  Open();
  Tick(1000);
  EXPECT_LE(input.Count(Method::EnumDevices), 1 + 1000 / 100);
  input.Plug(L"Pad A");  // unannounced: the safety search finds it
  for (int tick = 0; tick < 300 && input.OpenDevices().empty(); ++tick) Tick();
  EXPECT_EQ(input.OpenDevices(), std::vector<std::wstring>{L"Pad A"});
  input.devices[0].plugged = false;
  Tick(20);
  const int searches = input.Count(Method::EnumDevices);
  input.Plug(L"Pad B");
  AnnounceDevice();
  Tick();
  EXPECT_EQ(input.OpenDevices(), std::vector<std::wstring>{L"Pad B"});
  EXPECT_EQ(input.Count(Method::EnumDevices), searches + 1);
}

}  // namespace
}  // namespace testing_support
