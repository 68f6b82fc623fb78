#include "fake_direct_input.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace fake_dinput {

namespace {

FakeInputSystem* CurrentSystem = nullptr;

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(buffer, sizeof(buffer), format, arguments);
  va_end(arguments);
  return buffer;
}

std::string GuidText(const GUID& guid) {
  return Format("{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(guid.Data1),
                guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

std::string IidText(REFIID iid) {
  if (IsEqualGUID(iid, IID_IDirectInput8W)) return "IID_IDirectInput8W";
  if (IsEqualGUID(iid, IID_IDirectInput8A)) return "IID_IDirectInput8A";
  if (IsEqualGUID(iid, IID_IUnknown)) return "IID_IUnknown";
  if (IsEqualGUID(iid, IID_IDirectInputDevice8W)) return "IID_IDirectInputDevice8W";
  return GuidText(iid);
}

std::string PointerText(const void* pointer) { return pointer ? HandleText(pointer) : "null"; }

// Whether a data format is the predefined c_dfDIJoystick2, compared by value
// (the program's copy lives in the program, ours in this module).
bool IsJoystick2Format(const DIDATAFORMAT& format) {
  const DIDATAFORMAT& expected = c_dfDIJoystick2;
  if (format.dwSize != expected.dwSize || format.dwObjSize != expected.dwObjSize ||
      format.dwFlags != expected.dwFlags || format.dwDataSize != expected.dwDataSize ||
      format.dwNumObjs != expected.dwNumObjs || !format.rgodf)
    return false;
  for (DWORD i = 0; i < expected.dwNumObjs; ++i) {
    const DIOBJECTDATAFORMAT& a = format.rgodf[i];
    const DIOBJECTDATAFORMAT& b = expected.rgodf[i];
    if (a.dwOfs != b.dwOfs || a.dwType != b.dwType || a.dwFlags != b.dwFlags) return false;
    if ((a.pguid == nullptr) != (b.pguid == nullptr)) return false;
    if (a.pguid && !IsEqualGUID(*a.pguid, *b.pguid)) return false;
  }
  return true;
}

// DIPROP_* are small numbers passed as the address of a GUID.
UINT_PTR PropertyNumber(REFGUID property) { return reinterpret_cast<UINT_PTR>(&property); }

GUID NumberedGuid(DWORD base, int id) {
  return GUID{base + static_cast<DWORD>(id), 0xFA4E, 0x11D0, {0x80, 0x00, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
}

struct ObjectSpec {
  const GUID* type;
  DWORD offset;
  DWORD dwType;
  const wchar_t* name;
};

std::vector<ObjectSpec> DeviceObjects(const DeviceSpec& spec) {
  static const GUID* const axisGuids[] = {&GUID_XAxis, &GUID_YAxis, &GUID_ZAxis, &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis};
  static const DWORD axisOffsets[] = {DIJOFS_X, DIJOFS_Y, DIJOFS_Z, DIJOFS_RX, DIJOFS_RY, DIJOFS_RZ};
  static const wchar_t* const axisNames[] = {L"X Axis", L"Y Axis", L"Z Axis", L"X Rotation", L"Y Rotation", L"Z Rotation"};
  std::vector<ObjectSpec> objects;
  for (int i = 0; i < std::min(spec.axes, 6); ++i)
    objects.push_back({axisGuids[i], axisOffsets[i], static_cast<DWORD>(DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(i)), axisNames[i]});
  for (int i = 0; i < std::min(spec.buttons, 128); ++i)
    objects.push_back({&GUID_Button, static_cast<DWORD>(DIJOFS_BUTTON(i)),
                       static_cast<DWORD>(DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(i)), L"Button"});
  for (int i = 0; i < std::min(spec.hats, 4); ++i)
    objects.push_back({&GUID_POV, static_cast<DWORD>(DIJOFS_POV(i)), static_cast<DWORD>(DIDFT_POV | DIDFT_MAKEINSTANCE(i)), L"Hat"});
  return objects;
}

// EnumObjects' flags select object types; DIDFT_ALL (0) selects all.
bool ObjectMatches(DWORD objectType, DWORD flags) {
  const DWORD wanted = flags & 0xFF;
  return wanted == DIDFT_ALL || (objectType & wanted & 0xFF) != 0;
}

void CopyName(wchar_t (&target)[MAX_PATH], const std::wstring& name) {
  const size_t count = std::min<size_t>(name.size(), MAX_PATH - 1);
  std::copy_n(name.c_str(), count, target);
  target[count] = L'\0';
}

}  // namespace

// ---------------------------------------------------------------------------
// The device interface.

class FakeDevice final : public IDirectInputDevice8W {
 public:
  FakeDevice(FakeInputSystem* system, int id, int generation) : system_(system), id_(id), generation_(generation) {
    system_->Track(this, true);
  }

  void Orphan() { system_ = nullptr; }
  void LoseForegroundAcquisition() {
    if (acquired_ && (cooperativeFlags_ & DISCL_FOREGROUND)) acquired_ = false;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IDirectInputDevice8W))
      return Log(Method::QueryInterface, "iid=" + IidText(iid), E_NOINTERFACE);
    ++refs_;
    *out = static_cast<IDirectInputDevice8W*>(this);
    return Log(Method::QueryInterface, "iid=" + IidText(iid), S_OK);
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++refs_;
    Log(Method::AddRef, Format("refs=%lu", refs_), S_OK);
    return refs_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --refs_;
    Log(Method::Release, Format("refs=%lu", refs), S_OK);
    if (refs == 0) {
      if (system_) system_->Track(this, false);
      delete this;
    }
    return refs;
  }

  // What the launcher uses.
  HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS caps) override {
    const std::string arguments = caps ? Format("size=%lu", caps->dwSize) : "caps=null";
    if (HRESULT scripted; Scripted(Method::GetCapabilities, &scripted))
      return Log(Method::GetCapabilities, arguments, scripted);
    if (!caps || (caps->dwSize != sizeof(DIDEVCAPS) && caps->dwSize != sizeof(DIDEVCAPS_DX3)))
      return Log(Method::GetCapabilities, arguments, DIERR_INVALIDPARAM);
    const DeviceSpec& spec = Spec();
    caps->dwFlags = DIDC_ATTACHED | DIDC_EMULATED;
    caps->dwDevType = DI8DEVTYPE_GAMEPAD | (DI8DEVTYPEGAMEPAD_STANDARD << 8) | DIDEVTYPE_HID;
    caps->dwAxes = std::min(spec.axes, 6);
    caps->dwButtons = std::min(spec.buttons, 128);
    caps->dwPOVs = std::min(spec.hats, 4);
    return Log(Method::GetCapabilities, arguments, DI_OK);
  }

  HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKW callback, LPVOID ref, DWORD flags) override {
    const std::string arguments = Format("flags=0x%lx ref=%s", flags, PointerText(ref).c_str());
    if (HRESULT scripted; Scripted(Method::EnumObjects, &scripted)) return Log(Method::EnumObjects, arguments, scripted);
    if (!callback) return Log(Method::EnumObjects, arguments, DIERR_INVALIDPARAM);
    Log(Method::EnumObjects, arguments, DI_OK);
    for (const ObjectSpec& object : DeviceObjects(Spec())) {
      if (!ObjectMatches(object.dwType, flags)) continue;
      DIDEVICEOBJECTINSTANCEW instance{};
      instance.dwSize = sizeof(instance);
      instance.guidType = *object.type;
      instance.dwOfs = object.offset;
      instance.dwType = object.dwType;
      wcsncpy(instance.tszName, object.name, MAX_PATH - 1);
      if (callback(&instance, ref) == DIENUM_STOP) break;
    }
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) override {
    std::string arguments;
    const bool isRange = PropertyNumber(property) == PropertyNumber(DIPROP_RANGE);
    if (!header) {
      arguments = "header=null";
    } else if (isRange && header->dwSize >= sizeof(DIPROPRANGE)) {
      const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
      arguments = Format("property=RANGE size=%lu header=%lu object=0x%lx how=%s min=%ld max=%ld", header->dwSize,
                         header->dwHeaderSize, header->dwObj, HowText(header->dwHow).c_str(), range->lMin, range->lMax);
    } else {
      arguments = Format("property=%lu size=%lu header=%lu object=0x%lx how=%s",
                         static_cast<unsigned long>(PropertyNumber(property)), header->dwSize, header->dwHeaderSize,
                         header->dwObj, HowText(header->dwHow).c_str());
    }
    if (HRESULT scripted; Scripted(Method::SetProperty, &scripted)) return Log(Method::SetProperty, arguments, scripted);
    if (!header || header->dwHeaderSize != sizeof(DIPROPHEADER))
      return Log(Method::SetProperty, arguments, DIERR_INVALIDPARAM);
    if (acquired_) return Log(Method::SetProperty, arguments, DIERR_ACQUIRED);
    if (isRange) {
      if (header->dwSize != sizeof(DIPROPRANGE)) return Log(Method::SetProperty, arguments, DIERR_INVALIDPARAM);
      if (header->dwHow != DIPH_BYID || !IsAxis(header->dwObj))
        return Log(Method::SetProperty, arguments, DIERR_OBJECTNOTFOUND);
    }
    return Log(Method::SetProperty, arguments, DI_OK);
  }

  HRESULT STDMETHODCALLTYPE Acquire() override {
    if (HRESULT scripted; Scripted(Method::Acquire, &scripted)) return Log(Method::Acquire, "", scripted);
    if (Lost()) return Log(Method::Acquire, "", DIERR_UNPLUGGED);
    if (!formatSet_) return Log(Method::Acquire, "", DIERR_INVALIDPARAM);
    if (acquired_) return Log(Method::Acquire, "", S_FALSE);
    if ((cooperativeFlags_ & DISCL_FOREGROUND) && !system_->inForeground_)
      return Log(Method::Acquire, "", DIERR_OTHERAPPHASPRIO);
    acquired_ = true;
    return Log(Method::Acquire, "", DI_OK);
  }

  HRESULT STDMETHODCALLTYPE Unacquire() override {
    if (HRESULT scripted; Scripted(Method::Unacquire, &scripted)) return Log(Method::Unacquire, "", scripted);
    if (!acquired_) return Log(Method::Unacquire, "", DI_NOEFFECT);
    acquired_ = false;
    return Log(Method::Unacquire, "", DI_OK);
  }

  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
    const std::string arguments = Format("size=%lu", size);
    if (HRESULT scripted; Scripted(Method::GetDeviceState, &scripted))
      return Log(Method::GetDeviceState, arguments, scripted);
    if (!data) return Log(Method::GetDeviceState, arguments, DIERR_INVALIDPARAM);
    if (!acquired_) return Log(Method::GetDeviceState, arguments, DIERR_NOTACQUIRED);
    if (Lost()) {
      acquired_ = false;
      return Log(Method::GetDeviceState, arguments, DIERR_INPUTLOST);
    }
    if (size != formatDataSize_) return Log(Method::GetDeviceState, arguments, DIERR_INVALIDPARAM);
    const DIJOYSTATE2 state = system_->NextState(id_);
    std::memcpy(data, &state, std::min<size_t>(size, sizeof(state)));
    return Log(Method::GetDeviceState, arguments, DI_OK);
  }

  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override {
    const std::string arguments = !format                    ? "format=null"
                                  : IsJoystick2Format(*format) ? "format=c_dfDIJoystick2"
                                                               : Format("format=other datasize=%lu", format->dwDataSize);
    if (HRESULT scripted; Scripted(Method::SetDataFormat, &scripted))
      return Log(Method::SetDataFormat, arguments, scripted);
    if (!format) return Log(Method::SetDataFormat, arguments, DIERR_INVALIDPARAM);
    if (acquired_) return Log(Method::SetDataFormat, arguments, DIERR_ACQUIRED);
    formatSet_ = true;
    formatDataSize_ = format->dwDataSize;
    return Log(Method::SetDataFormat, arguments, DI_OK);
  }

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
    const std::string arguments = Format("window=%s flags=0x%lx", HandleText(window).c_str(), flags);
    if (HRESULT scripted; Scripted(Method::SetCooperativeLevel, &scripted))
      return Log(Method::SetCooperativeLevel, arguments, scripted);
    if (acquired_) return Log(Method::SetCooperativeLevel, arguments, DIERR_ACQUIRED);
    // DirectInput wants the application's top-level window.
    if (!IsWindow(window) || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
      return Log(Method::SetCooperativeLevel, arguments, E_HANDLE);
    cooperativeFlags_ = flags;
    return Log(Method::SetCooperativeLevel, arguments, DI_OK);
  }

  HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEW info) override {
    const std::string arguments = info ? Format("size=%lu", info->dwSize) : "info=null";
    if (HRESULT scripted; Scripted(Method::GetDeviceInfo, &scripted))
      return Log(Method::GetDeviceInfo, arguments, scripted);
    if (!info || (info->dwSize != sizeof(DIDEVICEINSTANCEW) && info->dwSize != sizeof(DIDEVICEINSTANCE_DX3W)))
      return Log(Method::GetDeviceInfo, arguments, DIERR_INVALIDPARAM);
    system_->FillInstance(id_, info);
    return Log(Method::GetDeviceInfo, arguments, DI_OK);
  }

  // Nothing the launcher should call.
  HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override { return Unexpected("GetProperty"); }
  HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
    return Unexpected("GetDeviceData");
  }
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override { return Unexpected("SetEventNotification"); }
  HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEW, DWORD, DWORD) override {
    return Unexpected("GetObjectInfo");
  }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return Unexpected("RunControlPanel"); }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return Unexpected("Initialize"); }
  HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override {
    return Unexpected("CreateEffect");
  }
  HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKW, LPVOID, DWORD) override {
    return Unexpected("EnumEffects");
  }
  HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOW, REFGUID) override { return Unexpected("GetEffectInfo"); }
  HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override { return Unexpected("GetForceFeedbackState"); }
  HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override { return Unexpected("SendForceFeedbackCommand"); }
  HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override {
    return Unexpected("EnumCreatedEffectObjects");
  }
  HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return Unexpected("Escape"); }
  HRESULT STDMETHODCALLTYPE Poll() override { return Unexpected("Poll"); }
  HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
    return Unexpected("SendDeviceData");
  }
  HRESULT STDMETHODCALLTYPE EnumEffectsInFile(LPCWSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override {
    return Unexpected("EnumEffectsInFile");
  }
  HRESULT STDMETHODCALLTYPE WriteEffectToFile(LPCWSTR, DWORD, LPDIFILEEFFECT, DWORD) override {
    return Unexpected("WriteEffectToFile");
  }
  HRESULT STDMETHODCALLTYPE BuildActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override {
    return Unexpected("BuildActionMap");
  }
  HRESULT STDMETHODCALLTYPE SetActionMap(LPDIACTIONFORMATW, LPCWSTR, DWORD) override {
    return Unexpected("SetActionMap");
  }
  HRESULT STDMETHODCALLTYPE GetImageInfo(LPDIDEVICEIMAGEINFOHEADERW) override { return Unexpected("GetImageInfo"); }

 private:
  ~FakeDevice() = default;

  static std::string HowText(DWORD how) {
    switch (how) {
      case DIPH_DEVICE: return "DEVICE";
      case DIPH_BYOFFSET: return "BYOFFSET";
      case DIPH_BYID: return "BYID";
      default: return Format("%lu", how);
    }
  }

  const DeviceSpec& Spec() const { return system_->devices_[id_].spec; }
  bool Lost() const {
    const FakeInputSystem::Device& device = system_->devices_[id_];
    return !device.plugged || device.generation != generation_;
  }
  bool IsAxis(DWORD objectType) const {
    for (const ObjectSpec& object : DeviceObjects(Spec()))
      if (object.dwType == objectType) return (objectType & DIDFT_AXIS) != 0;
    return false;
  }
  bool Scripted(Method method, HRESULT* result) {
    if (!system_) {
      *result = E_UNEXPECTED;
      return true;
    }
    return system_->NextScripted(method, id_, result) && *result != S_OK;
  }
  HRESULT Log(Method method, std::string arguments, HRESULT result) {
    return system_ ? system_->Log(method, id_, std::move(arguments), result) : result;
  }
  HRESULT Unexpected(const char* name) { return system_ ? system_->LogUnexpected(name, id_) : E_NOTIMPL; }

  FakeInputSystem* system_;
  const int id_;
  const int generation_;
  ULONG refs_ = 1;
  bool acquired_ = false;
  bool formatSet_ = false;
  DWORD formatDataSize_ = 0;
  DWORD cooperativeFlags_ = 0;
};

