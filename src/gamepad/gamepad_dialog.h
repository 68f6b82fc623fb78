// The gamepad settings dialog (template IDD_GAMEPAD_DIALOG): twenty action
// lists over the pad glyphs of its background, the gamepad type list, OK and
// Cancel. The main dialog runs it from Settings > Gamepad Settings.
#pragma once

#include <windows.h>

// The dialog's timer: polls the controller and captures pressed inputs.
inline constexpr UINT_PTR GamepadTimerId = 999;
inline constexpr UINT GamepadTimerPeriod = 16;  // milliseconds

// Runs the dialog modally, owned by owner. OK saves config.ini; Cancel, Esc
// and the close box leave it alone.
void RunGamepadSettings(HWND owner);

// Dialog procedure. Returns FALSE for every message; the dialog's result is
// always 1, whichever way it was closed.
INT_PTR CALLBACK GamepadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
