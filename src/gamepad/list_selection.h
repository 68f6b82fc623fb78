// Selecting in the gamepad dialog's lists: every step that puts an input name
// into an action list, or a gamepad type into the type list, does it here.
#pragma once

#include <windows.h>

struct GamepadDialogState;

// Selects the list's entry named name, as a whole and letter case aside (the
// list's own search); with no such entry, or no name, the list shows no
// selection. Like every selection made by the program, it sends no change
// notification.
void SelectListEntry(HWND list, const wchar_t* name);

// Shows gamepad type `type` in the type list IDC_GAMEPAD_TYPE and records it
// as RecordedProductType: the two always change together. A stored number
// outside 0..5 leaves the list without a selection and is kept, to be written
// back as it was.
void SelectGamepadType(HWND dialog, GamepadDialogState& state, int type);