// ---------------------------------------------------------------------------
// The DirectInput object.

class FakeDirectInput final : public IDirectInput8W {
 public:
  explicit FakeDirectInput(FakeInputSystem* system) : system_(system) { system_->Track(this, true); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IDirectInput8W))
      return Log(Method::QueryInterface, "iid=" + IidText(iid), E_NOINTERFACE);
    ++refs_;
    *out = static_cast<IDirectInput8W*>(this);
    return Log(Method::QueryInterface, "iid=" + IidText(iid), S_OK);
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++refs_;
    Log(Method::AddRef, Format("refs=%lu", refs_), S_OK);
    return refs_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --refs_;
    Log(Method::Release, Format("refs=%lu", refs), S_OK);
    if (refs == 0) {
      if (system_) system_->Track(this, false);
      delete this;
    }
    return refs;
  }

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8W* out, LPUNKNOWN outer) override {
    if (!system_) return E_UNEXPECTED;
    int id = DirectInputObject;
    const FakeInputSystem::Device* device = system_->FindDevice(instance, &id);
    const std::string arguments = Format("instance=%s outer=%s", GuidText(instance).c_str(), PointerText(outer).c_str());
    if (!out) return system_->Log(Method::CreateDevice, id, arguments, E_POINTER);
    *out = nullptr;
    if (HRESULT scripted; system_->NextScripted(Method::CreateDevice, id, &scripted) && scripted != S_OK)
      return system_->Log(Method::CreateDevice, id, arguments, scripted);
    if (outer) return system_->Log(Method::CreateDevice, id, arguments, CLASS_E_NOAGGREGATION);
    if (!device || !device->plugged) return system_->Log(Method::CreateDevice, id, arguments, DIERR_DEVICENOTREG);
    *out = new FakeDevice(system_, id, device->generation);
    return system_->Log(Method::CreateDevice, id, arguments, DI_OK);
  }

  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD deviceClass, LPDIENUMDEVICESCALLBACKW callback, LPVOID ref,
                                        DWORD flags) override {
    if (!system_) return E_UNEXPECTED;
    const std::string arguments = Format("class=%lu flags=0x%lx ref=%s", deviceClass, flags, PointerText(ref).c_str());
    if (HRESULT scripted; system_->NextScripted(Method::EnumDevices, DirectInputObject, &scripted) && scripted != S_OK)
      return Log(Method::EnumDevices, arguments, scripted);
    if (!callback) return Log(Method::EnumDevices, arguments, DIERR_INVALIDPARAM);
    Log(Method::EnumDevices, arguments, DI_OK);
    // Only game controllers exist here.
    if (deviceClass != DI8DEVCLASS_ALL && deviceClass != DI8DEVCLASS_GAMECTRL) return DI_OK;
    for (const int id : system_->AttachedInOrder()) {
      DIDEVICEINSTANCEW instance{};
      instance.dwSize = sizeof(instance);
      system_->FillInstance(id, &instance);
      if (callback(&instance, ref) == DIENUM_STOP) break;
    }
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID) override { return Unexpected("GetDeviceStatus"); }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return Unexpected("RunControlPanel"); }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override { return Unexpected("Initialize"); }
  HRESULT STDMETHODCALLTYPE FindDevice(REFGUID, LPCWSTR, LPGUID) override { return Unexpected("FindDevice"); }
  HRESULT STDMETHODCALLTYPE EnumDevicesBySemantics(LPCWSTR, LPDIACTIONFORMATW, LPDIENUMDEVICESBYSEMANTICSCBW, LPVOID,
                                                   DWORD) override {
    return Unexpected("EnumDevicesBySemantics");
  }
  HRESULT STDMETHODCALLTYPE ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSW, DWORD,
                                             LPVOID) override {
    return Unexpected("ConfigureDevices");
  }

  void Orphan() { system_ = nullptr; }

 private:
  ~FakeDirectInput() = default;

  HRESULT Log(Method method, std::string arguments, HRESULT result) {
    return system_ ? system_->Log(method, DirectInputObject, std::move(arguments), result) : result;
  }
  HRESULT Unexpected(const char* name) {
    return system_ ? system_->LogUnexpected(name, DirectInputObject) : E_NOTIMPL;
  }

  FakeInputSystem* system_;
  ULONG refs_ = 1;
};

