#include "handover_report.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "launcher/command_line.h"
#include "platform/unique_handle.h"

namespace {

// Where the launcher keeps what the game reads.
constexpr wchar_t LanguageKey[] = L"SOFTWARE\\MORVANE\\VARKOLD";
constexpr wchar_t LanguageValue[] = L"Language";
constexpr wchar_t ConfigFolder[] = L"\\MORVANE\\VARKOLD\\config.ini";
constexpr wchar_t JoypadSection[] = L"JOYPAD";

// The languages the game knows, by the text the launcher stores. Kept apart
// from the launcher's own table so that this program checks it rather than
// repeats it.
struct KnownLanguage {
  const wchar_t* text;
  const wchar_t* name;
};
constexpr KnownLanguage KnownLanguages[] = {
    {L"1041", L"Japanese"},
    {L"1033", L"English"},
    {L"1031", L"German"},
    {L"1036", L"French"},
    {L"1034", L"Spanish"},
    {L"1040", L"Italian"},
    {L"1049", L"Russian"},
    {L"1045", L"Polish"},
    {L"1029", L"Czech"},
};

struct TypeName {
  DWORD type;
  const wchar_t* name;
};
constexpr TypeName TypeNames[] = {
    {REG_NONE,                L"REG_NONE"},
    {REG_SZ,                  L"REG_SZ"},
    {REG_EXPAND_SZ,           L"REG_EXPAND_SZ"},
    {REG_BINARY,              L"REG_BINARY"},
    {REG_DWORD,               L"REG_DWORD"},
    {REG_DWORD_BIG_ENDIAN,    L"REG_DWORD_BIG_ENDIAN"},
    {REG_LINK,                L"REG_LINK"},
    {REG_MULTI_SZ,            L"REG_MULTI_SZ"},
    {REG_RESOURCE_LIST,       L"REG_RESOURCE_LIST"},
    {REG_QWORD,               L"REG_QWORD"},
};

// Bytes and characters beyond these are summarised, not listed.
constexpr size_t ShownBytes = 64;
constexpr size_t ShownCharacters = 80;

// Labels stand in one column so that people and scripts find them alike.
void AddLine(std::wstring& report, const wchar_t* label, const std::wstring& value) {
  std::wstring line = label;
  line += L':';
  if (line.size() < 22) line.resize(22, L' ');
  else line += L' ';
  report += line + value + L'\n';
}

std::wstring Format(const wchar_t* format, unsigned long value) {
  wchar_t text[64];
  std::swprintf(text, std::size(text), format, value);
  return text;
}

std::wstring SystemText(DWORD code) {
  platform::unique_hlocal text;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
  std::wstring result = length ? std::wstring(static_cast<const wchar_t*>(text.get()), length) : std::wstring();
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
    result.pop_back();
  return result + Format(L" (error %lu)", code);
}

std::wstring OwnPath() {
  std::vector<wchar_t> path(32768);
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return std::wstring(path.data(), length);
}

std::wstring WorkingFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(size, L'\0');
  folder.resize(GetCurrentDirectoryW(size, folder.data()));
  return folder;
}

// Control characters made visible, so that a tab or a line break in what the
// launcher handed over shows where it stands.
std::wstring Visible(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\t') out += L"\\t";
    else if (c == L'\n') out += L"\\n";
    else if (c == L'\r') out += L"\\r";
    else if (c < 0x20 || c == 0x7F) out += Format(L"\\x%02lx", c);
    else out += c;
  }
  return out;
}

// One hive's "Language" value as stored.
struct StoredValue {
  LONG status = ERROR_SUCCESS;  // of opening the key, then of reading the value
  bool keyMissing = false;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

StoredValue ReadLanguageValue(HKEY hive) {
  StoredValue value;
  platform::unique_hkey key;
  value.status = RegOpenKeyExW(hive, LanguageKey, 0, KEY_QUERY_VALUE, key.put());
  if (value.status != ERROR_SUCCESS) {
    value.keyMissing = value.status == ERROR_FILE_NOT_FOUND;
    return value;
  }
  // The value may grow between asking its size and reading it: ask again.
  for (;;) {
    DWORD size = 0;
    value.status = RegQueryValueExW(key.get(), LanguageValue, nullptr, &value.type, nullptr, &size);
    if (value.status != ERROR_SUCCESS) return value;
    // Room for a terminator that the system may add to a string stored
    // without one; the size it reports is what counts.
    value.data.resize(size + sizeof(wchar_t));
    size = static_cast<DWORD>(value.data.size());
    value.status = RegQueryValueExW(key.get(), LanguageValue, nullptr, &value.type, value.data.data(), &size);
    if (value.status == ERROR_MORE_DATA) continue;
    value.data.resize(size);
    return value;
  }
}

bool IsSet(const StoredValue& value) { return value.status == ERROR_SUCCESS; }

std::wstring TypeNameOf(DWORD type) {
  for (const TypeName& row : TypeNames)
    if (row.type == type) return row.name;
  return Format(L"type %lu", type);
}

// The data as UTF-16 text up to its first NUL (or its end, when it has none);
// an odd last byte belongs to no character.
std::wstring TextOf(const std::vector<BYTE>& data) {
  std::wstring text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (c == L'\0') break;
    text += c;
  }
  return text;
}

const KnownLanguage* LanguageNamed(const std::wstring& text) {
  for (const KnownLanguage& language : KnownLanguages)
    if (text == language.text) return &language;
  return nullptr;
}

