#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gamepad/controller_input.h"
#include "gamepad/controller_search.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad_dialog_fixture.h"
#include "resource.h"

namespace gamepad_testing {
namespace {

using fake_dinput::CentredState;
using fake_dinput::DirectInputObject;
using fake_dinput::HandleText;
using fake_dinput::LoggedCall;
using fake_dinput::Method;
using fake_dinput::StateWith;

constexpr HRESULT InputLost = static_cast<HRESULT>(DIERR_INPUTLOST);
constexpr HRESULT Unplugged = static_cast<HRESULT>(DIERR_UNPLUGGED);
constexpr HRESULT OtherAppHasPriority = static_cast<HRESULT>(DIERR_OTHERAPPHASPRIO);

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}

// "Method[device] arguments" for every call but reference counting.
std::vector<std::string> CallTrace(const std::vector<LoggedCall>& calls) {
  std::vector<std::string> trace;
  for (const LoggedCall& call : calls) {
    if (call.method == Method::AddRef || call.method == Method::QueryInterface) continue;
    std::string line = fake_dinput::MethodName(call.method);
    if (call.device != DirectInputObject) line.append("[").append(Narrow(call.deviceName)).append("]");
    if (!call.arguments.empty()) line.append(" ").append(call.arguments);
    trace.push_back(line);
  }
  return trace;
}

bool SameState(const DIJOYSTATE2& a, const DIJOYSTATE2& b) { return std::memcmp(&a, &b, sizeof(a)) == 0; }

// The device of the last interface created.
std::wstring LastCreated(const fake_dinput::FakeInputSystem& input) {
  std::wstring name;
  for (const LoggedCall& call : input.CallsTo(Method::CreateDevice))
    if (call.result == DI_OK) name = call.deviceName;
  return name;
}

// ---------------------------------------------------------------------------
// Opening

class OpeningTest : public GamepadDialogTest {};

TEST_F(OpeningTest, MakesTheseCallsInThisOrder) {
  input.Plug(L"Pad A");
  input.Plug(L"Pad B");
  OpenDialog();
  const std::string window = HandleText(dialog);
  const std::string range = " property=RANGE size=24 header=16 how=BYID";
  const std::vector<std::string> expected = {
      "DirectInput8Create instance=" + HandleText(GetModuleHandleW(nullptr)) +
          " version=0x0800 iid=IID_IDirectInput8W outer=null",
      "EnumDevices class=4 flags=0x1 ref=null",
      "CreateDevice[Pad A] instance={1A000000-FA4E-11D0-8000-444553540000} outer=null",
      "GetCapabilities[Pad A] size=44",
      "SetDataFormat[Pad A] format=c_dfDIJoystick2",
      "SetCooperativeLevel[Pad A] window=" + window + " flags=0x6",
      "EnumObjects[Pad A] flags=0x3 ref=null",
      "SetProperty[Pad A] property=RANGE size=24 header=16 object=0x2 how=BYID min=-1000 max=1000",
      "SetProperty[Pad A] property=RANGE size=24 header=16 object=0x102 how=BYID min=-1000 max=1000",
      "SetProperty[Pad A] property=RANGE size=24 header=16 object=0x202 how=BYID min=-1000 max=1000",
      "SetProperty[Pad A] property=RANGE size=24 header=16 object=0x302 how=BYID min=-1000 max=1000",
      "SetProperty[Pad A] property=RANGE size=24 header=16 object=0x402 how=BYID min=-1000 max=1000",
      "SetProperty[Pad A] property=RANGE size=24 header=16 object=0x502 how=BYID min=-1000 max=1000",
      "GetDeviceInfo[Pad A] size=1100",
      "Acquire[Pad A]",
  };
  std::vector<std::string> trace = CallTrace(input.Calls());
  ASSERT_GE(trace.size(), expected.size());
  trace.resize(expected.size());
  EXPECT_EQ(trace, expected);
  EXPECT_EQ(ControllerName(), L"Pad A");
}

TEST_F(OpeningTest, TakesTheFirstUsableControllerAndLivesWithLaterFailures) {
  struct Case {
    const char* what;
    std::vector<std::wstring> attached;
    Method failing;
    int failingDevice;  // -1: the DirectInput object; -2: nothing fails
    HRESULT failure;
    const wchar_t* opened;  // nullptr: none
    bool acquired;
    const wchar_t* productName;
  };
  const Case cases[] = {
      {"first of two", {L"Pad A", L"Pad B"}, Method::Acquire, -2, S_OK, L"Pad A", true, L"Pad A"},
      {"none attached", {}, Method::Acquire, -2, S_OK, nullptr, false, L""},
      {"enumeration fails", {L"Pad A"}, Method::EnumDevices, DirectInputObject, E_FAIL, nullptr, false, L""},
      {"first cannot be created", {L"Pad A", L"Pad B"}, Method::CreateDevice, 0, DIERR_DEVICENOTREG, L"Pad B", true,
       L"Pad B"},
      {"first has no capabilities", {L"Pad A", L"Pad B"}, Method::GetCapabilities, 0, E_FAIL, L"Pad B", true, L"Pad B"},
      {"none usable", {L"Pad A"}, Method::GetCapabilities, 0, E_FAIL, nullptr, false, L""},
      {"data format refused", {L"Pad A", L"Pad B"}, Method::SetDataFormat, 0, E_FAIL, L"Pad A", false, L""},
      {"cooperative level refused", {L"Pad A", L"Pad B"}, Method::SetCooperativeLevel, 0, E_HANDLE, L"Pad A", false,
       L""},
      {"axes cannot be listed", {L"Pad A", L"Pad B"}, Method::EnumObjects, 0, E_FAIL, L"Pad A", false, L""},
      // The remaining axes keep the driver's range; the controller is usable.
      {"an axis range refused", {L"Pad A"}, Method::SetProperty, 0, DIERR_UNSUPPORTED, L"Pad A", true, L"Pad A"},
      {"no device information", {L"Pad A"}, Method::GetDeviceInfo, 0, E_FAIL, L"Pad A", true, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NextCase();
    for (const std::wstring& name : c.attached) input.Plug(name);
    if (c.failingDevice != -2) input.ScriptResults(c.failing, c.failingDevice, {c.failure});

    OpenDialog(false);  // not activated: nothing but the opening acquires

    EXPECT_EQ(Enumerations(), 1);
    EXPECT_EQ(ControllerOpen(), c.opened != nullptr);
    if (c.opened) {
      EXPECT_EQ(LastCreated(input), c.opened);
    }
    const auto acquisitions = input.CallsTo(Method::Acquire);
    EXPECT_EQ(acquisitions.size(), c.acquired ? 1u : 0u);
    if (c.acquired && !acquisitions.empty()) {
      EXPECT_EQ(acquisitions[0].result, DI_OK);
    }
    EXPECT_EQ(ControllerName(), c.productName);
    if (c.failing == Method::SetProperty) {
      EXPECT_EQ(input.CountCalls(Method::SetProperty), 1);
    }
  }
}

TEST_F(OpeningTest, WithoutDirectInputTheDialogStaysUsableWithNoController) {
  input.Plug(L"Pad A");
  input.ScriptResults(Method::DirectInput8Create, DirectInputObject, {DIERR_OLDDIRECTINPUTVERSION});
  OpenDialog();
  EXPECT_FALSE(ControllerOpen());
  EXPECT_FALSE(GamepadDialog.DirectInput);

  for (int i = 0; i < 300; ++i) EXPECT_EQ(PollController(dialog), 0);
  AnnounceHidArrival();
  Tick(10);
  SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
  Tick(10);

  EXPECT_EQ(CallTrace(input.Calls()).size(), 1u) << "only DirectInput8Create";
  EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_ACTION_A, CB_GETCOUNT, 0, 0), 46);
  Select(IDC_ACTION_A, L"POV");
  EXPECT_EQ(Selection(IDC_ACTION_A), L"POV");
}

