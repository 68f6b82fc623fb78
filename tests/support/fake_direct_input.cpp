#include "fake_direct_input.h"

#include <cstring>
#include <cwchar>

namespace fake_dinput {

namespace {

GUID InstanceGuid(int device) { return {0x1A000000u + static_cast<DWORD>(device), 0, 0, {}}; }

// What the launcher has no business calling.
#define UNEXPECTED(...) HRESULT WINAPI __VA_ARGS__ override { return Input.Unexpected(__func__); }

// The IUnknown both interfaces share: the object lives while referenced.
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
    const HRESULT result = Answer(Method::SetDataFormat, acquired_ ? DIERR_ACQUIRED : DI_OK);
    if (result == DI_OK) dataSize_ = format->dwDataSize;
    return result;
  }
  HRESULT WINAPI SetCooperativeLevel(HWND window, DWORD flags) override {
    // DirectInput wants the application's top-level window.
    const bool topLevel = IsWindow(window) && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
    const HRESULT usual = acquired_ ? DIERR_ACQUIRED : topLevel ? DI_OK : E_HANDLE;
    const HRESULT result = Answer(Method::SetCooperativeLevel, usual);
    if (result == DI_OK) flags_ = flags;
    return result;
  }
  // Six absolute axes: X, Y, Z, RX, RY, RZ.
  HRESULT WINAPI EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, LPVOID ref, DWORD flags) override {
    const HRESULT result = Answer(Method::EnumObjects, DI_OK);
    for (DWORD axis = 0; result == DI_OK && axis < 6 && (flags & DIDFT_AXIS); ++axis) {
      DIDEVICEOBJECTINSTANCEW object{};
      object.dwSize = sizeof(object);
      object.dwType = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis);
      if (callback(&object, ref) == DIENUM_STOP) break;
    }
    return result;
  }
  HRESULT WINAPI SetProperty(REFGUID property, LPCDIPROPHEADER header) override {
    const bool wellFormed = &property == &DIPROP_RANGE && header->dwHeaderSize == sizeof(DIPROPHEADER) &&
                            header->dwSize == sizeof(DIPROPRANGE);
    const bool axis = header->dwHow == DIPH_BYID && (header->dwObj & DIDFT_ABSAXIS);
    return Answer(Method::SetProperty,
                  acquired_ ? DIERR_ACQUIRED : !wellFormed ? DIERR_INVALIDPARAM : axis ? DI_OK : DIERR_OBJECTNOTFOUND);
  }
  HRESULT WINAPI GetDeviceInfo(LPDIDEVICEINSTANCEW info) override {
    const HRESULT result = Answer(Method::GetDeviceInfo, info->dwSize == sizeof(*info) ? DI_OK : DIERR_INVALIDPARAM);
    if (result == DI_OK) wcsncpy(info->tszProductName, Input.devices[device_].productName.c_str(), MAX_PATH - 1);
    return result;
  }
  HRESULT WINAPI GetDeviceState(DWORD size, LPVOID data) override {
    const bool lost = acquired_ && !Input.devices[device_].plugged;
    const HRESULT usual = !acquired_           ? DIERR_NOTACQUIRED
                          : lost               ? DIERR_INPUTLOST
                          : size != dataSize_  ? DIERR_INVALIDPARAM
                                               : DI_OK;
    acquired_ = acquired_ && !lost;
    const HRESULT result = Answer(Method::GetDeviceState, usual);
    const Device& device = Input.devices[device_];
    if (result == DI_OK) std::memcpy(data, device.polled ? &polledState_ : &device.state, sizeof(DIJOYSTATE2));
    return result;
  }
  HRESULT WINAPI Poll() override {
    const bool polled = Input.devices[device_].polled;
    const HRESULT result = Answer(Method::Poll, !acquired_ ? DIERR_NOTACQUIRED : polled ? DI_OK : DI_NOEFFECT);
    if (result == DI_OK) polledState_ = Input.devices[device_].state;
    return result;
  }
  HRESULT WINAPI Acquire() override {
    const bool background = (flags_ & DISCL_FOREGROUND) && !Input.foreground;
    const HRESULT result = Answer(Method::Acquire, !Input.devices[device_].plugged ? DIERR_UNPLUGGED
                                                   : dataSize_ == 0                ? DIERR_INVALIDPARAM
                                                   : acquired_                     ? S_FALSE
                                                   : background                    ? DIERR_OTHERAPPHASPRIO
                                                                                   : DI_OK);
    acquired_ = acquired_ || result == DI_OK;
    return result;
  }
  HRESULT WINAPI Unacquire() override {
    const HRESULT result = Answer(Method::Unacquire, acquired_ ? DI_OK : DI_NOEFFECT);
    acquired_ = acquired_ && FAILED(result);
    return result;
  }

  UNEXPECTED(GetProperty(REFGUID, LPDIPROPHEADER))
  UNEXPECTED(GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD)) UNEXPECTED(SetEventNotification(HANDLE))
  UNEXPECTED(GetObjectInfo(LPDIDEVICEOBJECTINSTANCEW, DWORD, DWORD)) UNEXPECTED(RunControlPanel(HWND, DWORD))
  UNEXPECTED(Initialize(HINSTANCE, DWORD, REFGUID))
  UNEXPECTED(CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN))
  UNEXPECTED(EnumEffects(LPDIENUMEFFECTSCALLBACKW, LPVOID, DWORD)) UNEXPECTED(GetEffectInfo(LPDIEFFECTINFOW, REFGUID))
  UNEXPECTED(GetForceFeedbackState(LPDWORD)) UNEXPECTED(SendForceFeedbackCommand(DWORD))
  UNEXPECTED(EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD))
  UNEXPECTED(Escape(LPDIEFFESCAPE)) UNEXPECTED(SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD))
  UNEXPECTED(EnumEffectsInFile(LPCWSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD))
  UNEXPECTED(WriteEffectToFile(LPCWSTR, DWORD, LPDIFILEEFFECT, DWORD))
  UNEXPECTED(BuildActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD))
  UNEXPECTED(SetActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD)) UNEXPECTED(GetImageInfo(LPDIDEVICEIMAGEINFOHEADERW))

 private:
  HRESULT Answer(Method method, HRESULT usual) { return Input.Answer(method, device_, usual); }

  bool acquired_ = false;
  DIJOYSTATE2 polledState_ = FakeInput::Held({});
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

  UNEXPECTED(GetDeviceStatus(REFGUID)) UNEXPECTED(RunControlPanel(HWND, DWORD)) UNEXPECTED(Initialize(HINSTANCE, DWORD))
  UNEXPECTED(FindDevice(REFGUID, LPCWSTR, LPGUID))
  UNEXPECTED(EnumDevicesBySemantics(LPCWSTR, LPDIACTIONFORMATW, LPDIENUMDEVICESBYSEMANTICSCBW, LPVOID, DWORD))
  UNEXPECTED(ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSW, DWORD, LPVOID))
};

}  // namespace

HRESULT WINAPI Create(HINSTANCE, DWORD version, REFIID iid, void** out, IUnknown* outer) {
  const bool asked = version == 0x0800 && IsEqualGUID(iid, IID_IDirectInput8W) && !outer;
  const HRESULT result = Input.Answer(Method::Create, DirectInputObject, asked ? DI_OK : E_INVALIDARG);
  *out = SUCCEEDED(result) ? static_cast<IDirectInput8W*>(new FakeDirectInput) : nullptr;
  return result;
}

}  // namespace fake_dinput
