// The game's config.ini in the test prefix's Documents folder, set up and read
// back as bytes and lines. The place is spelled out here on purpose: it is the
// contract with the game.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Fails the test when Documents leads out of the test prefix, as Wine's links
// to the home folder do unless tools/run-tests.sh replaced them.
std::wstring MakerFolder();  // Documents\MORVANE
std::wstring ConfigPath();   // Documents\MORVANE\VARKOLD\config.ini
void RemoveJoypadFolders();

// config.ini as these bytes, or these lines in UTF-16LE with a byte-order mark.
bool WriteConfigBytes(const std::string& bytes);
bool WriteConfig(const std::vector<std::wstring>& lines);
// The lines that are not blank of a UTF-16LE config.ini with a byte-order
// mark; none when it has none.
std::vector<std::wstring> ConfigLines();

}  // namespace testing_support