TEST_F(OpeningTest, InitControllerInputReportsOnlyTheCreationFailure) {
  // The dialog's own opening goes through first.
  input.ScriptResults(Method::DirectInput8Create, DirectInputObject, {S_OK, E_OUTOFMEMORY});
  input.ScriptResults(Method::EnumDevices, DirectInputObject, {S_OK, E_FAIL});
  OpenDialog();
  EXPECT_EQ(InitControllerInput(dialog), E_OUTOFMEMORY);
  EXPECT_FALSE(GamepadDialog.DirectInput);
  EXPECT_EQ(InitControllerInput(dialog), S_OK);  // its enumeration failed: not reported
  EXPECT_TRUE(GamepadDialog.DirectInput);
  EXPECT_EQ(InitControllerInput(dialog), S_OK);
}

// ---------------------------------------------------------------------------
// Polling

class PollingTest : public GamepadDialogTest {};

TEST_F(PollingTest, ReadsReacquiresAndGivesUpAsDirectInputAnswers) {
  struct Case {
    const char* what;
    std::function<void(fake_dinput::FakeInputSystem&, int device)> before;
    int result;
    bool stateReplaced;
    int acquireCalls;
    bool keptOpen;
  };
  const Case cases[] = {
      {"a successful read", [](auto&, int) {}, 1, true, 0, true},
      {"acquisition lost: acquired again",
       [](auto& input, int) {
         input.SetForeground(false);
         input.SetForeground(true);
       },
       0, false, 1, true},
      {"read fails while acquired: S_FALSE gives it up",
       [](auto& input, int device) { input.ScriptResults(Method::GetDeviceState, device, {InputLost}); }, 0, false, 1,
       false},
      {"unplugged", [](auto& input, int device) { input.Unplug(device); }, 0, false, 1, false},
      {"unplugged, as scripted",
       [](auto& input, int device) {
         input.ScriptResults(Method::GetDeviceState, device, {InputLost});
         input.ScriptResults(Method::Acquire, device, {Unplugged});
       },
       0, false, 1, false},
      {"in the background", [](auto& input, int) { input.SetForeground(false); }, 0, false, 1, true},
      {"another application has priority",
       [](auto& input, int device) {
         input.ScriptResults(Method::GetDeviceState, device, {InputLost});
         input.ScriptResults(Method::Acquire, device, {OtherAppHasPriority});
       },
       0, false, 1, true},
      {"input lost twice, then acquired",
       [](auto& input, int device) {
         input.SetForeground(false);
         input.SetForeground(true);
         input.ScriptResults(Method::Acquire, device, {InputLost, InputLost});
       },
       0, false, 3, true},
      {"input lost for ever: the retry ends",
       [](auto& input, int device) {
         input.ScriptResults(Method::GetDeviceState, device, {InputLost});
         input.ScriptResultForever(Method::Acquire, device, InputLost);
       },
       0, false, MaxAcquireAttempts, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NextCase();
    const int device = input.Plug(L"Pad A");
    const DIJOYSTATE2 pressed = StateWith({2}, 9000);
    input.SetStates(device, {pressed});
    OpenDialog();
    ASSERT_TRUE(ControllerOpen());
    DIJOYSTATE2 zero{};
    ASSERT_TRUE(SameState(GamepadDialog.ControllerState, zero));
    c.before(input, device);
    input.ClearCalls();

    EXPECT_EQ(PollController(dialog), c.result);

    EXPECT_EQ(SameState(GamepadDialog.ControllerState, c.stateReplaced ? pressed : zero), true);
    EXPECT_EQ(input.CountCalls(Method::Acquire), c.acquireCalls);
    EXPECT_EQ(ControllerOpen(), c.keptOpen);
    EXPECT_EQ(ControllerName(), c.keptOpen ? L"Pad A" : L"");
    if (!c.keptOpen) {
      const auto releases = input.CallsTo(Method::Release);
      ASSERT_FALSE(releases.empty());
      EXPECT_EQ(releases.back().deviceName, L"Pad A");
      EXPECT_EQ(releases.back().arguments, "refs=0");
    }
    EXPECT_EQ(Enumerations(), 0) << "the failed read itself searches nothing";
  }
}

TEST_F(PollingTest, ReadsTheWholeStateWithItsOwnSize) {
  const int device = input.Plug(L"Pad A");
  DIJOYSTATE2 state = StateWith({1, 32}, 27000);
  state.lX = -1000;
  state.lRz = 1000;
  state.rglSlider[1] = 77;
  state.rgbButtons[127] = 0x80;
  state.lFZ = 5;
  input.SetStates(device, {CentredState(), state});
  OpenDialog();
  EXPECT_EQ(PollController(dialog), 1);
  EXPECT_TRUE(SameState(GamepadDialog.ControllerState, CentredState()));
  EXPECT_EQ(PollController(dialog), 1);
  EXPECT_TRUE(SameState(GamepadDialog.ControllerState, state));
  for (const LoggedCall& call : input.CallsTo(Method::GetDeviceState)) EXPECT_EQ(call.arguments, "size=272");
}

TEST_F(PollingTest, ActivationAcquiresAndDeactivationReleasesTheAcquisition) {
  input.Plug(L"Pad A");
  OpenDialog();
  input.ClearCalls();
  SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageW(dialog, WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0);  // minimised, yet active
  SetControllerAcquired(false);
  SetControllerAcquired(true);
  EXPECT_EQ(CallTrace(input.Calls()),
            (std::vector<std::string>{"Unacquire[Pad A]", "Acquire[Pad A]", "Unacquire[Pad A]", "Acquire[Pad A]"}));
}

TEST_F(PollingTest, ReleaseGivesUpTheControllerThenDirectInput) {
  input.Plug(L"Pad A");
  OpenDialog();
  EXPECT_TRUE(GamepadDialog.DeviceNotification) << "the dialog hears of new devices";
  input.ClearCalls();
  ReleaseControllerInput();
  EXPECT_EQ(CallTrace(input.Calls()),
            (std::vector<std::string>{"Unacquire[Pad A]", "Release[Pad A] refs=0", "Release refs=0"}));
  EXPECT_FALSE(ControllerOpen());
  EXPECT_FALSE(GamepadDialog.DirectInput);
  EXPECT_FALSE(GamepadDialog.DeviceNotification);
  EXPECT_EQ(ControllerName(), L"");
  // Nothing is left to release, and polling does nothing.
  ReleaseControllerInput();
  EXPECT_EQ(PollController(dialog), 0);
  SetControllerAcquired(true);
  EXPECT_EQ(CallTrace(input.Calls()).size(), 3u);
}

// ---------------------------------------------------------------------------
// Capture

class CaptureTest : public GamepadDialogTest {
 protected:
  // A controller whose type the lists already follow, every action list at
  // "-RZ" and the type list at 2.
  int OpenWithSettledController(const wchar_t* name = L"Pad A") {
    const int device = input.Plug(name);
    OpenDialog();
    Tick();  // the first read follows the new controller
    for (const ActionControl* action = ActionControls; action->controlId; ++action) Select(action->controlId, L"-RZ");
    SelectType(2);
    return device;
  }
};

std::wstring AllActionsAt(const wchar_t* name, int exceptId = 0, const wchar_t* exceptName = L"") {
  std::wstring text;
  for (const ActionControl* action = ActionControls; action->controlId; ++action) {
    if (!text.empty()) text += L' ';
    text += std::wstring(action->actionKey) + L'=' + (action->controlId == exceptId ? exceptName : name);
  }
  return text;
}

TEST_F(CaptureTest, WritesTheFirstHeldButtonOrHatIntoTheFocusedActionList) {
  DIJOYSTATE2 axesOnly = CentredState();
  axesOnly.lX = 1000;
  axesOnly.lY = -1000;
  axesOnly.lZ = 1000;
  axesOnly.lRx = -1000;
  axesOnly.lRy = 1000;
  axesOnly.lRz = -1000;
  axesOnly.rglSlider[0] = 1000;
  DIJOYSTATE2 beyondButton32 = CentredState();
  beyondButton32.rgbButtons[32] = 0x80;
  beyondButton32.rgbButtons[127] = 0x80;
  DIJOYSTATE2 secondHat = CentredState();
  secondHat.rgdwPOV[1] = 0;
  DIJOYSTATE2 lowBitOnly = CentredState();
  lowBitOnly.rgbButtons[3] = 0x7F;

  struct Case {
    const char* what;
    int focus;
    DIJOYSTATE2 state;
    const wchar_t* selected;  // in the focused list; nullptr: nothing changes
  };
  const Case cases[] = {
      {"button 3", IDC_ACTION_B, StateWith({3}), L"3"},
      {"buttons 3 and 7", IDC_ACTION_B, StateWith({3, 7}), L"3"},
      {"button 32", IDC_ACTION_RSTICK_VERT, StateWith({32}), L"32"},
      {"button 1 and the hat", IDC_ACTION_A, StateWith({1}, 9000), L"1"},
      {"the hat and button 5", IDC_ACTION_LEFT, StateWith({5}, 0), L"POV"},
      {"the hat alone", IDC_ACTION_UP, StateWith({}, 31500), L"POV"},
      {"a hat centred as 0x0000FFFF", IDC_ACTION_DOWN, StateWith({}, 0x0000FFFF), L"POV"},
      {"axes and sliders", IDC_ACTION_LT, axesOnly, nullptr},
      {"buttons beyond 32", IDC_ACTION_RB, beyondButton32, nullptr},
      {"the second hat", IDC_ACTION_RIGHT, secondHat, nullptr},
      {"a button byte without its high bit", IDC_ACTION_X, lowBitOnly, nullptr},
      {"nothing held", IDC_ACTION_Y, CentredState(), nullptr},
      {"focus on the type list", IDC_GAMEPAD_TYPE, StateWith({3}, 0), nullptr},
      {"focus on OK", IDOK, StateWith({3}, 0), nullptr},
      {"focus on Cancel", IDCANCEL, StateWith({3}, 0), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NextCase();
    const int device = OpenWithSettledController();
    Focus(c.focus);
    input.SetStates(device, {c.state});

    Tick();
    Tick();  // held: the same again, nothing else changes

    EXPECT_EQ(ActionSelections(), c.selected ? AllActionsAt(L"-RZ", c.focus, c.selected) : AllActionsAt(L"-RZ"));
    EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 2);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, c.focus));
  }
}

