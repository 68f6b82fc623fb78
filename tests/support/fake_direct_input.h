// A scripted DirectInput 8: devices come and go at will, any call can fail once, a few times or for ever. Like
// DirectInput it refuses wrong sizes, set-up while acquired and foreground acquisition in the background. It logs every
// call and reports those the launcher has no business making. Free of GoogleTest: it also stands in for dinput8.dll.
#pragma once

#include <windows.h>
#include <dinput.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake_dinput {

enum class Method {
  Create, EnumDevices, CreateDevice, GetCapabilities, SetDataFormat, SetCooperativeLevel, EnumObjects,
  SetProperty, GetDeviceInfo, Poll, GetDeviceState, Acquire, Unacquire, Release,
};
inline constexpr const char* MethodNames[] = {"Create", "EnumDevices", "CreateDevice", "GetCapabilities",
                                              "SetDataFormat", "SetCooperativeLevel", "EnumObjects", "SetProperty",
                                              "GetDeviceInfo", "Poll", "GetDeviceState", "Acquire", "Unacquire",
                                              "Release"};
inline constexpr int DirectInputObject = -1;  // the "device" of calls on IDirectInput8W

struct Device {
  std::wstring productName;
  DIJOYSTATE2 state;
  bool plugged = true;
  bool polled = false;  // its driver updates what a read gives only when polled
};

struct FakeInput {
  std::vector<Device> devices;  // in enumeration order
  std::map<std::pair<Method, int>, std::pair<HRESULT, int>> failures;  // result, times left (< 0: for ever)
  std::vector<std::string> calls;  // "Method[device]", EnumDevices with its class and flags
  std::map<Method, int> counts;    // calls of each method
  std::vector<std::string> unexpected;
  std::multiset<int> live;  // devices with an interface alive, DirectInputObject for DirectInput's
  bool foreground = true;

  void Reset() { *this = FakeInput{}; }
  // A state with these buttons (from 1) held and the first hat at hat.
  static DIJOYSTATE2 Held(std::initializer_list<int> buttons, DWORD hat = 0xFFFFFFFF) {
    DIJOYSTATE2 state{};
    std::fill(std::begin(state.rgdwPOV), std::end(state.rgdwPOV), 0xFFFFFFFF);  // centred
    state.rgdwPOV[0] = hat;
    for (const int button : buttons)
      if (button >= 1 && button <= 128) state.rgbButtons[button - 1] = 0x80;
    return state;
  }
  int Plug(const std::wstring& productName, DIJOYSTATE2 state = Held({})) {
    devices.push_back({productName, state});
    return static_cast<int>(devices.size()) - 1;
  }
  void Fail(Method method, int device, HRESULT result, int times = 1) { failures[{method, device}] = {result, times}; }
  std::vector<std::wstring> OpenDevices() const {  // product names, one per live interface
    std::vector<std::wstring> names;
    for (const int device : live)
      if (device != DirectInputObject) names.push_back(devices[device].productName);
    return names;
  }
  // The usual result, or the failure the test asked for; logged.
  HRESULT Answer(Method method, int device, HRESULT usual, const std::string& arguments = "") {
    auto& [failure, timesLeft] = failures[{method, device}];  // none: {S_OK, 0}
    const HRESULT result = timesLeft != 0 ? failure : usual;
    timesLeft -= timesLeft > 0;
    std::string text = MethodNames[static_cast<int>(method)];
    if (device != DirectInputObject) text.append("[").append(std::to_string(device)).append("]");
    calls.push_back(arguments.empty() ? text : text + " " + arguments);
    ++counts[method];
    return result;
  }
  HRESULT Unexpected(const char* name) {
    unexpected.push_back(name);
    std::fprintf(stderr, "fake DirectInput: unexpected call of %s\n", name);
    return E_NOTIMPL;
  }
};
inline FakeInput Input;  // the one system the fake serves

// Same contract as DirectInput8Create.
HRESULT WINAPI Create(HINSTANCE instance, DWORD version, REFIID iid, void** out, IUnknown* outer);

}  // namespace fake_dinput
