// What the game builds receive from the real Launcher.exe, as the hand-over
// inspector standing in for them reports it: file name, switches, working
// folder, the language in the registry and the "JOYPAD" section of config.ini.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "launcher_test.h"
#include "resource.h"
#include "test_registry.h"

namespace testing_support {
namespace {

constexpr wchar_t ShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The report the inspector writes, line by line.
struct Report {
  std::vector<std::wstring> lines;

  // The value of a "Label:   value" line; empty when there is none.
  std::wstring Field(const std::wstring& label) const {
    for (const std::wstring& line : lines) {
      if (line.rfind(label + L":", 0) != 0) continue;
      const size_t value = line.find_first_not_of(L' ', label.size() + 1);
      return value == std::wstring::npos ? std::wstring() : line.substr(value);
    }
    return {};
  }

  // The lines after "[JOYPAD]", up to the end.
  std::vector<std::wstring> Joypad() const {
    auto section = std::find(lines.begin(), lines.end(), L"[JOYPAD]");
    if (section == lines.end()) return {};
    return {section + 1, lines.end()};
  }
};

Report ReadReport(const std::wstring& path) {
  platform::unique_file file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string content;
  char chunk[4096];
  DWORD got = 0;
  while (file && ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) content.append(chunk, got);
  Report report;
  const std::wstring text = Utf8ToWide(content);
  for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
    report.lines.push_back(text.substr(start, end - start));
  return report;
}

std::string FileBytes(const std::wstring& path) {
  platform::unique_file file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string content;
  char chunk[4096];
  DWORD got = 0;
  while (file && ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) content.append(chunk, got);
  return content;
}

// config.ini as a UTF-16LE file with its byte-order mark.
std::string Utf16File(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

class Handover : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    inspector_ = ArtefactPath(L"VKTEST_HANDOVER_INSPECTOR");
    ASSERT_TRUE(FileExists(inspector_)) << "VKTEST_HANDOVER_INSPECTOR";
    reportPath_ = workFolder_ + L"\\report.txt";
    // Inherited by the launcher and so by the inspector it starts.
    SetEnvironmentVariableW(L"VARKOLD_HANDOVER_REPORT", reportPath_.c_str());

    // The user's Documents folder, where config.ini lives, is one of ours
    // for the test: in a Wine prefix it is the Unix home otherwise.
    platform::unique_hkey folders;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, folders.put()), 0);
    DWORD size = sizeof(savedDocuments_);
    RegQueryValueExW(folders.get(), L"Personal", nullptr, nullptr, reinterpret_cast<BYTE*>(savedDocuments_), &size);
    const std::wstring documents = workFolder_ + L"\\Documents";
    ASSERT_TRUE(CreateDirectoryW(documents.c_str(), nullptr));
    configFolder_ = documents + L"\\MORVANE\\VARKOLD";
    SetDocuments(documents);
    DeleteLanguageKeys();
  }

  void TearDown() override {
    SetDocuments(savedDocuments_);
    SetEnvironmentVariableW(L"VARKOLD_HANDOVER_REPORT", nullptr);
    DeleteLanguageKeys();
    LauncherTest::TearDown();
  }

  static void SetDocuments(const std::wstring& folder) {
    platform::unique_hkey folders;
    RegOpenKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, KEY_SET_VALUE, folders.put());
    RegSetValueExW(folders.get(), L"Personal", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
  }

  // The launcher with the inspector as both game builds.
  std::wstring InstallWithInspector(const std::wstring& name) {
    const std::wstring folder = Install(name, NoGames);
    for (const wchar_t* game : {L"\\VKDDX9.exe", L"\\VKDDX10.exe"})
      EXPECT_TRUE(CopyFileW(inspector_.c_str(), (folder + game).c_str(), FALSE));
    return folder;
  }

  void WriteConfig(const std::string& bytes) {
    SHCreateDirectoryExW(nullptr, configFolder_.c_str(), nullptr);
    ASSERT_TRUE(WriteTextFile(configFolder_ + L"\\config.ini", bytes));
  }

  std::wstring inspector_;
  std::wstring reportPath_;
  std::wstring configFolder_;
  wchar_t savedDocuments_[MAX_PATH] = L"%USERPROFILE%\\Documents";
};