// ---------------------------------------------------------------------------
// The system.

const char* MethodName(Method method) {
  switch (method) {
    case Method::DirectInput8Create: return "DirectInput8Create";
    case Method::EnumDevices: return "EnumDevices";
    case Method::CreateDevice: return "CreateDevice";
    case Method::GetCapabilities: return "GetCapabilities";
    case Method::SetDataFormat: return "SetDataFormat";
    case Method::SetCooperativeLevel: return "SetCooperativeLevel";
    case Method::EnumObjects: return "EnumObjects";
    case Method::SetProperty: return "SetProperty";
    case Method::GetDeviceInfo: return "GetDeviceInfo";
    case Method::GetDeviceState: return "GetDeviceState";
    case Method::Acquire: return "Acquire";
    case Method::Unacquire: return "Unacquire";
    case Method::QueryInterface: return "QueryInterface";
    case Method::AddRef: return "AddRef";
    case Method::Release: return "Release";
    case Method::Unexpected: return "Unexpected";
  }
  return "?";
}

std::string HandleText(const void* handle) {
  return Format("0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
}

DIJOYSTATE2 CentredState() {
  DIJOYSTATE2 state{};
  for (DWORD& hat : state.rgdwPOV) hat = 0xFFFFFFFF;
  return state;
}

DIJOYSTATE2 StateWith(std::initializer_list<int> buttons, DWORD hat) {
  DIJOYSTATE2 state = CentredState();
  for (const int button : buttons) state.rgbButtons[button - 1] = 0x80;
  state.rgdwPOV[0] = hat;
  return state;
}

FakeInputSystem::~FakeInputSystem() {
  Reset();
  if (CurrentSystem == this) CurrentSystem = nullptr;
}

void FakeInputSystem::Reset() {
  for (FakeDevice* device : deviceObjects_) device->Orphan();
  for (FakeDirectInput* directInput : directInputObjects_) directInput->Orphan();
  deviceObjects_.clear();
  directInputObjects_.clear();
  liveObjects_ = 0;
  devices_.clear();
  scripts_.clear();
  calls_.clear();
  unexpected_.clear();
  plugCounter_ = 0;
  inForeground_ = true;
}

FakeInputSystem* FakeInputSystem::Current() { return CurrentSystem; }
void FakeInputSystem::MakeCurrent() { CurrentSystem = this; }

HRESULT WINAPI FakeInputSystem::DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, void** out,
                                                   IUnknown* outer) {
  FakeInputSystem* const system = CurrentSystem;
  if (out) *out = nullptr;
  if (!system) return E_FAIL;
  const std::string arguments = Format("instance=%s version=0x%04lx iid=%s outer=%s", PointerText(instance).c_str(),
                                       version, IidText(iid).c_str(), PointerText(outer).c_str());
  if (HRESULT scripted; system->NextScripted(Method::DirectInput8Create, DirectInputObject, &scripted) &&
                        scripted != S_OK)
    return system->Log(Method::DirectInput8Create, DirectInputObject, arguments, scripted);
  if (!out) return system->Log(Method::DirectInput8Create, DirectInputObject, arguments, E_POINTER);
  if (version != 0x0800) return system->Log(Method::DirectInput8Create, DirectInputObject, arguments, DIERR_BETADIRECTINPUTVERSION);
  if (!IsEqualGUID(iid, IID_IDirectInput8W))
    return system->Log(Method::DirectInput8Create, DirectInputObject, arguments, E_NOINTERFACE);
  if (outer) return system->Log(Method::DirectInput8Create, DirectInputObject, arguments, CLASS_E_NOAGGREGATION);
  *out = static_cast<IDirectInput8W*>(new FakeDirectInput(system));
  return system->Log(Method::DirectInput8Create, DirectInputObject, arguments, DI_OK);
}

