// The launcher's only contact with game controllers: while the gamepad dialog
// is open it opens the first attached DirectInput 8 game controller and reads
// it on every timer tick, into the controller part of the dialog's state.
#pragma once

#include <windows.h>

struct GamepadDialogState;

// Creates DirectInput and opens the first usable controller, if any, into a
// state whose controller part is as a new one has it. Returns
// DirectInput8Create's failure code, or the loader's where dinput8.dll or the
// function is missing (then no controller is opened while the dialog lives),
// else S_OK.
HRESULT InitControllerInput(HWND dialog, GamepadDialogState& state);

// Opens the first attached game controller that can be created and whose
// capabilities can be read, sets its format, cooperative level and axis
// ranges, takes its product name and tries to acquire it. Returns S_FALSE when
// there is no DirectInput or a controller is open already, a failing step's
// code, or the result of the enumeration when none was opened.
HRESULT OpenController(HWND dialog, GamepadDialogState& state);

// One timer tick: polls the controller, reads it into ControllerState and
// returns 1, or returns 0. A failed read re-acquires the controller and gives
// it up when it is gone; with no controller open a search runs when one is due.
int PollController(HWND dialog, GamepadDialogState& state);

// Acquires (true) or releases the acquisition of (false) the open controller.
void SetControllerAcquired(GamepadDialogState& state, bool acquire);

// Gives up the controller and DirectInput.
void ReleaseControllerInput(GamepadDialogState& state);
