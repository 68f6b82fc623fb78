// The scripted DirectInput that the controller tests (and stand-ins of
// dinput8.dll) rely on behaves as its script says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_direct_input.h"
#include "platform/com_ptr.h"

namespace fake_dinput {
namespace {

BOOL CALLBACK CollectName(const DIDEVICEINSTANCEW* instance, void* names) {
  static_cast<std::vector<std::wstring>*>(names)->push_back(instance->tszProductName);
  return DIENUM_CONTINUE;
}

BOOL CALLBACK TakeFirst(const DIDEVICEINSTANCEW* instance, void* guid) {
  *static_cast<GUID*>(guid) = instance->guidInstance;
  return DIENUM_STOP;
}

class FakeDirectInputTest : public testing::Test {
 protected:
  void SetUp() override {
    system.MakeCurrent();
    window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(window); }

  platform::com_ptr<IDirectInput8W> Create() {
    platform::com_ptr<IDirectInput8W> directInput;
    EXPECT_EQ(FakeInputSystem::DirectInput8Create(GetModuleHandleW(nullptr), 0x0800, IID_IDirectInput8W,
                                                  directInput.put_void(), nullptr),
              S_OK);
    return directInput;
  }
  std::vector<std::wstring> Attached(IDirectInput8W* directInput) {
    std::vector<std::wstring> names;
    directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, CollectName, &names, DIEDFL_ATTACHEDONLY);
    return names;
  }
  // The first attached device, ready to read.
  platform::com_ptr<IDirectInputDevice8W> OpenFirst(IDirectInput8W* directInput) {
    GUID first{};
    directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, TakeFirst, &first, DIEDFL_ATTACHEDONLY);
    platform::com_ptr<IDirectInputDevice8W> device;
    EXPECT_EQ(directInput->CreateDevice(first, device.put(), nullptr), DI_OK);
    EXPECT_EQ(device->SetDataFormat(&c_dfDIJoystick2), DI_OK);
    EXPECT_EQ(device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    return device;
  }

  FakeInputSystem system;
  HWND window = nullptr;
};

TEST_F(FakeDirectInputTest, AScriptPlugsDevicesScriptsResultsAndStates) {
  ASSERT_EQ(system.RunScript("# two pads\n"
                             "plug Pad A\n"
                             "plug ジョイパッド  \r\n"
                             "states 0 buttons=1,32 hat=9000 x=-1000 | rz=1000\n"
                             "results Acquire 0 DIERR_INPUTLOST 0x80040209\n"
                             "results GetDeviceInfo 1 E_FAIL forever\n"),
            "");
  platform::com_ptr<IDirectInput8W> directInput = Create();
  EXPECT_EQ(Attached(directInput.get()), (std::vector<std::wstring>{L"Pad A", L"ジョイパッド"}));

  platform::com_ptr<IDirectInputDevice8W> device = OpenFirst(directInput.get());
  EXPECT_EQ(device->Acquire(), static_cast<HRESULT>(DIERR_INPUTLOST));
  EXPECT_EQ(device->Acquire(), static_cast<HRESULT>(DIERR_UNPLUGGED));
  EXPECT_EQ(device->Acquire(), DI_OK);
  EXPECT_EQ(device->Acquire(), S_FALSE);
  DIJOYSTATE2 state;
  ASSERT_EQ(device->GetDeviceState(sizeof(state), &state), DI_OK);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
  EXPECT_EQ(state.rgbButtons[31], 0x80);
  EXPECT_EQ(state.rgbButtons[1], 0);
  EXPECT_EQ(state.rgdwPOV[0], 9000u);
  EXPECT_EQ(state.lX, -1000);
  for (int read = 0; read < 2; ++read) {  // the last state repeats
    ASSERT_EQ(device->GetDeviceState(sizeof(state), &state), DI_OK);
    EXPECT_EQ(state.rgbButtons[0], 0);
    EXPECT_EQ(state.rgdwPOV[0], 0xFFFFFFFFu);
    EXPECT_EQ(state.lRz, 1000);
  }
  EXPECT_EQ(device->GetDeviceState(sizeof(DIJOYSTATE), &state), DIERR_INVALIDPARAM);

  system.Unplug(0);
  EXPECT_EQ(device->GetDeviceState(sizeof(state), &state), static_cast<HRESULT>(DIERR_INPUTLOST));
  EXPECT_EQ(device->Acquire(), static_cast<HRESULT>(DIERR_UNPLUGGED));
  EXPECT_EQ(Attached(directInput.get()), (std::vector<std::wstring>{L"ジョイパッド"}));
  system.Replug(0);
  EXPECT_EQ(Attached(directInput.get()), (std::vector<std::wstring>{L"ジョイパッド", L"Pad A"}));

  const std::string log = system.CallLogText();
  EXPECT_NE(log.find("EnumDevices class=4 flags=0x1 ref=0x"), std::string::npos) << log;
  EXPECT_NE(log.find("SetDataFormat[Pad A] format=c_dfDIJoystick2 -> 0x00000000\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Acquire[Pad A] -> 0x8007001e\n"), std::string::npos) << log;
  EXPECT_TRUE(system.UnexpectedCalls().empty());
}

TEST_F(FakeDirectInputTest, RefusesWhatDirectInputRefuses) {
  system.Plug(L"Pad A");
  platform::com_ptr<IDirectInput8W> directInput = Create();
  platform::com_ptr<IDirectInputDevice8W> device = OpenFirst(directInput.get());

  DIDEVCAPS capabilities{};
  capabilities.dwSize = sizeof(capabilities) + 4;
  EXPECT_EQ(device->GetCapabilities(&capabilities), DIERR_INVALIDPARAM);
  DIDEVICEINSTANCEW info{};
  info.dwSize = 1096;
  EXPECT_EQ(device->GetDeviceInfo(&info), DIERR_INVALIDPARAM);
  const HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, window, nullptr, nullptr, nullptr);
  EXPECT_EQ(device->SetCooperativeLevel(child, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), E_HANDLE);