int FakeInputSystem::Plug(const DeviceSpec& spec) {
  const int id = static_cast<int>(devices_.size());
  Device device;
  device.spec = spec;
  if (device.spec.instanceName.empty()) device.spec.instanceName = spec.productName;
  device.instanceGuid = NumberedGuid(0x1A000000, id);
  device.productGuid = NumberedGuid(0x2B000000, id);
  device.plugOrder = ++plugCounter_;
  device.states = {CentredState()};
  devices_.push_back(std::move(device));
  return id;
}

void FakeInputSystem::Unplug(int device) { devices_.at(device).plugged = false; }

void FakeInputSystem::Replug(int device) {
  Device& entry = devices_.at(device);
  entry.plugged = true;
  ++entry.generation;
  entry.plugOrder = ++plugCounter_;
}

void FakeInputSystem::SetStates(int device, std::vector<DIJOYSTATE2> states) {
  Device& entry = devices_.at(device);
  entry.states = std::move(states);
  if (entry.states.empty()) entry.states.push_back(CentredState());
  entry.nextState = 0;
}

void FakeInputSystem::ScriptResults(Method method, int device, std::vector<HRESULT> results) {
  Script& script = scripts_[{method, device}];
  script.results.assign(results.begin(), results.end());
  script.forever = false;
}