TEST_F(CaptureTest, NothingIsCapturedOnceCaptureIsDisabled) {
  const int device = OpenWithSettledController();
  Focus(IDC_ACTION_A);
  input.SetStates(device, {StateWith({4})});
  GamepadDialog.CaptureEnabled = 0;
  Tick(3);
  EXPECT_EQ(ActionSelections(), AllActionsAt(L"-RZ"));
  GamepadDialog.CaptureEnabled = 1;
  Tick();
  EXPECT_EQ(ActionSelections(), AllActionsAt(L"-RZ", IDC_ACTION_A, L"4"));
}

TEST_F(CaptureTest, AChangedControllerBringsItsTypesDefaultsBeforeTheHeldInput) {
  struct Case {
    const char* what;
    const wchar_t* recorded;
    const wchar_t* controller;
    int type;  // -1: no change
  };
  const Case cases[] = {
      {"first controller", L"", L"Logitech Dual Action", 5},
      {"another controller", L"Generic   USB  Joystick  ", L"Logitech Dual Action", 5},
      {"only the letter case differs", L"LOGITECH Dual Action", L"Logitech Dual Action", 5},
      {"an unknown controller", L"Logitech Dual Action", L"Xbox 360 Controller", 0},
      {"the recorded controller", L"Logitech Dual Action", L"Logitech Dual Action", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NextCase();
    const int device = input.Plug(c.controller);
    input.SetStates(device, {StateWith({7})});
    OpenDialog();
    lstrcpynW(GamepadDialog.RecordedProductName, c.recorded, MAX_PATH);
    GamepadDialog.RecordedProductType = 3;
    for (const ActionControl* action = ActionControls; action->controlId; ++action) Select(action->controlId, L"-RZ");
    SelectType(3);
    Focus(IDC_ACTION_B);

    Tick();

    if (c.type < 0) {
      EXPECT_EQ(ActionSelections(), AllActionsAt(L"-RZ", IDC_ACTION_B, L"7"));
      EXPECT_EQ(GamepadDialog.RecordedProductName, std::wstring(c.recorded));
      EXPECT_EQ(GamepadDialog.RecordedProductType, 3);
      EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 3);
      continue;
    }
    std::wstring expected;
    for (int i = 0; i < ActionCount; ++i) {
      if (i) expected += L' ';
      expected += std::wstring(ActionControls[i].actionKey) + L'=' +
                  (ActionControls[i].controlId == IDC_ACTION_B ? L"7" : GamepadTypeDefaults[c.type][i].inputName);
    }
    EXPECT_EQ(ActionSelections(), expected);
    EXPECT_EQ(GamepadDialog.RecordedProductName, std::wstring(c.controller));
    EXPECT_EQ(GamepadDialog.RecordedProductType, c.type);
    EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), c.type);
  }
}

