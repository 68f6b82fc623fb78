#include "fake_direct_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace fake_dinput {

FakeInput Input;

namespace {

const char* const MethodNames[] = {"Create", "EnumDevices", "CreateDevice", "GetCapabilities", "SetDataFormat",
                                   "SetCooperativeLevel", "EnumObjects", "SetProperty", "GetDeviceInfo",
                                   "GetDeviceState", "Acquire", "Unacquire", "Release"};

GUID InstanceGuid(int device) { return {0x1A000000u + static_cast<DWORD>(device), 0, 0, {}}; }

// The IUnknown both interfaces share: the object lives while referenced.
// (WINAPI is the COM calling convention, STDMETHODCALLTYPE.)
template <typename Interface>
class Object : public Interface {
 public:
  explicit Object(int device) : device_(device) { Input.live.insert(device); }
  virtual ~Object() {
    if (const auto found = Input.live.find(device_); found != Input.live.end()) Input.live.erase(found);
  }
  HRESULT WINAPI QueryInterface(REFIID, void** out) override { return *out = nullptr, E_NOINTERFACE; }
  ULONG WINAPI AddRef() override { return ++references_; }
  ULONG WINAPI Release() override {
    Input.Answer(Method::Release, device_, S_OK);
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  HRESULT No(const char* name) { return Input.Unexpected(name); }
  const int device_;
  ULONG references_ = 1;
};

class FakeDevice final : public Object<IDirectInputDevice8W> {
 public:
  using Object::Object;

