#include "gamepad/controller_input.h"

#include <dbt.h>

#include <string_view>

#include "gamepad/actions.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "platform/instance_handle.h"

// GUID_DEVINTERFACE_HID is defined by no mingw library: define it here.
#include <initguid.h>
#include <hidclass.h>

namespace {

// DirectInput checks these sizes; they are the same for 32 and 64 bits.
static_assert(sizeof(DIJOYSTATE2) == 272);
static_assert(sizeof(DIDEVCAPS) == 44);
static_assert(sizeof(DIDEVICEINSTANCEW) == 1100);
static_assert(sizeof(DIPROPRANGE) == 24 && sizeof(DIPROPHEADER) == 16);

constexpr DWORD CooperativeLevel = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
constexpr LONG AxisMinimum = -1000;
constexpr LONG AxisMaximum = 1000;
constexpr HRESULT InputLost = static_cast<HRESULT>(DIERR_INPUTLOST);
constexpr HRESULT Unplugged = static_cast<HRESULT>(DIERR_UNPLUGGED);

// A call that failed handed out no reference, whatever it left in its
// out-pointer: forget it without releasing it.
template <typename T>
void DropFailedOutPointer(platform::com_ptr<T>& pointer) {
  static_cast<void>(pointer.release());
}

void ClearProductName() { GamepadDialog.ControllerProductName[0] = L'\0'; }

void ReleaseControllerDevice() {
  GamepadDialog.ControllerDevice.reset();
  ClearProductName();
}

// Device callback of EnumDevices: keeps the first controller that can be
// created and whose capabilities can be read.
BOOL CALLBACK OpenFirstUsableController(const DIDEVICEINSTANCEW* instance, void*) {
  GamepadDialogState& state = GamepadDialog;
  if (state.ControllerDevice) return DIENUM_STOP;
  if (FAILED(state.DirectInput->CreateDevice(instance->guidInstance, state.ControllerDevice.put(), nullptr))) {
    DropFailedOutPointer(state.ControllerDevice);
    return DIENUM_CONTINUE;
  }
  DIDEVCAPS capabilities{};
  capabilities.dwSize = sizeof(capabilities);
  if (FAILED(state.ControllerDevice->GetCapabilities(&capabilities))) state.ControllerDevice.reset();
  // The next call stops the enumeration once a controller is kept.
  return DIENUM_CONTINUE;
}

// Axis callback of EnumObjects: ranges each axis -1000..1000. After a failure
// the remaining axes keep the driver's range.
BOOL CALLBACK SetAxisRange(const DIDEVICEOBJECTINSTANCEW* object, void*) {
  DIPROPRANGE range{};
  range.diph.dwSize = sizeof(DIPROPRANGE);
  range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  range.diph.dwObj = object->dwType;
  range.diph.dwHow = DIPH_BYID;
  range.lMin = AxisMinimum;
  range.lMax = AxisMaximum;
  const HRESULT result = GamepadDialog.ControllerDevice->SetProperty(DIPROP_RANGE, &range.diph);
  return SUCCEEDED(result) ? DIENUM_CONTINUE : DIENUM_STOP;
}

// Applies until ReleaseControllerInput: the dialog hears of every HID device
// that is attached. Without it only the safety searches find a controller.
void ListenForDeviceArrivals(HWND dialog) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = GUID_DEVINTERFACE_HID;
  GamepadDialog.DeviceNotification.reset(
      RegisterDeviceNotificationW(dialog, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
}

bool ButtonHeld(const DIJOYSTATE2& state, int index) { return (state.rgbButtons[index] & 0x80) != 0; }

// A centred hat reads -1; any other value, 0x0000FFFF included, is held.
bool HatHeld(const DIJOYSTATE2& state) { return static_cast<LONG>(state.rgdwPOV[0]) >= 0; }

// The name of the first input held down on the controller: button 1, the
// hat, then buttons 2 to 32. Axes are never taken. nullptr when none is held.
const wchar_t* PressedInputName(const DIJOYSTATE2& state) {
  if (ButtonHeld(state, 0)) return InputNames[0];
  if (HatHeld(state)) return InputNames[FirstHatInput];
  for (int i = 1; i < CapturedButtonCount; ++i)
    if (ButtonHeld(state, i)) return InputNames[i];
  return nullptr;
}

// The entry of ActionControls whose list has the keyboard focus, if any.
HWND FocusedActionList(HWND dialog) {
  const HWND focus = GetFocus();
  if (!focus) return nullptr;
  for (const ActionControl& action : ActionControls)
    if (GetDlgItem(dialog, action.controlId) == focus) return focus;
  return nullptr;
}

// The controller is not the one the lists were set for: switch the type list
// and all twenty lists to its type.
void FollowControllerChange(HWND dialog) {
  GamepadDialogState& state = GamepadDialog;
  if (std::wstring_view(state.RecordedProductName) == std::wstring_view(state.ControllerProductName)) return;
  lstrcpynW(state.RecordedProductName, state.ControllerProductName, MAX_PATH);
  state.RecordedProductType = DetectGamepadType(state.RecordedProductName);
  SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_SETCURSEL, static_cast<WPARAM>(state.RecordedProductType), 0);
  ApplyGamepadTypeDefaults(state.RecordedProductType, dialog);
}

}  // namespace