// ---------------------------------------------------------------------------
// Hot-plug

class HotPlugTest : public GamepadDialogTest {};

TEST_F(HotPlugTest, IdleTicksWithoutAControllerOnlyRunTheSlowSafetySearch) {
  static_assert(ControllerSearchSchedule::SafetySearchPeriod >= 125, "a few seconds of 16 ms ticks apart");
  OpenDialog();  // activated: its first activation adds no search of its own
  EXPECT_EQ(Enumerations(), 1);
  for (int tick = 1; tick <= 1000; ++tick) {
    Tick();
    ASSERT_EQ(Enumerations(), 1 + tick / ControllerSearchSchedule::SafetySearchPeriod) << "tick " << tick;
  }
  EXPECT_EQ(CallTrace(input.Calls()).size(), 1u + Enumerations()) << "DirectInput8Create and the searches only";
}

TEST_F(HotPlugTest, AnAnnouncedControllerIsOpenedOnTheNextTickWithOneSearch) {
  OpenDialog();
  Tick(100);
  const int before = Enumerations();
  input.Plug(L"Logitech Dual Action");
  AnnounceHidArrival();
  EXPECT_EQ(Enumerations(), before) << "the announcement only makes a search due";

  Tick();
  EXPECT_EQ(Enumerations(), before + 1);
  EXPECT_TRUE(ControllerOpen());
  EXPECT_EQ(ControllerName(), L"Logitech Dual Action");
  Tick();  // its first read: the lists follow its type
  EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 5);
  EXPECT_EQ(Selection(IDC_ACTION_LEFT), L"-X");
  Tick(1000);
  EXPECT_EQ(Enumerations(), before + 1) << "no search while a controller is open";
}