std::wstring DescribeStorage(const StoredValue& value) {
  if (value.keyMissing) return L"not set (no key " + std::wstring(LanguageKey) + L")";
  if (value.status == ERROR_FILE_NOT_FOUND) return L"not set (no value \"Language\")";
  if (value.status != ERROR_SUCCESS) return L"cannot be read: " + SystemText(value.status);
  std::wstring description = TypeNameOf(value.type) + Format(L", %lu bytes", value.data.size());
  if (!value.data.empty()) description += L':';
  for (size_t i = 0; i < value.data.size() && i < ShownBytes; ++i) description += Format(L" %02lx", value.data[i]);
  if (value.data.size() > ShownBytes) description += L" ...";
  return description;
}

std::wstring DescribeText(const std::wstring& text) {
  std::wstring shown = L"\"" + Visible(text.substr(0, ShownCharacters)) + L"\"";
  if (text.size() > ShownCharacters) shown += Format(L" ... (%lu characters)", text.size());
  return shown;
}

// The language the value names; where the hive is given, from where.
std::wstring DescribeLanguage(const StoredValue& value, const wchar_t* hive = nullptr) {
  const KnownLanguage* language = LanguageNamed(TextOf(value.data));
  std::wstring description =
      language ? std::wstring(language->text) + L" " + language->name : L"not a language the game knows";
  if (hive) description += std::wstring(L", from ") + hive;
  if (language && value.type != REG_SZ)
    description += L" (stored as " + TypeNameOf(value.type) + L"; the launcher writes REG_SZ)";
  return description;
}

void AddLanguage(std::wstring& report) {
  struct Hive {
    HKEY hive;
    const wchar_t* shortName;
    const wchar_t* name;
  };
  const Hive Hives[] = {
      {HKEY_CURRENT_USER,  L"HKCU", L"HKEY_CURRENT_USER"},
      {HKEY_LOCAL_MACHINE, L"HKLM", L"HKEY_LOCAL_MACHINE"},
  };
  std::optional<std::wstring> gameLanguage;
  for (const Hive& hive : Hives) {
    const StoredValue value = ReadLanguageValue(hive.hive);
    const std::wstring label = hive.shortName;
    AddLine(report, (label + L" Language").c_str(), DescribeStorage(value));
    if (IsSet(value)) {
      AddLine(report, (label + L" as text").c_str(), DescribeText(TextOf(value.data)));
      AddLine(report, (label + L" names").c_str(), DescribeLanguage(value));
    }
    // The user's value comes first; the machine-wide one counts only where
    // the user has none at all.
    if (!gameLanguage && !(value.keyMissing || value.status == ERROR_FILE_NOT_FOUND)) {
      gameLanguage = IsSet(value) ? DescribeLanguage(value, hive.name)
                                  : L"not set (the value under " + std::wstring(hive.name) + L" cannot be read)";
    }
  }
  AddLine(report, L"Game language", gameLanguage.value_or(L"not set"));
}

// The game's config.ini in the user's Documents folder.
std::wstring ConfigPath() {
  wchar_t documents[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) return {};
  return std::wstring(documents) + ConfigFolder;
}

// How the file is written: the game's INI reader sees UTF-16 only with its mark.
std::wstring DescribeEncoding(const std::wstring& path) {
  platform::unique_file file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return L"cannot be opened: " + SystemText(GetLastError());
  LARGE_INTEGER size = {};
  GetFileSizeEx(file.get(), &size);
  BYTE start[3] = {};
  DWORD got = 0;
  ReadFile(file.get(), start, sizeof(start), &got, nullptr);
  std::wstring encoding = L"ANSI or UTF-8 without mark";
  if (got >= 2 && start[0] == 0xFF && start[1] == 0xFE) encoding = L"UTF-16LE with mark";
  else if (got >= 2 && start[0] == 0xFE && start[1] == 0xFF) encoding = L"UTF-16BE with mark";
  else if (got >= 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF) encoding = L"UTF-8 with mark";
  return Format(L"%lu bytes, ", static_cast<unsigned long>(size.QuadPart)) + encoding;
}

// The section's lines as the INI functions give them, one "key=value" each.
std::vector<std::wstring> SectionLines(const std::wstring& path) {
  std::vector<wchar_t> buffer(4096);
  for (;;) {
    const DWORD length = GetPrivateProfileSectionW(JoypadSection, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   path.c_str());
    if (length + 2 < buffer.size() || buffer.size() >= (1u << 24)) {
      std::vector<std::wstring> lines;
      for (const wchar_t* line = buffer.data(); *line && line < buffer.data() + length; line += wcslen(line) + 1)
        lines.emplace_back(line);
      return lines;
    }
    buffer.resize(buffer.size() * 4);
  }
}

void AddJoypadSection(std::wstring& report) {
  const std::wstring path = ConfigPath();
  if (path.empty()) {
    AddLine(report, L"config.ini", L"no Documents folder");
    return;
  }
  AddLine(report, L"config.ini", path);
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    AddLine(report, L"config.ini file", L"no file");
    return;
  }
  AddLine(report, L"config.ini file", DescribeEncoding(path));
  const std::vector<std::wstring> lines = SectionLines(path);
  if (lines.empty()) {
    AddLine(report, L"[JOYPAD]", L"no keys");
    return;
  }
  report += L"[JOYPAD]\n";
  for (const std::wstring& line : lines) report += Visible(line) + L'\n';
}

}  // namespace

std::wstring HandoverReport() {
  const std::wstring path = OwnPath();
  std::wstring report = L"What the launcher handed over to this game build, as the game reads it.\n\n";
  AddLine(report, L"File name", path.substr(path.find_last_of(L"\\/") + 1));
  AddLine(report, L"Program", path);
  AddLine(report, L"Switches", L"\"" + Visible(CommandLineArguments(GetCommandLineW())) + L"\"");
  AddLine(report, L"Working folder", WorkingFolder());
  report += L'\n';
  AddLanguage(report);
  report += L'\n';
  AddJoypadSection(report);
  return report;
}
