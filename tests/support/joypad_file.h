// The game's config.ini in the test prefix's Documents folder, as tests set
// it up and read it back: bytes and lines, never through the program's code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The Documents folder of the test prefix. Empty, with a test failure, when
// it leads out of the prefix (Wine links it to the home folder unless the
// test environment has made it a folder of its own).
std::wstring DocumentsFolder();
// Documents\MORVANE, Documents\MORVANE\VARKOLD and the file in it; the
// locations are spelled out here on purpose: they are the contract with the
// game.
std::wstring MakerFolderPath();
std::wstring GameFolderPath();
std::wstring ConfigFilePath();

// Removes Documents\MORVANE with everything in it.
void RemoveJoypadFolders();

enum class TextEncoding { Utf16WithBom, Ansi };
// Writes config.ini, creating its folders, with CR LF line ends.
bool WriteConfigFile(const std::vector<std::wstring>& lines, TextEncoding encoding = TextEncoding::Utf16WithBom);

// The bytes of a file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::wstring& path);
// The lines of config.ini that are not blank, decoded from UTF-16LE (with a
// byte-order mark) or the ANSI code page. Empty when there is no file.
std::vector<std::wstring> ConfigLines();
// Whether config.ini starts with the UTF-16LE byte-order mark.
bool ConfigIsUtf16();

}  // namespace testing_support