TEST_F(HotPlugTest, AControllerAnnouncedEarlyIsFoundByTheRetries) {
  OpenDialog();
  Tick(10);
  const int before = Enumerations();
  AnnounceHidArrival();
  Tick();  // DirectInput does not list it yet
  EXPECT_EQ(Enumerations(), before + 1);
  EXPECT_FALSE(ControllerOpen());
  input.Plug(L"Pad A");
  Tick(ControllerSearchSchedule::ArrivalRetryPeriods[0] - 1);
  EXPECT_FALSE(ControllerOpen());
  Tick();
  EXPECT_TRUE(ControllerOpen());
  EXPECT_EQ(Enumerations(), before + 2);
}

TEST_F(HotPlugTest, RetriesAfterAnAnnouncementEndInTheSafetySearch) {
  OpenDialog();
  AnnounceHidArrival();
  std::vector<int> searchTicks;
  for (int tick = 1; tick <= 800; ++tick) {
    const int before = Enumerations();
    Tick();
    if (Enumerations() != before) searchTicks.push_back(tick);
  }
  const int first = 1;
  const int retry1 = first + ControllerSearchSchedule::ArrivalRetryPeriods[0];
  const int retry2 = retry1 + ControllerSearchSchedule::ArrivalRetryPeriods[1];
  const int retry3 = retry2 + ControllerSearchSchedule::ArrivalRetryPeriods[2];
  const int safety1 = retry3 + ControllerSearchSchedule::SafetySearchPeriod;
  const int safety2 = safety1 + ControllerSearchSchedule::SafetySearchPeriod;
  EXPECT_EQ(searchTicks, (std::vector<int>{first, retry1, retry2, retry3, safety1, safety2}));
  EXPECT_LT(retry3 * 16, 5000) << "the retries end within a few seconds";
}

