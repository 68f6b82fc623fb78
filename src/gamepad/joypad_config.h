// The game's controller assignments in config.ini, section "JOYPAD", in the
// player's Documents folder: read into the gamepad dialog's lists when it
// opens, written from them when the player presses OK.
#pragma once

#include <windows.h>

#include <string>

inline constexpr wchar_t JoypadSection[] = L"JOYPAD";
inline constexpr wchar_t ProductNameKey[] = L"ProductName";
inline constexpr wchar_t ProductTypeKey[] = L"ProductType";
// Profile values and list texts are read into buffers of this many characters.
inline constexpr int ProfileValueCapacity = 256;

// A stored value and the list name it stands for. The game counts buttons
// from 0, the lists from 1; every other input is stored as the list shows it.
struct ConfigValueName {
  const wchar_t* configValue;
  const wchar_t* inputName;
};

// Matched as whole strings, letter case counting.
inline constexpr ConfigValueName ConfigValueNames[] = {
    {L"0",  L"1"},
    {L"1",  L"2"},
    {L"2",  L"3"},
    {L"3",  L"4"},
    {L"4",  L"5"},
    {L"5",  L"6"},
    {L"6",  L"7"},
    {L"7",  L"8"},
    {L"8",  L"9"},
    {L"9",  L"10"},
    {L"10", L"11"},
    {L"11", L"12"},
    {L"12", L"13"},
    {L"13", L"14"},
    {L"14", L"15"},
    {L"15", L"16"},
    {L"16", L"17"},
    {L"17", L"18"},
    {L"18", L"19"},
    {L"19", L"20"},
    {L"20", L"21"},
    {L"21", L"22"},
    {L"22", L"23"},
    {L"23", L"24"},
    {L"24", L"25"},
    {L"25", L"26"},
    {L"26", L"27"},
    {L"27", L"28"},
    {L"28", L"29"},
    {L"29", L"30"},
    {L"30", L"31"},
    {L"31", L"32"},
};

// A stored button value ("0" to "31") becomes its list name in place;
// returns 1. Any other text stays as it is; returns 0.
int ConfigValueToInputName(wchar_t (&text)[ProfileValueCapacity]);
// A button's list name ("1" to "32") becomes its stored value in place;
// returns 1. Any other text stays as it is; returns 0.
int InputNameToConfigValue(wchar_t (&text)[ProfileValueCapacity]);

// Documents\MORVANE\VARKOLD\config.ini, built anew on every call. With
// createFolders the two folders are created on the way (one that exists
// already is fine). Empty when the Documents folder cannot be determined:
// then nothing is read or written.
std::wstring JoypadConfigPath(bool createFolders = false);

struct GamepadDialogState;

// Whether config.ini's "ProductName" is this controller's: the stored name
// occurs in the controller's name, letter case counting. An empty stored name
// belongs to no controller.
bool IsStoredControllersName(const wchar_t* controllerName, const wchar_t* storedName);

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
// action whose list has a selection, one key at a time, and stops at the
// first write that fails; every other key, section and line of the file stays
// as it was. Without a Documents folder nothing is written, and that fails.
JoypadSaveResult SaveJoypadConfig(HWND dialog, const GamepadDialogState& state);
