// The game's controller assignments in config.ini, section "JOYPAD", in the
// player's Documents folder: read into the gamepad dialog's lists when it
// opens, written from them when the player presses OK.
#pragma once

#include <windows.h>

#include <string>

struct GamepadDialogState;

// Whether config.ini's "ProductName" (StoredProductName) is the open
// controller's: the stored name occurs in the controller's name, letter case
// counting, or, in a file in the ANSI code page, it is the controller's name
// as that code page stores it. An empty stored name belongs to no controller.
bool IsStoredControllersName(const GamepadDialogState& state);

// Selects the gamepad type and the twenty assignments from the file, the
// defaults standing in for what it lacks. Expects the lists filled and
// RecordedProductName empty; keeps the stored product name, and records the
// open controller's name when the file is its own or another controller's.
void LoadJoypadConfig(HWND dialog, GamepadDialogState& state);

// What became of a save: error is ERROR_SUCCESS, or the first failure's
// error; path is config.ini's, empty when there is no Documents folder.
struct JoypadSaveResult {
  DWORD error;
  std::wstring path;
};

// Writes the product name and type (when a controller is recorded) and each
// action whose list has a selection, one key at a time, into a copy of
// config.ini beside it ("config.ini.new"), which then replaces config.ini in
// one step; every other key, section and line stays as it was. The first
// failure stops the save and leaves config.ini as it was. Without a Documents
// folder nothing is written, and that fails.
JoypadSaveResult SaveJoypadConfig(HWND dialog, const GamepadDialogState& state);