void FakeInputSystem::ScriptResultForever(Method method, int device, HRESULT result) {
  Script& script = scripts_[{method, device}];
  script.results.assign(1, result);
  script.forever = true;
}

void FakeInputSystem::SetForeground(bool inForeground) {
  inForeground_ = inForeground;
  if (!inForeground)
    for (FakeDevice* device : deviceObjects_) device->LoseForegroundAcquisition();
}

std::vector<LoggedCall> FakeInputSystem::CallsTo(Method method) const {
  std::vector<LoggedCall> found;
  for (const LoggedCall& call : calls_)
    if (call.method == method) found.push_back(call);
  return found;
}

int FakeInputSystem::CountCalls(Method method) const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                        [method](const LoggedCall& call) { return call.method == method; }));
}

bool FakeInputSystem::NextScripted(Method method, int device, HRESULT* result) {
  const auto found = scripts_.find({method, device});
  if (found == scripts_.end() || found->second.results.empty()) return false;
  Script& script = found->second;
  *result = script.results.front();
  if (!script.forever) script.results.pop_front();
  return true;
}

HRESULT FakeInputSystem::Log(Method method, int device, std::string arguments, HRESULT result) {
  calls_.push_back({method, device, DeviceName(device), std::move(arguments), result});
  return result;
}

