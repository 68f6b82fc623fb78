#include "gamepad/list_selection.h"

#include "gamepad/actions.h"
#include "gamepad/gamepad_dialog_state.h"

void SelectListEntry(HWND list, const wchar_t* name) {
  // wParam 0 searches the whole list (from entry 1 round to entry 0); CB_ERR
  // then clears the selection.
  const LRESULT entry = name ? SendMessageW(list, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name)) : CB_ERR;
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

void SelectGamepadType(HWND dialog, GamepadDialogState& state, int type) {
  state.RecordedProductType = type;
  // An index past the end clears the selection on Windows, but Wine keeps the
  // old one: ask for none outright.
  const bool listed = type >= 0 && type < GamepadTypeCount;
  SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_SETCURSEL, static_cast<WPARAM>(listed ? type : -1), 0);
}
