#include "gamepad/assignment_capture.h"

#include <string_view>

#include "gamepad/actions.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad/joypad_config.h"
#include "gamepad/list_selection.h"

namespace {

bool ButtonHeld(const DIJOYSTATE2& state, int index) { return (state.rgbButtons[index] & 0x80) != 0; }

// A centred hat reads -1, or on some drivers 65,535: only the low word
// counts. Any other value is a direction, held.
bool HatHeld(const DIJOYSTATE2& state) { return LOWORD(state.rgdwPOV[0]) != 0xFFFF; }

// The name of the first input held down on the controller: button 1, the
// hat, then buttons 2 to 32. Axes are never taken. nullptr when none is held.
const wchar_t* PressedInputName(const DIJOYSTATE2& state) {
  if (ButtonHeld(state, 0)) return InputNames[0];
  if (HatHeld(state)) return InputNames[FirstHatInput];
  for (int i = 1; i < CapturedButtonCount; ++i)
    if (ButtonHeld(state, i)) return InputNames[i];
  return nullptr;
}

// The action list that has the keyboard focus; nullptr when the focus is on
// the type list, a button or outside the dialog.
HWND FocusedActionList(HWND dialog) {
  const HWND focus = GetFocus();
  if (!focus) return nullptr;
  for (const ActionControl& action : ActionControls)
    if (GetDlgItem(dialog, action.controlId) == focus) return focus;
  return nullptr;
}

// The controller config.ini recorded, taken up only after the file was
// loaded (a wireless pad waking, one plugged in a moment later): the lists
// already hold its assignments, as loading would have left them.
bool IsLateRecordedController(const GamepadDialogState& state) {
  return state.RecordedProductName[0] == L'\0' && IsStoredControllersName(state);
}

// The controller is not the one the lists were set for: switch the type list
// and all twenty lists to its type, unless they are already its own. A
// controller whose name could not be read is no other controller: nothing is
// known of it, so the lists keep what they show.
void FollowControllerChange(HWND dialog, GamepadDialogState& state) {
  if (state.ControllerProductName[0] == L'\0') return;
  if (std::wstring_view(state.RecordedProductName) == std::wstring_view(state.ControllerProductName)) return;
  const bool keepAssignments = IsLateRecordedController(state);
  lstrcpynW(state.RecordedProductName, state.ControllerProductName, MAX_PATH);
  if (keepAssignments) return;
  const int type = DetectGamepadType(state.RecordedProductName);
  SelectGamepadType(dialog, state, type);
  ApplyGamepadTypeDefaults(dialog, type);
}

}  // namespace

void CaptureAssignment(HWND dialog, GamepadDialogState& state) {
  if (!state.ControllerDevice) return;
  FollowControllerChange(dialog, state);

  const HWND list = FocusedActionList(dialog);
  if (!list) return;
  const DIJOYSTATE2 held = state.ControllerState;
  const wchar_t* const name = PressedInputName(held);
  if (!name) return;
  SelectListEntry(list, name);
}
