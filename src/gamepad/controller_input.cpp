#include "gamepad/controller_input.h"

#include "gamepad/gamepad_dialog_state.h"
#include "platform/instance_handle.h"

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
// Acquire may answer DIERR_INPUTLOST while a device recovers; one that
// answers it for ever must not hang the dialog, so a tick tries this often.
constexpr int MaxAcquireAttempts = 8;

// The enumerations pass their callbacks a null reference: the state being
// opened is lent to them for the length of OpenController.
GamepadDialogState* OpeningState = nullptr;

// A call that failed handed out no reference, whatever it left in its
// out-pointer: forget it without releasing it.
template <typename T>
void DropFailedOutPointer(platform::com_ptr<T>& pointer) {
  static_cast<void>(pointer.release());
}

void ReleaseControllerDevice(GamepadDialogState& state) {
  state.ControllerDevice.reset();
  state.ControllerProductName[0] = L'\0';
}

// Device callback of EnumDevices: keeps the first controller that can be
// created and whose capabilities can be read.
BOOL CALLBACK OpenFirstUsableController(const DIDEVICEINSTANCEW* instance, void*) {
  GamepadDialogState& state = *OpeningState;
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
  const HRESULT result = OpeningState->ControllerDevice->SetProperty(DIPROP_RANGE, &range.diph);
  return SUCCEEDED(result) ? DIENUM_CONTINUE : DIENUM_STOP;
}

HRESULT OpenAndSetUpController(HWND dialog, GamepadDialogState& state) {
  const HRESULT enumerated =
      state.DirectInput->EnumDevices(DI8DEVCLASS_GAMECTRL, OpenFirstUsableController, nullptr, DIEDFL_ATTACHEDONLY);
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
  return S_OK;
}

}  // namespace

HRESULT InitControllerInput(HWND dialog, GamepadDialogState& state) {
  const HRESULT created = DirectInputFactory(InstanceHandle, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                              state.DirectInput.put_void(), nullptr);
  if (FAILED(created)) {
    DropFailedOutPointer(state.DirectInput);
    return created;
  }
  OpenController(dialog, state);
  return S_OK;
}

HRESULT OpenController(HWND dialog, GamepadDialogState& state) {
  state.ControllerProductName[0] = L'\0';
  if (!state.DirectInput || state.ControllerDevice) return S_FALSE;
  OpeningState = &state;
  const HRESULT result = OpenAndSetUpController(dialog, state);
  OpeningState = nullptr;
  return result;
}

int PollController(HWND dialog, GamepadDialogState& state) {
  if (!state.ControllerDevice) {
    if (state.DirectInput && state.ControllerSearch.TickIsDue()) OpenController(dialog, state);
    return 0;
  }

  // Some drivers update the state only when asked; for the others Poll
  // does nothing. What it answers changes nothing: the read tells.
  state.ControllerDevice->Poll();
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
    ReleaseControllerDevice(state);
    state.ControllerSearch.ControllerReleased();
  }
  return 0;
}

void SetControllerAcquired(GamepadDialogState& state, bool acquire) {
  IDirectInputDevice8W* const device = state.ControllerDevice.get();
  if (!device) return;
  if (acquire)
    device->Acquire();
  else
    device->Unacquire();
}

void ReleaseControllerInput(GamepadDialogState& state) {
  if (state.ControllerDevice) {
    state.ControllerDevice->Unacquire();
    ReleaseControllerDevice(state);
  }
  state.DirectInput.reset();
}
