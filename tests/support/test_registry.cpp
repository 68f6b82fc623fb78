#include "test_registry.h"

#include <cstddef>
#include <cstring>
#include <iomanip>
#include <ostream>

#include "platform/unique_handle.h"

namespace testing_support {

std::ostream& operator<<(std::ostream& out, const StoredLanguage& stored) {
  if (!stored.key) return out << "no key";
  if (!stored.value) return out << "key without value";
  out << "type " << stored.type << ", " << stored.bytes.size() << " bytes:";
  for (uint8_t byte : stored.bytes) out << ' ' << std::hex << std::setw(2) << std::setfill('0') << int(byte);
  return out << std::dec;
}

StoredLanguage NoKey() { return {}; }

StoredLanguage KeyWithoutValue() {
  StoredLanguage stored;
  stored.key = true;
  return stored;
}

StoredLanguage Value(DWORD type, std::vector<uint8_t> bytes) {
  StoredLanguage stored;
  stored.key = stored.value = true;
  stored.type = type;
  stored.bytes = std::move(bytes);
  return stored;
}

StoredLanguage Text(const std::wstring& text, DWORD type, bool terminated) {
  std::vector<uint8_t> bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return Value(type, std::move(bytes));
}

StoredLanguage Dword(DWORD number) {
  return Value(REG_DWORD, {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                           static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)});
}

void DeleteLanguageKeys() {
  for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    RegDeleteTreeW(hive, GameKeyParent);
    RegDeleteKeyW(hive, GameKeyParent);
  }
}

namespace {

// The value's bytes exactly as stored. RegQueryValueExW cannot tell them:
// under Wine it adds a terminator to a string stored without one.
bool ReadRawValue(HKEY key, const wchar_t* name, DWORD& type, std::vector<uint8_t>& bytes) {
  struct PartialInformation {
    ULONG titleIndex;
    ULONG type;
    ULONG dataLength;
    UCHAR data[1];
  };
  struct CountedString {
    USHORT length;
    USHORT maximumLength;
    const wchar_t* buffer;
  };
  using QueryValueKey = LONG(NTAPI*)(HANDLE, const CountedString*, int, void*, ULONG, ULONG*);
  constexpr int KeyValuePartialInformation = 2;
  static const auto query =
      reinterpret_cast<QueryValueKey>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryValueKey")));

  const USHORT length = static_cast<USHORT>(wcslen(name) * sizeof(wchar_t));
  const CountedString counted = {length, length, name};
  std::vector<uint8_t> buffer(4096);
  ULONG needed = 0;
  if (query(key, &counted, KeyValuePartialInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) < 0)
    return false;
  PartialInformation info;
  std::memcpy(&info, buffer.data(), offsetof(PartialInformation, data));
  type = info.type;
  const uint8_t* data = buffer.data() + offsetof(PartialInformation, data);
  bytes.assign(data, data + info.dataLength);
  return true;
}

}  // namespace

StoredLanguage ReadStoredLanguage(HKEY hive) {
  platform::unique_hkey key;
  if (RegOpenKeyExW(hive, GameKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return NoKey();
  DWORD type = REG_NONE;
  std::vector<uint8_t> bytes;
  if (!ReadRawValue(key.get(), L"Language", type, bytes)) return KeyWithoutValue();
  return Value(type, std::move(bytes));
}

void WriteStoredLanguage(HKEY hive, const StoredLanguage& stored) {
  RegDeleteTreeW(hive, GameKey);
  RegDeleteKeyW(hive, GameKey);
  if (!stored.key) return;
  platform::unique_hkey key;
  RegCreateKeyExW(hive, GameKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (!stored.value) return;
  // Windows and Wine alike count a terminator that follows the given bytes in
  // memory into a string value: a text stored without one is followed by
  // anything else.
  std::vector<uint8_t> bytes = stored.bytes;
  bytes.insert(bytes.end(), {0xFF, 0xFF});
  RegSetValueExW(key.get(), L"Language", 0, stored.type, bytes.data(), static_cast<DWORD>(stored.bytes.size()));
}

}  // namespace testing_support