struct HandoverCase {
  const char* name;
  const wchar_t* arguments;
  std::vector<WORD> commands;  // given in the main dialog, in order; the last ends it
  StoredLanguage user;
  StoredLanguage machine;
  std::string configIni;  // empty: no file
  // What the game reads:
  const wchar_t* fileName;
  const wchar_t* switches;
  const wchar_t* gameLanguage;
  std::vector<std::wstring> joypad;  // empty: "no file"
  StoredLanguage userAfter;
};

const HandoverCase HandoverCases[] = {
    {"switches, both hives, an ANSI file", L"-dx9 -mce", {}, Text(L"1049"), Text(L"1041"),
     "; written by hand\r\n[JOYPAD]\r\nA=1\r\nLSTICK_HORZ = -X\r\nProductName=Pad X\r\n[OTHER]\r\nK=V\r\n",
     L"VKDDX9.exe", L"\"-dx9 -mce\"", L"1049 Russian, from HKEY_CURRENT_USER",
     {L"A=1", L"LSTICK_HORZ=-X", L"ProductName=Pad X"}, Text(L"1049")},
    {"the player picks Spanish, then DirectX 10", L"", {IDM_LANGUAGE_SPANISH, IDC_RUN_DIRECTX10}, NoKey(),
     Text(L"1041"), "",
     L"VKDDX10.exe", L"\"-dx10\"", L"1034 Spanish, from HKEY_CURRENT_USER", {}, Text(L"1034")},
    {"the machine-wide language", L"-dx10", {}, NoKey(), Text(L"1040"), "",
     L"VKDDX10.exe", L"\"-dx10\"", L"1040 Italian, from HKEY_LOCAL_MACHINE", {}, NoKey()},
    {"a number, not its text", L"-dx9", {}, Dword(1041), Text(L"1041"), "",
     L"VKDDX9.exe", L"\"-dx9\"", L"not a language the game knows, from HKEY_CURRENT_USER", {}, Dword(1041)},
    {"the text under another type", L"-dx9", {}, Text(L"1045", REG_EXPAND_SZ), NoKey(), "",
     L"VKDDX9.exe", L"\"-dx9\"",
     L"1045 Polish, from HKEY_CURRENT_USER (stored as REG_EXPAND_SZ; the launcher writes REG_SZ)", {},
     Text(L"1045", REG_EXPAND_SZ)},
    {"nothing stored, a UTF-16 file", L"-dx10", {}, NoKey(), NoKey(),
     Utf16File(L"[JOYPAD]\r\nProductName=\u30b2\u30fc\u30e0\u30d1\u30c3\u30c9\r\nProductType=2\r\n"),
     L"VKDDX10.exe", L"\"-dx10\"", L"not set", {L"ProductName=\u30b2\u30fc\u30e0\u30d1\u30c3\u30c9", L"ProductType=2"},
     NoKey()},
};

