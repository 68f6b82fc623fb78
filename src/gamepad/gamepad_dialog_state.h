// Everything the gamepad settings dialog owns while it is open. The dialog
// keeps the one instance, makes it new on opening (the values below) and
// hands it to the controller layer, the capture and the joypad file, each of
// which works on the part it names. Only the GUI thread touches it.
#pragma once

#include <windows.h>

#include "gamepad/controller_search.h"
#include "platform/com_ptr.h"
#include "platform/direct_input.h"
#include "platform/unique_handle.h"

struct GamepadDialogState {
  // The controller (controller_input.cpp).
  platform::com_ptr<IDirectInput8W> DirectInput;             // null: none, or creation failed
  platform::com_ptr<IDirectInputDevice8W> ControllerDevice;  // null: no controller open
  DIJOYSTATE2 ControllerState{};                             // last state read successfully
  wchar_t ControllerProductName[MAX_PATH]{};                 // "" unless a controller is open
  ControllerSearchSchedule ControllerSearch;

  // The dialog's own: HID arrivals, and its background IDB_GAMEPAD_BACKGROUND
  // at the screen's DPI (null when it could not be loaded), both released on
  // WM_DESTROY.
  platform::unique_hdevnotify DeviceNotification;
  platform::unique_hbitmap GamepadBitmap;

  // The assignments the lists show.
  wchar_t RecordedProductName[MAX_PATH]{};  // controller they belong to; "" on opening
  int RecordedProductType = 0;              // type index IDC_GAMEPAD_TYPE shows; 0 on opening
  // The "ProductName" config.ini held when the dialog opened ("" when none):
  // that controller, taken up only later, keeps the loaded assignments. A
  // file in the ANSI code page holds a name in another script only as that
  // code page turned it ("??????" for Japanese).
  wchar_t StoredProductName[MAX_PATH]{};
  bool StoredInAnsiCodePage = false;
  int CaptureEnabled = 0;  // 1 from the end of opening until OK
};