  system.SetForeground(false);
  EXPECT_EQ(device->Acquire(), static_cast<HRESULT>(DIERR_OTHERAPPHASPRIO));
  system.SetForeground(true);
  EXPECT_EQ(device->Acquire(), DI_OK);
  DIPROPRANGE range{};
  range.diph = {sizeof(range), sizeof(range.diph), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(0), DIPH_BYID};
  EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &range.diph), DIERR_ACQUIRED);
  EXPECT_EQ(device->Unacquire(), DI_OK);
  EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &range.diph), DI_OK);
  range.diph.dwObj = DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(0);
  EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &range.diph), DIERR_OBJECTNOTFOUND);

  // What the launcher must never call is answered and reported.
  EXPECT_EQ(device->Poll(), E_NOTIMPL);
  EXPECT_EQ(directInput->FindDevice(GUID_Joystick, L"Pad A", nullptr), E_NOTIMPL);
  EXPECT_EQ(system.UnexpectedCalls(), (std::vector<std::string>{"Poll on device 0", "FindDevice"}));

  EXPECT_EQ(system.LiveObjects(), 2);
  device.reset();
  directInput.reset();
  EXPECT_EQ(system.LiveObjects(), 0);
}

TEST_F(FakeDirectInputTest, ScriptErrorsNameTheirLine) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"plug\n", "line 1: plug needs a product name"},
      {"plug Pad\nunplug 1\n", "line 2: no such device: 1"},
      {"plug Pad\n\nstates 0 buttons=0\n", "line 3: not a button from 1 to 128: 0"},
      {"plug Pad\nstates 0 trigger=5\n", "line 2: unknown part of a state: trigger"},
      {"results Acquire directinput NOPE\n", "line 1: not a result code: NOPE"},
      {"results Fly directinput S_OK\n", "line 1: no such method: Fly"},
      {"results Acquire directinput S_OK S_FALSE forever\n", "line 1: forever takes one code"},
      {"foreground maybe\n", "line 1: foreground takes on or off"},
      {"jump 3\n", "line 1: unknown command: jump"},
  };
  for (const auto& c : cases) {
    system.Reset();
    EXPECT_EQ(system.RunScript(c.script), c.error) << c.script;
  }
}

}  // namespace
}  // namespace fake_dinput
