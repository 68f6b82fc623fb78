// Everything the gamepad settings dialog owns while it is open. One dialog is
// open at a time, so there is one instance, GamepadDialog; only the GUI thread
// touches it. Opening the dialog resets it (InitControllerInput resets the
// controller part).
#pragma once

#include <windows.h>

#include "gamepad/controller_search.h"
#include "platform/com_ptr.h"
#include "platform/direct_input.h"
#include "platform/unique_handle.h"

struct GamepadDialogState {
  // The controller layer (controller_input.cpp).
  platform::com_ptr<IDirectInput8W> DirectInput;         // null: none, or creation failed
  platform::com_ptr<IDirectInputDevice8W> ControllerDevice;  // null: no controller open
  DIJOYSTATE2 ControllerState{};                         // last state read successfully
  wchar_t ControllerProductName[MAX_PATH]{};             // "" unless a controller is open
  ControllerSearchSchedule ControllerSearch;
  platform::unique_hdevnotify DeviceNotification;        // HID arrivals for the dialog

  // The dialog's background, bitmap 111: loaded on opening, deleted on
  // WM_DESTROY. Null when it could not be loaded.
  platform::unique_hbitmap GamepadBitmap;

  // The assignments the lists show.
  wchar_t RecordedProductName[MAX_PATH]{};  // controller they belong to; "" on opening
  int RecordedProductType = 0;              // type index list 1024 shows; 0 on opening
  int CaptureEnabled = 0;                   // 1 from the end of opening until OK
};

extern GamepadDialogState GamepadDialog;
