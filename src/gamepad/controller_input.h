// The launcher's only contact with game controllers: while the gamepad dialog
// is open it opens the first attached DirectInput 8 game controller, reads it
// on every timer tick, and turns a pressed button or hat into a selection in
// the focused action list. State lives in GamepadDialog.
#pragma once

#include <windows.h>

// Acquire may answer DIERR_INPUTLOST while a device recovers; one that
// answers it for ever must not hang the dialog, so a tick tries this often.
inline constexpr int MaxAcquireAttempts = 8;

// Creates DirectInput and opens the first usable controller, if any; listens
// for newly attached devices. Returns DirectInput8Create's failure code (then
// no controller is opened while the dialog lives), else 0.
HRESULT InitControllerInput(HWND dialog);

// Opens the first attached game controller that can be created and whose
// capabilities can be read, sets its format, cooperative level and axis
// ranges, takes its product name and tries to acquire it. Returns S_FALSE when
// there is no DirectInput or a controller is open already, a failing step's
// code, or the result of the enumeration when none was opened.
HRESULT OpenController(HWND dialog);

// One timer tick: reads the controller into ControllerState and returns 1, or
// returns 0. A failed read re-acquires the controller and gives it up when it
// is gone; with no controller open a search runs when one is due.
int PollController(HWND dialog);

// Acquires (true) or releases the acquisition of (false) the open controller.
void SetControllerAcquired(bool acquire);

// Follows a change of controller (its type's defaults go into the lists),
// then writes the pressed button or hat into the focused action list.
void CaptureAssignment(HWND dialog);

// Gives up the controller, DirectInput and the device notifications.
void ReleaseControllerInput();

// What the gamepad dialog calls from its message handling.
// WM_TIMER: polls, and captures while CaptureEnabled is 1.
void OnGamepadTimer(HWND dialog);
// WM_ACTIVATE: acquires or releases the controller; activation with no
// controller open asks for a search.
void OnGamepadActivate(WPARAM wParam);
// WM_DEVICECHANGE: a newly attached HID device makes a search due. Returns
// at once; the search runs on the next tick.
void OnGamepadDeviceChange(WPARAM event, LPARAM data);