HRESULT InitControllerInput(HWND dialog) {
  GamepadDialogState& state = GamepadDialog;
  state.DeviceNotification.reset();
  state.ControllerDevice.reset();
  state.DirectInput.reset();
  ClearProductName();
  state.ControllerState = {};
  state.ControllerSearch = {};

  const HRESULT created =
      DirectInputFactory(InstanceHandle, DIRECTINPUT_VERSION, IID_IDirectInput8W, state.DirectInput.put_void(), nullptr);
  if (FAILED(created)) {
    DropFailedOutPointer(state.DirectInput);
    return created;
  }
  ListenForDeviceArrivals(dialog);
  OpenController(dialog);
  return 0;
}

HRESULT OpenController(HWND dialog) {
  GamepadDialogState& state = GamepadDialog;
  ClearProductName();
  if (!state.DirectInput || state.ControllerDevice) return S_FALSE;

  const HRESULT enumerated = state.DirectInput->EnumDevices(DI8DEVCLASS_GAMECTRL, OpenFirstUsableController,
                                                            nullptr, DIEDFL_ATTACHEDONLY);
  state.ControllerSearch.Searched();
  if (FAILED(enumerated)) return enumerated;
  if (!state.ControllerDevice) return enumerated;
  state.ControllerSearch.ControllerOpened();

  // A failure from here on leaves the controller open but not acquired and
  // nameless; polling carries on with it as far as DirectInput lets it.
  IDirectInputDevice8W* const device = state.ControllerDevice.get();
  if (const HRESULT result = device->SetDataFormat(&c_dfDIJoystick2); FAILED(result)) return result;
  if (const HRESULT result = device->SetCooperativeLevel(dialog, CooperativeLevel); FAILED(result)) return result;
  if (const HRESULT result = device->EnumObjects(SetAxisRange, nullptr, DIDFT_AXIS); FAILED(result)) return result;

  DIDEVICEINSTANCEW info{};
  info.dwSize = sizeof(info);
  // On failure the name stays "".
  if (SUCCEEDED(device->GetDeviceInfo(&info)))
    lstrcpynW(state.ControllerProductName, info.tszProductName, MAX_PATH);

  // Refused while the dialog is not yet in the foreground; activation or the
  // next failed read acquires it then.
  device->Acquire();
  return 0;
}

int PollController(HWND dialog) {
  GamepadDialogState& state = GamepadDialog;
  if (!state.ControllerDevice) {
    if (state.DirectInput && state.ControllerSearch.TickIsDue()) OpenController(dialog);
    return 0;
  }

  DIJOYSTATE2 fresh;
  if (SUCCEEDED(state.ControllerDevice->GetDeviceState(sizeof(fresh), &fresh))) {
    state.ControllerState = fresh;
    state.ControllerSearch.ControllerRead();
    return 1;
  }

  HRESULT acquired;
  int attempts = 0;
  do {
    acquired = state.ControllerDevice->Acquire();
  } while (acquired == InputLost && ++attempts < MaxAcquireAttempts);

  // S_FALSE: it was acquired, so the read failed for another reason.
  if (acquired == S_FALSE || acquired == Unplugged) {
    ReleaseControllerDevice();
    state.ControllerSearch.ControllerReleased();
  }
  return 0;
}

void SetControllerAcquired(bool acquire) {
  IDirectInputDevice8W* const device = GamepadDialog.ControllerDevice.get();
  if (!device) return;
  if (acquire)
    device->Acquire();
  else
    device->Unacquire();
}

void CaptureAssignment(HWND dialog) {
  GamepadDialogState& state = GamepadDialog;
  if (!state.ControllerDevice) return;
  // On the first read after any change of controller, held input or not.
  FollowControllerChange(dialog);

  const HWND list = FocusedActionList(dialog);
  if (!list) return;
  const DIJOYSTATE2 held = state.ControllerState;
  const wchar_t* const name = PressedInputName(held);
  if (!name) return;
  const LRESULT found = SendMessageW(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name));
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

void ReleaseControllerInput() {
  GamepadDialogState& state = GamepadDialog;
  state.DeviceNotification.reset();
  if (state.ControllerDevice) {
    state.ControllerDevice->Unacquire();
    ReleaseControllerDevice();
  }
  state.DirectInput.reset();
}

void OnGamepadTimer(HWND dialog) {
  if (PollController(dialog) == 1 && GamepadDialog.CaptureEnabled == 1) CaptureAssignment(dialog);
}

void OnGamepadActivate(WPARAM wParam) {
  const bool active = wParam != 0;
  SetControllerAcquired(active);
  if (active && !GamepadDialog.ControllerDevice) GamepadDialog.ControllerSearch.DialogActivated();
}

void OnGamepadDeviceChange(WPARAM event, LPARAM data) {
  if (event != DBT_DEVICEARRIVAL || !data) return;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) GamepadDialog.ControllerSearch.DeviceArrived();
}
