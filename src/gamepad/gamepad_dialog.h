// The gamepad settings dialog (template IDD_GAMEPAD_DIALOG): twenty action
// lists over the pad glyphs of its background, the gamepad type list, OK and
// Cancel. The main dialog runs it modally from Settings > Gamepad Settings.
#pragma once

#include <windows.h>

// The dialog's timer: polls the controller and captures pressed inputs.
inline constexpr UINT_PTR GamepadTimerId = 999;
inline constexpr UINT GamepadTimerPeriod = 16;  // milliseconds

// Dialog procedure. Returns FALSE for every message; the dialog's result is
// always 1, whichever way it was closed. OK saves config.ini; Cancel, Esc and
// the close box leave it alone.
INT_PTR CALLBACK GamepadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opening steps, each given the dialog.
// Sizes the window so that its client area is exactly the background bitmap;
// without a bitmap the template's size stays.
void FitDialogToBitmap(HWND dialog);
// Title, OK and Cancel in the Windows display language.
void SetGamepadDialogTexts(HWND dialog);
// Places the twenty action lists in two columns beside their glyphs, then
// the type list at the bottom left.
void LayoutActionLists(HWND dialog);
// Places Cancel, then OK, at the bottom right. Each control placed goes to the
// top of the z-order, so the tab order becomes OK, Cancel, type list, then
// the action lists 1004 to 1023.
void LayoutDialogButtons(HWND dialog);
// The 46 input names into every action list, the six type names into 1024.
void FillGamepadLists(HWND dialog);
// Draws the whole background bitmap at the client area's origin.
void PaintDialogBitmap(HDC dc);