TEST_F(HotPlugTest, AfterAnUnplugAnotherControllerTakesOverWithItsType) {
  const int first = input.Plug(L"Logitech Dual Action");
  OpenDialog();
  Tick();
  ASSERT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 5);
  const int before = Enumerations();

  input.Unplug(first);
  Tick();  // the read fails, re-acquisition answers DIERR_UNPLUGGED
  EXPECT_FALSE(ControllerOpen());
  EXPECT_EQ(ControllerName(), L"");
  EXPECT_EQ(Enumerations(), before);
  Tick();  // one search for another attached controller: none
  EXPECT_EQ(Enumerations(), before + 1);
  Tick(20);
  EXPECT_EQ(Enumerations(), before + 1);

  input.Plug(L"Generic   USB  Joystick  ");
  AnnounceHidArrival();
  Tick();
  EXPECT_TRUE(ControllerOpen());
  EXPECT_EQ(Enumerations(), before + 2);
  Tick();
  EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 4);
  EXPECT_EQ(GamepadDialog.RecordedProductType, 4);
  EXPECT_EQ(GamepadDialog.RecordedProductName, std::wstring(L"Generic   USB  Joystick  "));
  EXPECT_EQ(Selection(IDC_ACTION_BACK), L"12");  // type 4's BACK
  EXPECT_EQ(Selection(IDC_ACTION_LEFT), L"POV");
}

