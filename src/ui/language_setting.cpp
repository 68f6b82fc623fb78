#include "ui/language_setting.h"

#include <cwchar>

#include "platform/unique_handle.h"
#include "resource.h"
#include "ui/language_table.h"

UINT CurrentLanguage = 0;

namespace {

// Where the game looks for its language: per user first, then machine-wide.
constexpr wchar_t LanguageSettingKey[] = L"SOFTWARE\\MORVANE\\VARKOLD";
constexpr wchar_t LanguageValueName[] = L"Language";

// Largest stored value we read, in bytes: 65 UTF-16 code units. Anything
// larger cannot be one of our locale numbers.
constexpr DWORD LargestLanguageValueSize = 130;

// The stored value as text: room for the largest value we read plus a
// terminator of our own, since strings may be stored without theirs.
using StoredText = wchar_t[LargestLanguageValueSize / sizeof(wchar_t) + 1];

// Reads the value of one hive into text. Registry functions are used directly
// rather than SHRegGetUSValueW: Wine's version can write past the buffer when
// the user's value is too large and a machine-wide one exists.
LONG ReadStoredText(HKEY hive, StoredText& text) {
  platform::unique_hkey key;
  LONG status = RegOpenKeyExW(hive, LanguageSettingKey, 0, KEY_QUERY_VALUE, key.put());
  if (status != ERROR_SUCCESS) return status;
  DWORD size = LargestLanguageValueSize;
  status = RegQueryValueExW(key.get(), LanguageValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  if (status != ERROR_SUCCESS) return status;
  // Only the code units actually read count, whatever type the value has.
  text[(size < LargestLanguageValueSize ? size : LargestLanguageValueSize) / sizeof(wchar_t)] = L'\0';
  return ERROR_SUCCESS;
}

// The menu command of the stored language, or 0 when nothing usable is
// stored. The machine-wide value counts only where the user has none: a value
// of the user's own that we cannot use still hides it.
UINT StoredLanguageCommand() {
  StoredText text;
  LONG status = ReadStoredText(HKEY_CURRENT_USER, text);
  if (status == ERROR_FILE_NOT_FOUND) status = ReadStoredText(HKEY_LOCAL_MACHINE, text);
  if (status != ERROR_SUCCESS) return 0;
  // Exact text only: " 1041", "01041" or "0x411" are not ours.
  for (const LanguageRecord& record : LanguageTable)
    if (std::wcscmp(text, record.LcidText) == 0) return record.MenuCommand;
  return 0;
}

}  // namespace

void LoadLanguageSetting(HWND dialog) {
  UINT command = StoredLanguageCommand();
  if (command == 0) command = LanguageTable[UiLanguageIndex()].MenuCommand;
  CurrentLanguage = command;
  MarkLanguage(dialog, command);
}

LONG SaveLanguageSetting(UINT command) {
  for (const LanguageRecord& record : LanguageTable) {
    if (record.MenuCommand != command) continue;
    // The user's key is created first: SHRegSetUSValueW would write nothing
    // under Wine on a player's very first choice, when no key exists yet.
    platform::unique_hkey key;
    const LONG created = RegCreateKeyExW(HKEY_CURRENT_USER, LanguageSettingKey, 0, nullptr, 0, KEY_SET_VALUE,
                                         nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS) return created;
    return RegSetValueExW(key.get(), LanguageValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(record.LcidText),
                          record.DataSize);
  }
  return ERROR_INVALID_PARAMETER;
}

void MarkLanguage(HWND dialog, UINT command) {
  CheckMenuRadioItem(GetMenu(dialog), IDM_LANGUAGE_JAPANESE, IDM_LANGUAGE_CZECH, command, MF_BYCOMMAND);
}