  HRESULT WINAPI GetCapabilities(LPDIDEVCAPS caps) override {
    return Answer(Method::GetCapabilities, caps->dwSize == sizeof(DIDEVCAPS) ? DI_OK : DIERR_INVALIDPARAM);
  }
  HRESULT WINAPI SetDataFormat(LPCDIDATAFORMAT format) override {
    const HRESULT result = Answer(Method::SetDataFormat, Acquired() ? DIERR_ACQUIRED : DI_OK,
                                  "size=" + std::to_string(format->dwDataSize));
    if (result == DI_OK) dataSize_ = format->dwDataSize;
    return result;
  }
  HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD flags) override {
    // DirectInput wants the application's top-level window.
    const bool topLevel = IsWindow(window) && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
    const HRESULT usual = Acquired() ? DIERR_ACQUIRED : topLevel ? DI_OK : E_HANDLE;
    const HRESULT result = Answer(Method::SetCooperativeLevel, usual, "flags=" + std::to_string(flags));
    if (result == DI_OK) flags_ = flags;
    return result;
  }
  // Six absolute axes: X, Y, Z, RX, RY, RZ.
  HRESULT WINAPI EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, LPVOID ref, DWORD flags) override {
    const HRESULT result = Answer(Method::EnumObjects, DI_OK, "flags=" + std::to_string(flags));
    for (DWORD axis = 0; result == DI_OK && axis < 6 && (flags & DIDFT_AXIS); ++axis) {
      DIDEVICEOBJECTINSTANCEW object{};
      object.dwSize = sizeof(object);
      object.dwType = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis);
      if (callback(&object, ref) == DIENUM_STOP) break;
    }
    return result;
  }
  HRESULT WINAPI SetProperty(REFGUID property, LPCDIPROPHEADER header) override {
    const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
    const bool wellFormed = &property == &DIPROP_RANGE && header->dwHeaderSize == sizeof(DIPROPHEADER) &&
                            header->dwSize == sizeof(DIPROPRANGE);
    const bool axis = header->dwHow == DIPH_BYID && (header->dwObj & DIDFT_ABSAXIS);
    return Answer(Method::SetProperty,
                  Acquired() ? DIERR_ACQUIRED : !wellFormed ? DIERR_INVALIDPARAM : axis ? DI_OK : DIERR_OBJECTNOTFOUND,
                  "range=" + std::to_string(range->lMin) + ".." + std::to_string(range->lMax));
  }
  HRESULT WINAPI GetDeviceInfo(LPDIDEVICEINSTANCEW info) override {
    const HRESULT result = Answer(Method::GetDeviceInfo, info->dwSize == sizeof(*info) ? DI_OK : DIERR_INVALIDPARAM);
    if (result == DI_OK) wcsncpy(info->tszProductName, Input.devices[device_].productName.c_str(), MAX_PATH - 1);
    return result;
  }
  HRESULT WINAPI GetDeviceState(DWORD size, LPVOID data) override {
    const bool lost = Acquired() && !Input.devices[device_].plugged;
    const HRESULT usual = !Acquired()          ? DIERR_NOTACQUIRED
                          : lost               ? DIERR_INPUTLOST
                          : size != dataSize_  ? DIERR_INVALIDPARAM
                                               : DI_OK;
    acquired_ = acquired_ && !lost;
    const HRESULT result = Answer(Method::GetDeviceState, usual, "size=" + std::to_string(size));
    if (result == DI_OK) std::memcpy(data, &Input.devices[device_].state, sizeof(DIJOYSTATE2));
    return result;
  }
  HRESULT WINAPI Acquire() override {
    const HRESULT result = Answer(Method::Acquire, !Input.devices[device_].plugged                ? DIERR_UNPLUGGED
                                                   : dataSize_ == 0                               ? DIERR_INVALIDPARAM
                                                   : Acquired()                                   ? S_FALSE
                                                   : (flags_ & DISCL_FOREGROUND) && !Input.foreground
                                                       ? DIERR_OTHERAPPHASPRIO
                                                       : DI_OK);
    if (result == DI_OK) acquired_ = true, acquiredAt_ = Input.backgroundSwitches;
    return result;
  }
  HRESULT WINAPI Unacquire() override {
    const HRESULT result = Answer(Method::Unacquire, Acquired() ? DI_OK : DI_NOEFFECT);
    acquired_ = acquired_ && FAILED(result);
    return result;
  }

  // Nothing the launcher should call.
  HRESULT WINAPI GetProperty(REFGUID, LPDIPROPHEADER) override { return No(__func__); }
  HRESULT WINAPI GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return No(__func__); }
  HRESULT WINAPI SetEventNotification(HANDLE) override { return No(__func__); }
  HRESULT WINAPI GetObjectInfo(LPDIDEVICEOBJECTINSTANCEW, DWORD, DWORD) override { return No(__func__); }
  HRESULT WINAPI RunControlPanel(HWND, DWORD) override { return No(__func__); }
  HRESULT WINAPI Initialize(HINSTANCE, DWORD, REFGUID) override { return No(__func__); }
  HRESULT WINAPI CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override { return No(__func__); }
  HRESULT WINAPI EnumEffects(LPDIENUMEFFECTSCALLBACKW, LPVOID, DWORD) override { return No(__func__); }
  HRESULT WINAPI GetEffectInfo(LPDIEFFECTINFOW, REFGUID) override { return No(__func__); }
  HRESULT WINAPI GetForceFeedbackState(LPDWORD) override { return No(__func__); }
  HRESULT WINAPI SendForceFeedbackCommand(DWORD) override { return No(__func__); }
  HRESULT WINAPI EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override {
    return No(__func__);
  }
  HRESULT WINAPI Escape(LPDIEFFESCAPE) override { return No(__func__); }
  HRESULT WINAPI Poll() override { return No(__func__); }
  HRESULT WINAPI SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return No(__func__); }
  HRESULT WINAPI EnumEffectsInFile(LPCWSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override {
    return No(__func__);
  }
  HRESULT WINAPI WriteEffectToFile(LPCWSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return No(__func__); }
  HRESULT WINAPI BuildActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override { return No(__func__); }
  HRESULT WINAPI SetActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override { return No(__func__); }
  HRESULT WINAPI GetImageInfo(LPDIDEVICEIMAGEINFOHEADERW) override { return No(__func__); }

 private:
  HRESULT Answer(Method method, HRESULT usual, const std::string& arguments = "") {
    return Input.Answer(method, device_, usual, arguments);
  }
  // Leaving the foreground takes acquisition away from a foreground device.
  bool Acquired() const {
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

  HRESULT WINAPI CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8W* out, LPUNKNOWN outer) override {
    const int device = static_cast<int>(instance.Data1 - InstanceGuid(0).Data1);
    const bool plugged = device >= 0 && device < int(Input.devices.size()) && Input.devices[device].plugged;
    const HRESULT result = Input.Answer(Method::CreateDevice, device, plugged && !outer ? DI_OK : DIERR_DEVICENOTREG);
    *out = SUCCEEDED(result) ? new FakeDevice(device) : nullptr;
    return result;
  }
  HRESULT WINAPI EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKW callback, LPVOID ref, DWORD flags) override {
    const HRESULT result = Input.Answer(Method::EnumDevices, DirectInputObject, DI_OK,
                                        "class=" + std::to_string(type) + " flags=" + std::to_string(flags));
    for (size_t device = 0; result == DI_OK && device < Input.devices.size(); ++device) {
      if (!Input.devices[device].plugged) continue;
      DIDEVICEINSTANCEW found{};
      found.dwSize = sizeof(found);
      found.guidInstance = InstanceGuid(static_cast<int>(device));
      wcsncpy(found.tszProductName, Input.devices[device].productName.c_str(), MAX_PATH - 1);
      if (callback(&found, ref) == DIENUM_STOP) break;
    }
    return result;
  }

  HRESULT WINAPI GetDeviceStatus(REFGUID) override { return No(__func__); }
  HRESULT WINAPI RunControlPanel(HWND, DWORD) override { return No(__func__); }
  HRESULT WINAPI Initialize(HINSTANCE, DWORD) override { return No(__func__); }
  HRESULT WINAPI FindDevice(REFGUID, LPCWSTR, LPGUID) override { return No(__func__); }
  HRESULT WINAPI EnumDevicesBySemantics(LPCWSTR, LPDIACTIONFORMATW, LPDIENUMDEVICESBYSEMANTICSCBW, LPVOID,
                                        DWORD) override {
    return No(__func__);
  }
  HRESULT WINAPI ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSW, DWORD, LPVOID) override {
    return No(__func__);
  }
};

}  // namespace

