#include "fake_direct_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace fake_dinput {

FakeInput Input;

namespace {

const char* const MethodNames[] = {"Create",  "EnumDevices",   "CreateDevice",   "GetCapabilities", "SetDataFormat",
                                   "SetCooperativeLevel", "EnumObjects", "SetProperty", "GetDeviceInfo",
                                   "GetDeviceState", "Acquire", "Unacquire", "Release"};

GUID InstanceGuid(int device) {
  return {0x1A000000u + static_cast<DWORD>(device), 0xFA4E, 0x11D0, {0x80, 0, 'D', 'E', 'S', 'T', 0, 0}};
}

// The IUnknown both interfaces share; the object lives while referenced.
// Calls the launcher has no business making.
HRESULT No(const char* name) { return Input.Unexpected(name); }

template <typename Interface>
class Object : public Interface {
 public:
  explicit Object(int device) : device_(device) { Input.live.insert(device); }
  virtual ~Object() {
    if (const auto found = Input.live.find(device_); found != Input.live.end()) Input.live.erase(found);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    Input.Log(Method::Release, device_, S_OK);
    if (left == 0) delete this;
    return left;
  }

 protected:
  const int device_;
  ULONG references_ = 1;
};

class FakeDevice final : public Object<IDirectInputDevice8W> {
 public:
  using Object::Object;

  HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS caps) override {
    HRESULT result = caps && caps->dwSize == sizeof(DIDEVCAPS) ? DI_OK : DIERR_INVALIDPARAM;
    Input.Failing(Method::GetCapabilities, device_, &result);
    return Input.Log(Method::GetCapabilities, device_, result);
  }
  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override {
    HRESULT result = acquired() ? DIERR_ACQUIRED : format ? DI_OK : DIERR_INVALIDPARAM;
    if (!Input.Failing(Method::SetDataFormat, device_, &result) && result == DI_OK) dataSize_ = format->dwDataSize;
    return Input.Log(Method::SetDataFormat, device_, result, "size=" + std::to_string(format ? format->dwDataSize : 0));
  }
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
    // DirectInput wants the application's top-level window.
    HRESULT result = acquired()                                                            ? DIERR_ACQUIRED
                     : !IsWindow(window) || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? E_HANDLE
                                                                                           : DI_OK;
    if (!Input.Failing(Method::SetCooperativeLevel, device_, &result) && result == DI_OK) flags_ = flags;
    return Input.Log(Method::SetCooperativeLevel, device_, result, "flags=" + std::to_string(flags));
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, LPVOID ref, DWORD flags) override {
    HRESULT result = DI_OK;
    if (Input.Failing(Method::EnumObjects, device_, &result))
      return Input.Log(Method::EnumObjects, device_, result, "flags=" + std::to_string(flags));
    Input.Log(Method::EnumObjects, device_, result, "flags=" + std::to_string(flags));
    // Six absolute axes: X, Y, Z, RX, RY, RZ.
    for (DWORD axis = 0; axis < 6 && (flags & DIDFT_AXIS); ++axis) {
      DIDEVICEOBJECTINSTANCEW object{};
      object.dwSize = sizeof(object);
      object.dwType = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis);
      if (callback(&object, ref) == DIENUM_STOP) break;
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) override {
    const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
    const bool isRange = &property == &DIPROP_RANGE;
    HRESULT result = acquired() ? DIERR_ACQUIRED
                     : !isRange || header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwSize != sizeof(DIPROPRANGE)
                         ? DIERR_INVALIDPARAM
                     : header->dwHow != DIPH_BYID || !(header->dwObj & DIDFT_ABSAXIS) ? DIERR_OBJECTNOTFOUND
                                                                                     : DI_OK;
    Input.Failing(Method::SetProperty, device_, &result);
    return Input.Log(Method::SetProperty, device_, result,
                     isRange ? "range=" + std::to_string(range->lMin) + ".." + std::to_string(range->lMax) : "");
  }
  HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEW info) override {
    HRESULT result = info && info->dwSize == sizeof(DIDEVICEINSTANCEW) ? DI_OK : DIERR_INVALIDPARAM;
    if (!Input.Failing(Method::GetDeviceInfo, device_, &result) && result == DI_OK)
      wcsncpy(info->tszProductName, Input.devices[device_].productName.c_str(), MAX_PATH - 1);
    return Input.Log(Method::GetDeviceInfo, device_, result);
  }
  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
    const bool lost = acquired() && !Input.devices[device_].plugged;
    HRESULT result = !acquired() ? DIERR_NOTACQUIRED : lost ? DIERR_INPUTLOST : size != dataSize_ ? DIERR_INVALIDPARAM
                                                                                                 : DI_OK;
    if (lost) acquired_ = false;
    if (!Input.Failing(Method::GetDeviceState, device_, &result) && result == DI_OK)
      std::memcpy(data, &Input.devices[device_].state, sizeof(DIJOYSTATE2));
    return Input.Log(Method::GetDeviceState, device_, result, "size=" + std::to_string(size));
  }
  HRESULT STDMETHODCALLTYPE Acquire() override {
    HRESULT result = !Input.devices[device_].plugged                               ? DIERR_UNPLUGGED
                     : dataSize_ == 0                                              ? DIERR_INVALIDPARAM
                     : acquired()                                                  ? S_FALSE
                     : (flags_ & DISCL_FOREGROUND) && !Input.foreground ? DIERR_OTHERAPPHASPRIO
                                                                                   : DI_OK;
    if (!Input.Failing(Method::Acquire, device_, &result) && result == DI_OK) {
      acquired_ = true;
      acquiredAt_ = Input.backgroundSwitches;
    }
    return Input.Log(Method::Acquire, device_, result);
  }
  HRESULT STDMETHODCALLTYPE Unacquire() override {
    HRESULT result = acquired() ? DI_OK : DI_NOEFFECT;
    if (!Input.Failing(Method::Unacquire, device_, &result)) acquired_ = false;
    return Input.Log(Method::Unacquire, device_, result);
  }

  // Nothing the launcher should call.
  HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override { return No("GetProperty"); }
  HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return No("GetDeviceData"); }
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override { return No("SetEventNotification"); }
  HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEW, DWORD, DWORD) override { return No("GetObjectInfo"); }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return No("RunControlPanel"); }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return No("Initialize"); }
  HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override { return No("CreateEffect"); }
  HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKW, LPVOID, DWORD) override { return No("EnumEffects"); }
  HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOW, REFGUID) override { return No("GetEffectInfo"); }
  HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override { return No("GetForceFeedbackState"); }
  HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override { return No("SendForceFeedbackCommand"); }
  HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override { return No("EnumCreatedEffectObjects"); }
  HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return No("Escape"); }
  HRESULT STDMETHODCALLTYPE Poll() override { return No("Poll"); }
  HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return No("SendDeviceData"); }
  HRESULT STDMETHODCALLTYPE EnumEffectsInFile(LPCWSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override { return No("EnumEffectsInFile"); }
  HRESULT STDMETHODCALLTYPE WriteEffectToFile(LPCWSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return No("WriteEffectToFile"); }
  HRESULT STDMETHODCALLTYPE BuildActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override { return No("BuildActionMap"); }
  HRESULT STDMETHODCALLTYPE SetActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override { return No("SetActionMap"); }
  HRESULT STDMETHODCALLTYPE GetImageInfo(LPDIDEVICEIMAGEINFOHEADERW) override { return No("GetImageInfo"); }

 private:
  // Leaving the foreground takes acquisition away from a foreground device.
  bool acquired() const {
    return acquired_ && (!(flags_ & DISCL_FOREGROUND) || acquiredAt_ == Input.backgroundSwitches);
  }

  bool acquired_ = false;
  int acquiredAt_ = 0;
  DWORD dataSize_ = 0;
  DWORD flags_ = 0;
};

