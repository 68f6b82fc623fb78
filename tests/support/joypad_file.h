// The game's config.ini in the test prefix's Documents folder, as tests set it
// up and read it back: bytes and lines, never through the program's code. The
// location is spelled out here on purpose: it is the contract with the game.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Documents, MORVANE, MORVANE\VARKOLD, MORVANE\VARKOLD\config.ini. Empty, with
// a failure, when Documents leads out of the test prefix (Wine links it to
// the home folder unless tools/run-tests.sh made it a folder of its own).
std::wstring DocumentsFolder();
std::wstring MakerFolder();
std::wstring ConfigPath();
// Removes Documents\MORVANE, folder or file, with everything in it.
void RemoveJoypadFolders();

// config.ini as these bytes, or as these lines in UTF-16LE with a byte-order
// mark and CR LF; the folders are made on the way.
bool WriteConfigBytes(const std::string& bytes);
bool WriteConfig(const std::vector<std::wstring>& lines);
// The lines of config.ini that are not blank, from UTF-16LE with a byte-order
// mark or else the ANSI code page; empty when there is no file.
std::vector<std::wstring> ConfigLines();
bool ConfigIsUtf16();

}  // namespace testing_support