DIJOYSTATE2 FakeInput::Held(std::initializer_list<int> buttons, DWORD hat) {
  DIJOYSTATE2 state{};
  std::fill(std::begin(state.rgdwPOV), std::end(state.rgdwPOV), 0xFFFFFFFF);  // centred
  state.rgdwPOV[0] = hat;
  for (const int button : buttons)
    if (button >= 1 && button <= 128) state.rgbButtons[button - 1] = 0x80;
  return state;
}

std::vector<std::wstring> FakeInput::OpenDevices() const {
  std::vector<std::wstring> names;
  for (const int device : live)
    if (device != DirectInputObject) names.push_back(devices[device].productName);
  return names;
}

HRESULT FakeInput::Answer(Method method, int device, HRESULT usual, const std::string& arguments) {
  HRESULT result = usual;
  if (const auto found = failures.find({method, device}); found != failures.end() && found->second.second != 0) {
    result = found->second.first;
    found->second.second -= found->second.second > 0;
  }
  std::string text = MethodNames[static_cast<int>(method)];
  if (device != DirectInputObject) text.append("[").append(std::to_string(device)).append("]");
  calls.push_back({method, arguments.empty() ? text : text + " " + arguments});
  return result;
}

HRESULT FakeInput::Unexpected(const char* name) {
  unexpected.push_back(name);
  std::fprintf(stderr, "fake DirectInput: unexpected call of %s\n", name);
  return E_NOTIMPL;
}

HRESULT WINAPI Create(HINSTANCE, DWORD version, REFIID iid, void** out, IUnknown* outer) {
  const bool asked = version == 0x0800 && IsEqualGUID(iid, IID_IDirectInput8W) && !outer;
  const HRESULT result = Input.Answer(Method::Create, DirectInputObject, asked ? DI_OK : E_INVALIDARG);
  *out = SUCCEEDED(result) ? static_cast<IDirectInput8W*>(new FakeDirectInput) : nullptr;
  return result;
}

}  // namespace fake_dinput