class FakeDirectInput final : public Object<IDirectInput8W> {
 public:
  FakeDirectInput() : Object(DirectInputObject) {}

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8W* out, LPUNKNOWN outer) override {
    const int device = static_cast<int>(instance.Data1 - InstanceGuid(0).Data1);
    const bool known = device >= 0 && device < static_cast<int>(Input.devices.size());
    HRESULT result = known && !outer && Input.devices[device].plugged ? DI_OK : DIERR_DEVICENOTREG;
    Input.Failing(Method::CreateDevice, device, &result);
    *out = SUCCEEDED(result) ? new FakeDevice(device) : nullptr;
    return Input.Log(Method::CreateDevice, device, result);
  }
  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKW callback, LPVOID ref,
                                        DWORD flags) override {
    HRESULT result = DI_OK;
    const std::string arguments = "class=" + std::to_string(type) + " flags=" + std::to_string(flags);
    if (Input.Failing(Method::EnumDevices, DirectInputObject, &result))
      return Input.Log(Method::EnumDevices, DirectInputObject, result, arguments);
    Input.Log(Method::EnumDevices, DirectInputObject, result, arguments);
    for (size_t device = 0; device < Input.devices.size(); ++device) {
      if (!Input.devices[device].plugged) continue;
      DIDEVICEINSTANCEW found{};
      found.dwSize = sizeof(found);
      found.guidInstance = InstanceGuid(static_cast<int>(device));
      found.dwDevType = DI8DEVTYPE_GAMEPAD;
      wcsncpy(found.tszProductName, Input.devices[device].productName.c_str(), MAX_PATH - 1);
      if (callback(&found, ref) == DIENUM_STOP) break;
    }
    return result;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID) override { return No("GetDeviceStatus"); }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return No("RunControlPanel"); }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override { return No("Initialize"); }
  HRESULT STDMETHODCALLTYPE FindDevice(REFGUID, LPCWSTR, LPGUID) override { return No("FindDevice"); }
  HRESULT STDMETHODCALLTYPE EnumDevicesBySemantics(LPCWSTR, LPDIACTIONFORMATW, LPDIENUMDEVICESBYSEMANTICSCBW, LPVOID, DWORD) override { return No("EnumDevicesBySemantics"); }
  HRESULT STDMETHODCALLTYPE ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSW, DWORD, LPVOID) override { return No("ConfigureDevices"); }
};

}  // namespace

int FakeInput::Plug(const std::wstring& productName, DIJOYSTATE2 state) {
  devices.push_back({productName, true, state});
  return static_cast<int>(devices.size()) - 1;
}

void FakeInput::SetForeground(bool inForeground) {
  foreground = inForeground;
  if (!inForeground) ++backgroundSwitches;
}

int FakeInput::Count(Method method) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const Call& c) { return c.method == method; }));
}

std::vector<std::wstring> FakeInput::OpenDevices() const {
  std::vector<std::wstring> names;
  for (const int device : live)
    if (device != DirectInputObject) names.push_back(devices[device].productName);
  return names;
}

DIJOYSTATE2 FakeInput::Held(std::initializer_list<int> buttons, DWORD hat) {
  DIJOYSTATE2 state{};
  for (DWORD& each : state.rgdwPOV) each = 0xFFFFFFFF;  // centred
  state.rgdwPOV[0] = hat;
  for (const int button : buttons)
    if (button >= 1 && button <= 128) state.rgbButtons[button - 1] = 0x80;
  return state;
}

bool FakeInput::Failing(Method method, int device, HRESULT* result) {
  const auto found = failures.find({method, device});
  if (found == failures.end() || found->second.second == 0) return false;
  *result = found->second.first;
  if (found->second.second > 0) --found->second.second;
  return true;
}

HRESULT FakeInput::Log(Method method, int device, HRESULT result, const std::string& arguments) {
  std::string text = MethodNames[static_cast<int>(method)];
  if (device != DirectInputObject) text.append("[").append(std::to_string(device)).append("]");
  if (!arguments.empty()) text += " " + arguments;
  calls.push_back({method, device, text, result});
  return result;
}

HRESULT FakeInput::Unexpected(const char* name) {
  unexpected.push_back(name);
  std::fprintf(stderr, "fake DirectInput: unexpected call of %s\n", name);
  return E_NOTIMPL;
}

HRESULT WINAPI Create(HINSTANCE, DWORD version, REFIID iid, void** out, IUnknown* outer) {
  HRESULT result = version != 0x0800                       ? DIERR_BETADIRECTINPUTVERSION
                   : !IsEqualGUID(iid, IID_IDirectInput8W) ? E_NOINTERFACE
                   : outer                                 ? CLASS_E_NOAGGREGATION
                                                           : DI_OK;
  Input.Failing(Method::Create, DirectInputObject, &result);
  *out = SUCCEEDED(result) ? static_cast<IDirectInput8W*>(new FakeDirectInput) : nullptr;
  return Input.Log(Method::Create, DirectInputObject, result);
}

}  // namespace fake_dinput
