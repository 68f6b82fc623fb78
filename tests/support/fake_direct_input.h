// A scripted DirectInput 8, since no controller can be attached here: devices
// come and go at will, and any call can fail once, a few times or for ever.
// Like DirectInput it refuses structures of the wrong size, set-up while
// acquired and foreground acquisition in the background. It logs every call
// and reports those the launcher has no business making. Free of GoogleTest:
// it also stands in for dinput8.dll.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake_dinput {

enum class Method {
  Create, EnumDevices, CreateDevice, GetCapabilities, SetDataFormat, SetCooperativeLevel, EnumObjects,
  SetProperty, GetDeviceInfo, GetDeviceState, Acquire, Unacquire, Release,
};
inline constexpr int DirectInputObject = -1;  // the "device" of calls on IDirectInput8W

struct Call {
  Method method;
  std::string text;  // "Method[device] arguments", with the arguments that matter
};

struct Device {
  std::wstring productName;
  DIJOYSTATE2 state;
  bool plugged = true;
};

struct FakeInput {
  std::vector<Device> devices;  // in enumeration order
  std::map<std::pair<Method, int>, std::pair<HRESULT, int>> failures;  // result, times left (< 0: for ever)
  std::vector<Call> calls;
  std::vector<std::string> unexpected;
  std::multiset<int> live;  // devices with an interface alive, DirectInputObject for DirectInput's
  bool foreground = true;
  int backgroundSwitches = 0;

  void Reset() { *this = FakeInput{}; }
  // A state with these buttons (from 1) held and the first hat at hat.
  static DIJOYSTATE2 Held(std::initializer_list<int> buttons, DWORD hat = 0xFFFFFFFF);
  int Plug(const std::wstring& productName, DIJOYSTATE2 state = Held({})) {
    devices.push_back({productName, state});
    return static_cast<int>(devices.size()) - 1;
  }
  void Fail(Method method, int device, HRESULT result, int times = 1) { failures[{method, device}] = {result, times}; }
  void SetForeground(bool inForeground) { foreground = inForeground, backgroundSwitches += !inForeground; }
  int Count(Method method) const {
    return int(std::count_if(calls.begin(), calls.end(), [&](const Call& c) { return c.method == method; }));
  }
  std::vector<std::wstring> OpenDevices() const;  // product names, one per live interface
  // The usual result, or the failure the test asked for; logged.
  HRESULT Answer(Method method, int device, HRESULT usual, const std::string& arguments = "");
  HRESULT Unexpected(const char* name);
};
extern FakeInput Input;  // the one system the fake serves

// Same contract as DirectInput8Create.
HRESULT WINAPI Create(HINSTANCE instance, DWORD version, REFIID iid, void** out, IUnknown* outer);

}  // namespace fake_dinput