TEST_F(Handover, TheGameReadsWhatTheLauncherHandedOver) {
  const std::wstring folder = InstallWithInspector(L"VARKOLD Ärger");
  const std::wstring elsewhere = MakeTempFolder(L"vk-elsewhere");
  for (const HandoverCase& c : HandoverCases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(reportPath_.c_str());
    DeleteFileW((configFolder_ + L"\\config.ini").c_str());
    WriteStoredLanguage(HKEY_CURRENT_USER, c.user);
    WriteStoredLanguage(HKEY_LOCAL_MACHINE, c.machine);
    if (!c.configIni.empty()) WriteConfig(c.configIni);

    RunningProcess launcher = StartProgram(folder + L"\\Launcher.exe", c.arguments, elsewhere);
    ASSERT_TRUE(launcher.process);
    if (!c.commands.empty()) {
      HWND dialog = nullptr;
      ASSERT_TRUE(WaitUntil([&] {
        const auto windows = ProcessWindows(launcher.id);
        dialog = windows.empty() ? nullptr : windows.front();
        return dialog != nullptr;
      }));
      for (WORD command : c.commands) PostMessageW(dialog, WM_COMMAND, command, 0);
    }
    EXPECT_EQ(launcher.WaitForExit(), 0u);

    const Report report = ReadReport(reportPath_);
    ASSERT_FALSE(report.lines.empty()) << "the game build wrote no report";
    EXPECT_EQ(report.Field(L"File name"), c.fileName);
    EXPECT_EQ(report.Field(L"Switches"), c.switches);
    EXPECT_EQ(report.Field(L"Working folder"), folder);
    EXPECT_EQ(report.Field(L"Game language"), c.gameLanguage);
    EXPECT_EQ(report.Field(L"config.ini"), configFolder_ + L"\\config.ini");
    if (c.joypad.empty()) {
      EXPECT_EQ(report.Field(L"config.ini file"), L"no file");
    } else {
      EXPECT_EQ(report.Joypad(), c.joypad);
      // Neither the launcher nor the inspector touch the file.
      EXPECT_EQ(FileBytes(configFolder_ + L"\\config.ini"), c.configIni);
    }
    EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), c.userAfter);
    EXPECT_EQ(ReadStoredLanguage(HKEY_LOCAL_MACHINE), c.machine);
  }
}

// The report of the inspector itself, started with /dump as a script would:
// raw switches with quotes, tabs and blanks; the stored bytes, shown as they are.
TEST_F(Handover, TheInspectorShowsWhatIsStoredAsItIs) {
  const std::wstring dump = workFolder_ + L"\\dump.txt";
  SetEnvironmentVariableW(L"VARKOLD_HANDOVER_REPORT", nullptr);
  WriteStoredLanguage(HKEY_CURRENT_USER, Text(L"1041", REG_SZ, false));
  WriteStoredLanguage(HKEY_LOCAL_MACHINE, Value(REG_BINARY, {0x31, 0x00, 0x30}));
  WriteConfig("[OTHER]\r\nA=1\r\n");

  const std::wstring arguments = L"-dx9 \"a \t b\" /dump \"" + dump + L"\"";
  EXPECT_EQ(StartProgram(inspector_, arguments).WaitForExit(), 0u);
  const Report report = ReadReport(dump);
  EXPECT_EQ(report.Field(L"File name"), L"handover_inspector.exe");
  EXPECT_EQ(report.Field(L"Switches"), L"\"-dx9 \"a \\t b\" /dump \"" + dump + L"\"\"");
  EXPECT_EQ(report.Field(L"HKCU Language"), L"REG_SZ, 8 bytes: 31 00 30 00 34 00 31 00");
  EXPECT_EQ(report.Field(L"HKCU names"), L"1041 Japanese");
  EXPECT_EQ(report.Field(L"HKLM Language"), L"REG_BINARY, 3 bytes: 31 00 30");
  EXPECT_EQ(report.Field(L"HKLM as text"), L"\"1\"");
  EXPECT_EQ(report.Field(L"HKLM names"), L"not a language the game knows");
  EXPECT_EQ(report.Field(L"[JOYPAD]"), L"no keys");

  // It only reads: what it was shown is still there, byte for byte.
  EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), Text(L"1041", REG_SZ, false));
  EXPECT_EQ(ReadStoredLanguage(HKEY_LOCAL_MACHINE), Value(REG_BINARY, {0x31, 0x00, 0x30}));

  // A file it cannot write is a failure a script sees.
  EXPECT_EQ(StartProgram(inspector_, L"/dump \"" + workFolder_ + L"\\no such folder\\dump.txt\"").WaitForExit(), 1u);
}

}  // namespace
}  // namespace testing_support