TEST_F(HotPlugTest, ASecondAttachedControllerTakesOverAtOnce) {
  const int first = input.Plug(L"Pad A");
  input.Plug(L"Logitech Dual Action");
  OpenDialog();
  Tick();
  input.Unplug(first);
  Tick(2);  // released, then one search
  EXPECT_TRUE(ControllerOpen());
  EXPECT_EQ(ControllerName(), L"Logitech Dual Action");
  Tick();
  EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), 5);
}

TEST_F(HotPlugTest, ActivationAsksForOneSearch) {
  OpenDialog();
  Tick(5);
  const int before = Enumerations();
  SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
  Tick(5);
  EXPECT_EQ(Enumerations(), before);
  input.Plug(L"Pad A");  // attached while the player was elsewhere, unannounced
  SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(Enumerations(), before);
  Tick();
  EXPECT_EQ(Enumerations(), before + 1);
  EXPECT_TRUE(ControllerOpen());
}

TEST_F(HotPlugTest, OtherDeviceChangesAskForNoSearch) {
  OpenDialog();
  Tick(5);
  const int before = Enumerations();

  DEV_BROADCAST_DEVICEINTERFACE_W hid{};
  hid.dbcc_size = sizeof(hid);
  hid.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof(volume);
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1 << 4;
  SendDeviceChange(DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<const DEV_BROADCAST_HDR*>(&hid));
  SendDeviceChange(DBT_DEVICEARRIVAL, reinterpret_cast<const DEV_BROADCAST_HDR*>(&volume));
  SendDeviceChange(DBT_DEVNODES_CHANGED, nullptr);
  SendDeviceChange(DBT_DEVICEARRIVAL, nullptr);
  Tick(20);
  EXPECT_EQ(Enumerations(), before);
}

}  // namespace
}  // namespace gamepad_testing
