// What a tick's controller state does to the gamepad dialog's lists: a
// controller the lists were not set for brings its type's defaults, and a
// pressed button or hat becomes the selection of the focused action list.
#pragma once

#include <windows.h>

struct GamepadDialogState;

// Called on a tick whose read succeeded, while CaptureEnabled is 1. Follows a
// change of controller first (on the first read after any change, held input
// or not), then captures into the focused action list, if any.
void CaptureAssignment(HWND dialog, GamepadDialogState& state);