HRESULT FakeInputSystem::LogUnexpected(const char* name, int device) {
  std::string text = name;
  if (device != DirectInputObject) text += Format(" on device %d", device);
  unexpected_.push_back(text);
  std::fprintf(stderr, "fake DirectInput: unexpected call of %s\n", text.c_str());
  std::fflush(stderr);
  OutputDebugStringA(("fake DirectInput: unexpected call of " + text + "\n").c_str());
  return Log(Method::Unexpected, device, name, E_NOTIMPL);
}

const FakeInputSystem::Device* FakeInputSystem::FindDevice(const GUID& instance, int* id) const {
  for (size_t i = 0; i < devices_.size(); ++i) {
    if (IsEqualGUID(devices_[i].instanceGuid, instance)) {
      *id = static_cast<int>(i);
      return &devices_[i];
    }
  }
  return nullptr;
}

std::wstring FakeInputSystem::DeviceName(int device) const {
  if (device < 0 || device >= static_cast<int>(devices_.size())) return L"";
  return devices_[device].spec.productName;
}

DIJOYSTATE2 FakeInputSystem::NextState(int device) {
  Device& entry = devices_.at(device);
  const DIJOYSTATE2 state = entry.states[entry.nextState];
  if (entry.nextState + 1 < entry.states.size()) ++entry.nextState;
  return state;
}

