// A scripted stand-in for DirectInput 8 (IDirectInput8W and
// IDirectInputDevice8W), for tests: game controllers that do not exist here.
//
// A FakeInputSystem holds the attached devices in their enumeration order,
// the states each device reports, the results to answer instead of the usual
// ones, and a log of every call with its arguments. Devices can be plugged
// and unplugged at any time. Methods the launcher has no business calling are
// logged as unexpected, reported on stderr and answer E_NOTIMPL.
//
// The core is free of any test framework so that it can also be wrapped as a
// stand-in dinput8.dll for tests of the real exe.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fake_dinput {

enum class Method {
  DirectInput8Create,
  EnumDevices,
  CreateDevice,
  GetCapabilities,
  SetDataFormat,
  SetCooperativeLevel,
  EnumObjects,
  SetProperty,
  GetDeviceInfo,
  GetDeviceState,
  Acquire,
  Unacquire,
  QueryInterface,
  AddRef,
  Release,
  Unexpected,  // anything else
};
const char* MethodName(Method method);
// The method of a name MethodName gives; false when there is none.
bool MethodByName(std::string_view name, Method* method);

// The device id of calls on the IDirectInput8W object itself.
inline constexpr int DirectInputObject = -1;

struct LoggedCall {
  Method method;
  int device;               // DirectInputObject, or the id Plug returned
  std::wstring deviceName;  // its product name; "" for DirectInput itself
  std::string arguments;    // e.g. "size=272", "window=0x... flags=0x6"
  HRESULT result;
};

struct DeviceSpec {
  std::wstring productName;
  std::wstring instanceName;  // empty: the product name
  int axes = 6;               // X, Y, Z, RX, RY, RZ, in that order, as many as given
  int buttons = 12;
  int hats = 1;
};

// "0x..." for a handle or pointer, as the log writes it.
std::string HandleText(const void* handle);

// A state with nothing held: no button, hats centred (-1), axes at 0.
DIJOYSTATE2 CentredState();
// A state with the given buttons (1-based) held and the first hat at hat.
DIJOYSTATE2 StateWith(std::initializer_list<int> buttons, DWORD hat = 0xFFFFFFFF);

class FakeDirectInput;
class FakeDevice;

class FakeInputSystem {
 public:
  FakeInputSystem() = default;
  FakeInputSystem(const FakeInputSystem&) = delete;
  FakeInputSystem& operator=(const FakeInputSystem&) = delete;
  ~FakeInputSystem();

  // Back to no devices, no scripts and an empty log. Interfaces still held
  // elsewhere are cut off: they answer E_UNEXPECTED.
  void Reset();

  // The system DirectInput8Create serves; nullptr: it fails.
  static FakeInputSystem* Current();
  void MakeCurrent();
  // Same contract as DirectInput8Create; logs and answers for Current().
  static HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void** out,
                                           IUnknown* outer);

  // Attaches a new device, enumerated after those attached already; returns
  // its id (0, 1, ...).
  int Plug(const DeviceSpec& spec);
  int Plug(const std::wstring& productName) {
    DeviceSpec spec;
    spec.productName = productName;
    return Plug(spec);
  }
  // Detaches a device: it leaves the enumeration, its interfaces lose their
  // input (reads answer DIERR_INPUTLOST, Acquire DIERR_UNPLUGGED).
  void Unplug(int device);
  // Attaches an unplugged device again, at the end of the enumeration order.
  // Interfaces created before stay lost.
  void Replug(int device);

  // Successful reads go through these states; the last one repeats.
  void SetStates(int device, std::vector<DIJOYSTATE2> states);
  // The next calls of the method on the device (DirectInputObject for
  // DirectInput8Create and EnumDevices; the created device for CreateDevice)
  // answer these results in turn, then behave as usual again. A failure or
  // S_FALSE does nothing else; S_OK lets the call behave as usual.
  void ScriptResults(Method method, int device, std::vector<HRESULT> results);
  // Every further call answers this result.
  void ScriptResultForever(Method method, int device, HRESULT result);
  // Whether acquiring with DISCL_FOREGROUND is allowed; leaving the
  // foreground takes acquisition away from such interfaces.
  void SetForeground(bool inForeground);

  // Runs a script of the calls above, one command a line; "#" starts a
  // comment. Device ids count from 0 in the order of the plug commands.
  //   plug <product name>
  //   unplug <id>            replug <id>
  //   states <id> <state> [| <state> ...]
  //       a state: buttons=1,5 hat=9000 x=-1000 y=0 z=0 rx=0 ry=0 rz=0
  //       (unnamed parts centred)
  //   results <method> <id | directinput> <code> ... [forever]
  //   foreground on | off
  // Codes: S_OK, S_FALSE, E_FAIL, E_HANDLE, E_OUTOFMEMORY, DIERR_INPUTLOST,
  // DIERR_UNPLUGGED, DIERR_OTHERAPPHASPRIO, DIERR_NOTACQUIRED,
  // DIERR_DEVICENOTREG, DIERR_UNSUPPORTED, or a number such as 0x8007001E.
  // Names are UTF-8. Returns "" or the first error, with its line number.
  std::string RunScript(std::string_view script);

  const std::vector<LoggedCall>& Calls() const { return calls_; }
  // The log as UTF-8 text, one call a line: "Method[device] arguments -> 0x...".
  std::string CallLogText() const;
  std::vector<LoggedCall> CallsTo(Method method) const;
  int CountCalls(Method method) const;
  void ClearCalls() { calls_.clear(); }
  const std::vector<std::string>& UnexpectedCalls() const { return unexpected_; }
  // Fake interfaces not yet released.
  int LiveObjects() const { return liveObjects_; }

 private:
  friend class FakeDirectInput;
  friend class FakeDevice;

  struct Device {
    DeviceSpec spec;
    GUID instanceGuid;
    GUID productGuid;
    bool plugged = true;
    int generation = 0;     // bumped by every plug: older interfaces stay lost
    long plugOrder = 0;     // enumeration order
    std::vector<DIJOYSTATE2> states;
    size_t nextState = 0;
  };
  struct Script {
    std::deque<HRESULT> results;
    bool forever = false;
  };

  // Returns the scripted result of the next call, if any.
  bool NextScripted(Method method, int device, HRESULT* result);
  HRESULT Log(Method method, int device, std::string arguments, HRESULT result);
  HRESULT LogUnexpected(const char* name, int device);
  const Device* FindDevice(const GUID& instance, int* id) const;
  std::wstring DeviceName(int device) const;
  DIJOYSTATE2 NextState(int device);
  std::vector<int> AttachedInOrder() const;
  void FillInstance(int device, DIDEVICEINSTANCEW* instance) const;
  void Track(FakeDevice* device, bool alive);
  void Track(FakeDirectInput* directInput, bool alive);

  std::vector<Device> devices_;
  std::map<std::pair<Method, int>, Script> scripts_;
  std::vector<LoggedCall> calls_;
  std::vector<std::string> unexpected_;
  std::vector<FakeDevice*> deviceObjects_;
  std::vector<FakeDirectInput*> directInputObjects_;
  int liveObjects_ = 0;
  long plugCounter_ = 0;
  bool inForeground_ = true;
};

}  // namespace fake_dinput
