// config.ini as the launcher stores it, for the gamepad floor's save and the
// benchmark that sets up and checks the file around it.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "gamepad/actions.h"

// Documents\MORVANE\VARKOLD, where config.ini lives; empty when there is no
// Documents folder.
inline std::wstring ConfigFolder() {
  wchar_t documents[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) return {};
  return std::wstring(documents) + L"\\MORVANE\\VARKOLD";
}

// An entry of the action lists (they hold InputNames in order) as config.ini
// stores it: a button as the game counts it, from 0; any other input by its
// name.
inline std::wstring StoredValue(int entry) {
  return entry < CapturedButtonCount ? std::to_wstring(entry) : InputNames[entry];
}