std::vector<int> FakeInputSystem::AttachedInOrder() const {
  std::vector<int> ids;
  for (size_t i = 0; i < devices_.size(); ++i)
    if (devices_[i].plugged) ids.push_back(static_cast<int>(i));
  std::sort(ids.begin(), ids.end(), [this](int a, int b) { return devices_[a].plugOrder < devices_[b].plugOrder; });
  return ids;
}

void FakeInputSystem::FillInstance(int device, DIDEVICEINSTANCEW* instance) const {
  const Device& entry = devices_.at(device);
  const DWORD size = instance->dwSize;
  const bool full = size == sizeof(DIDEVICEINSTANCEW);
  std::memset(instance, 0, size);
  instance->dwSize = size;
  instance->guidInstance = entry.instanceGuid;
  instance->guidProduct = entry.productGuid;
  instance->dwDevType = DI8DEVTYPE_GAMEPAD | (DI8DEVTYPEGAMEPAD_STANDARD << 8) | DIDEVTYPE_HID;
  CopyName(instance->tszInstanceName, entry.spec.instanceName);
  CopyName(instance->tszProductName, entry.spec.productName);
  if (full) {
    instance->wUsagePage = 0x01;  // generic desktop
    instance->wUsage = 0x05;      // game pad
  }
}

void FakeInputSystem::Track(FakeDevice* device, bool alive) {
  if (alive) {
    deviceObjects_.push_back(device);
    ++liveObjects_;
  } else {
    deviceObjects_.erase(std::remove(deviceObjects_.begin(), deviceObjects_.end(), device), deviceObjects_.end());
    --liveObjects_;
  }
}

void FakeInputSystem::Track(FakeDirectInput* directInput, bool alive) {
  if (alive) {
    directInputObjects_.push_back(directInput);
    ++liveObjects_;
  } else {
    directInputObjects_.erase(std::remove(directInputObjects_.begin(), directInputObjects_.end(), directInput),
                              directInputObjects_.end());
    --liveObjects_;
  }
}

}  // namespace fake_dinput
