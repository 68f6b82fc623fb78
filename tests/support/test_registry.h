// The game's "Language" value as tests set it up and check it, in either
// hive of the test prefix's real registry. The key path is spelled out here on
// purpose: it is the contract with the game, not something to take from the
// program under test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

inline constexpr wchar_t GameKeyParent[] = L"SOFTWARE\\MORVANE";
inline constexpr wchar_t GameKey[] = L"SOFTWARE\\MORVANE\\VARKOLD";

// What a hive holds at the game's key: no key, the key without the value, or
// the value with its type and bytes.
struct StoredLanguage {
  bool key = false;
  bool value = false;
  DWORD type = REG_NONE;
  std::vector<uint8_t> bytes;

  bool operator==(const StoredLanguage&) const = default;
};

std::ostream& operator<<(std::ostream& out, const StoredLanguage& stored);

StoredLanguage NoKey();
StoredLanguage KeyWithoutValue();
StoredLanguage Value(DWORD type, std::vector<uint8_t> bytes);
// Text as UTF-16LE, with its terminating NUL unless told otherwise.
StoredLanguage Text(const std::wstring& text, DWORD type = REG_SZ, bool terminated = true);
StoredLanguage Dword(DWORD number);

// Removes the maker's key with everything under it from both hives.
void DeleteLanguageKeys();
StoredLanguage ReadStoredLanguage(HKEY hive);
// Deletes the game's key in this hive, then stores what is given.
void WriteStoredLanguage(HKEY hive, const StoredLanguage& stored);

}  // namespace testing_support
