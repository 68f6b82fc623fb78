// The main launcher dialog in-process: the real template from the built
// Launcher.exe with the real dialog procedure, and the real registry of the
// test prefix.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "child_test.h"
#include "dialog_runner.h"
#include "launcher/startup.h"
#include "launcher_resources.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "test_process.h"
#include "test_registry.h"
#include "ui/language_setting.h"
#include "ui/language_table.h"
#include "ui/main_dialog.h"

namespace testing_support {
namespace {

// What the game reads for each item of the Language menu.
struct GameLanguage {
  UINT command;
  const wchar_t* lcid;
};

constexpr GameLanguage GameLanguages[] = {
    {IDM_LANGUAGE_JAPANESE, L"1041"}, {IDM_LANGUAGE_ENGLISH, L"1033"}, {IDM_LANGUAGE_GERMAN, L"1031"},
    {IDM_LANGUAGE_FRENCH, L"1036"},   {IDM_LANGUAGE_SPANISH, L"1034"}, {IDM_LANGUAGE_ITALIAN, L"1040"},
    {IDM_LANGUAGE_RUSSIAN, L"1049"},  {IDM_LANGUAGE_POLISH, L"1045"},  {IDM_LANGUAGE_CZECH, L"1029"},
};

INT_PTR RunMainDialog(const std::function<void(HWND)>& whileOpen) {
  return RunModalDialog(LauncherResourceModule(), IDD_MAIN_DIALOG, MainDialogProc, whileOpen);
}

// The Language item that carries the radio mark: 0 when none does, ~0u when
// several do.
UINT MarkedLanguage(HWND dialog) {
  HMENU menu = GetMenu(dialog);
  UINT marked = 0;
  for (UINT id = IDM_LANGUAGE_JAPANESE; id <= IDM_LANGUAGE_CZECH; ++id) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!GetMenuItemInfoW(menu, id, FALSE, &item)) {
      ADD_FAILURE() << "no menu item " << id;
      continue;
    }
    if (!(item.fState & MFS_CHECKED)) continue;
    EXPECT_TRUE(item.fType & MFT_RADIOCHECK) << "item " << id << " is checked without the radio bullet";
    marked = marked ? ~0u : id;
  }
  return marked;
}

class MainDialog : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(LauncherResourceModule(), nullptr) << "Launcher.exe (VKTEST_LAUNCHER_EXE) cannot be loaded";
    InstanceHandle = LauncherResourceModule();
    DeleteLanguageKeys();
  }
  void TearDown() override { DeleteLanguageKeys(); }
};

// The display language's own language: CTest runs this program under several
// display languages and says which.
constexpr int DisplayDefault = -1;

struct StoredCase {
  const char* what;
  StoredLanguage user;
  StoredLanguage machine;
  int marked;  // LanguageIndex, or DisplayDefault
};

std::wstring Repeated(size_t count, wchar_t c = L'1') { return std::wstring(count, c); }

const StoredCase StoredCases[] = {
    {"nothing stored",                         NoKey(),                                NoKey(),               DisplayDefault},
    {"keys without the value",                 KeyWithoutValue(),                      KeyWithoutValue(),     DisplayDefault},
    {"only the machine-wide value",            NoKey(),                                Text(L"1040"),         LanguageItalian},
    {"user's key without value, machine's",    KeyWithoutValue(),                      Text(L"1040"),         LanguageItalian},
    {"both hives: the user's wins",            Text(L"1049"),                          Text(L"1041"),         LanguageRussian},
    {"Spanish, modern sort",                   Text(L"3082"),                          NoKey(),               DisplayDefault},
    {"the user's unknown value hides machine's", Text(L"3082"),                        Text(L"1040"),         DisplayDefault},
    {"REG_DWORD 1041",                         Dword(1041),                            NoKey(),               DisplayDefault},
    {"REG_EXPAND_SZ 1045",                     Text(L"1045", REG_EXPAND_SZ),           NoKey(),               LanguagePolish},
    {"REG_BINARY spelling 1029",               Text(L"1029", REG_BINARY),              NoKey(),               LanguageCzech},
    {"four characters, no terminator",         Text(L"1041", REG_SZ, false),           NoKey(),               LanguageJapanese},
    {"text after the terminator",              Text(std::wstring(L"1031\0xyz", 8)),    NoKey(),               LanguageGerman},
    {"empty text",                             Text(L""),                              NoKey(),               DisplayDefault},
    {"leading zero",                           Text(L"01041"),                         NoKey(),               DisplayDefault},
    {"trailing blank",                         Text(L"1041 "),                         NoKey(),               DisplayDefault},
    {"leading blank",                          Text(L" 1041"),                         NoKey(),               DisplayDefault},
    {"hexadecimal",                            Text(L"0x411"),                         NoKey(),               DisplayDefault},
    {"64 characters fill the 130 bytes",       Text(Repeated(64)),                     NoKey(),               DisplayDefault},
    {"64 characters, first 1033 then NUL",     Text(L"1033" + Repeated(1, L'\0') + Repeated(59)), NoKey(),    LanguageEnglish},
    {"65 characters",                          Text(Repeated(65)),                     NoKey(),               DisplayDefault},
    {"65 characters, first 1033 then NUL",     Text(L"1033" + Repeated(1, L'\0') + Repeated(60)), NoKey(),    DisplayDefault},
    {"65 characters without terminator",       Text(Repeated(65), REG_SZ, false),      NoKey(),               DisplayDefault},
    {"only machine-wide, 65 characters",       NoKey(),                                Text(Repeated(65)),    DisplayDefault},
    // Wine's SHRegGetUSValueW would read the machine-wide value into a buffer
    // sized for the user's: the user's value still decides, safely.
    {"user's 300 characters, machine's 1041",  Text(Repeated(300)),                    Text(L"1041"),         DisplayDefault},
    {"user's 1049, machine's 300 characters",  Text(L"1049"),                          Text(Repeated(300)),   LanguageRussian},
};

// Opening the dialog puts the radio mark on the stored language, or on the
// display language's where nothing usable is stored, and writes nothing.
TEST_F(MainDialog, MarksTheStoredLanguageAndLeavesTheRegistryAsItWas) {
  const std::wstring displayDefault = Environment(L"VKTEST_DISPLAY_LANGUAGE_INDEX");
  if (displayDefault.empty()) GTEST_SKIP() << "VKTEST_DISPLAY_LANGUAGE_INDEX is not set";
  for (const StoredCase& c : StoredCases) {
    SCOPED_TRACE(c.what);
    WriteStoredLanguage(HKEY_CURRENT_USER, c.user);
    WriteStoredLanguage(HKEY_LOCAL_MACHINE, c.machine);
    ASSERT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), c.user);
    ASSERT_EQ(ReadStoredLanguage(HKEY_LOCAL_MACHINE), c.machine);
    const UINT expected =
        IDM_LANGUAGE_JAPANESE + (c.marked == DisplayDefault ? std::stoi(displayDefault) : c.marked);

    UINT marked = 0;
    EXPECT_EQ(RunMainDialog([&](HWND dialog) { marked = MarkedLanguage(dialog); }), LeftOpen);
    EXPECT_EQ(marked, expected);
    EXPECT_EQ(CurrentLanguage, expected);
    EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), c.user);
    EXPECT_EQ(ReadStoredLanguage(HKEY_LOCAL_MACHINE), c.machine);
  }
}

// Each choice is written at once, as REG_SZ of 10 bytes for the current user
// only, also when it is already the current language: the first time with no
// key in either hive, as for a new player.
TEST_F(MainDialog, ChoosingALanguageStoresItForTheUserAtOnce) {
  for (const StoredLanguage& machine : {NoKey(), Text(L"1041")}) {
    SCOPED_TRACE(testing::Message() << "machine-wide: " << machine);
    DeleteLanguageKeys();
    WriteStoredLanguage(HKEY_LOCAL_MACHINE, machine);
    EXPECT_EQ(RunMainDialog([&](HWND dialog) {
                EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), NoKey()) << "opening the dialog wrote";
                for (const GameLanguage& language : GameLanguages) {
                  SCOPED_TRACE(testing::Message() << "command " << language.command);
                  for (const char* when : {"chosen", "chosen again"}) {
                    SCOPED_TRACE(when);
                    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(language.command, 0), 0);
                    EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), Text(language.lcid, REG_SZ));
                    EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER).bytes.size(), 10u);
                    EXPECT_EQ(ReadStoredLanguage(HKEY_LOCAL_MACHINE), machine);
                    EXPECT_EQ(MarkedLanguage(dialog), language.command);
                    EXPECT_EQ(CurrentLanguage, language.command);
                    // So that choosing it again must write it again.
                    WriteStoredLanguage(HKEY_CURRENT_USER, KeyWithoutValue());
                  }
                }
              }),
              LeftOpen);
  }
}

std::function<void(HWND)> ClickButton(int id) {
  return [id](HWND dialog) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}

std::function<void(HWND)> Post(UINT message, WPARAM wParam) {
  return [=](HWND dialog) {
    PostMessageW(dialog, message, wParam, 0);
    PumpPostedMessages();
  };
}

struct EndingCase {
  const char* what;
  std::function<void(HWND)> act;
  INT_PTR result;
};

// The dialog ends with the id of the button that closed it; other commands
// leave it open and store nothing.
TEST_F(MainDialog, EndsWithTheIdOfItsButton) {
  const EndingCase cases[] = {
      {"DirectX 9 button",   ClickButton(IDC_RUN_DIRECTX9),              IDC_RUN_DIRECTX9},
      {"DirectX 10 button",  ClickButton(IDC_RUN_DIRECTX10),             IDC_RUN_DIRECTX10},
      {"Close button",       ClickButton(IDCANCEL),                      IDCANCEL},
      {"Esc key",            Post(WM_KEYDOWN, VK_ESCAPE),                IDCANCEL},
      {"close box",          Post(WM_SYSCOMMAND, SC_CLOSE),              IDCANCEL},
      {"command IDOK",       Post(WM_COMMAND, IDOK),                     LeftOpen},
      {"Enter key",          Post(WM_KEYDOWN, VK_RETURN),                LeftOpen},
      {"command 40010",      Post(WM_COMMAND, 40010),                    LeftOpen},
  };
  for (const EndingCase& c : cases) {
    SCOPED_TRACE(c.what);
    UINT marked = 0;
    EXPECT_EQ(RunMainDialog([&](HWND dialog) {
                c.act(dialog);
                if (IsWindowVisible(dialog)) marked = MarkedLanguage(dialog);
              }),
              c.result);
    if (c.result == LeftOpen) {
      EXPECT_EQ(marked, CurrentLanguage);
    }
    EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), NoKey());
  }
}

// Wine reports the Windows version that HKCU\Software\Wine\AppDefaults\<exe>
// names, read when a process starts: each version runs in a child.
struct VersionCase {
  const wchar_t* wineVersion;
  DWORD major;
  bool enabled;
};

constexpr VersionCase VersionCases[] = {
    {L"winxp", 5, false},
    {L"win2003", 5, false},
    {L"vista", 6, true},
    {L"win8", 6, true},
};

constexpr wchar_t VersionChild[] = L"vk_windows_version_child.exe";

TEST_F(MainDialog, DirectX10ButtonNeedsWindows6) {
  const std::wstring appKey = std::wstring(L"Software\\Wine\\AppDefaults\\") + VersionChild;
  for (const VersionCase& c : VersionCases) {
    SCOPED_TRACE(testing::Message() << "Wine version " << testing::PrintToString(std::wstring(c.wineVersion)));
    platform::unique_hkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, appKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.wineVersion),
                   static_cast<DWORD>((wcslen(c.wineVersion) + 1) * sizeof(wchar_t)));
    EXPECT_TRUE(RunTestsInChild(VersionChild, L"MainDialogChild.*",
                                {{L"VKTEST_EXPECTED_MAJOR_VERSION", std::to_wstring(c.major)},
                                 {L"VKTEST_EXPECTED_DX10_BUTTON", c.enabled ? L"enabled" : L"greyed"}}));
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, appKey.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, appKey.c_str());
}

TEST(MainDialogChild, DirectX10ButtonFollowsTheReportedVersion) {
  if (!InChildProcess()) GTEST_SKIP() << "runs in a child of MainDialog.DirectX10ButtonNeedsWindows6";
  ASSERT_NE(LauncherResourceModule(), nullptr);
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionExW(&version));
  ASSERT_EQ(std::to_wstring(version.dwMajorVersion), Environment(L"VKTEST_EXPECTED_MAJOR_VERSION"));
  bool enabled = false;
  EXPECT_EQ(RunMainDialog([&](HWND dialog) { enabled = IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_DIRECTX10)); }),
            LeftOpen);
  EXPECT_EQ(enabled ? L"enabled" : L"greyed", Environment(L"VKTEST_EXPECTED_DX10_BUTTON"));
  // The DirectX 9 build is there whatever the version.
  EXPECT_EQ(RunMainDialog([&](HWND dialog) { enabled = IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_DIRECTX9)); }),
            LeftOpen);
  EXPECT_TRUE(enabled);
}

}  // namespace
}  // namespace testing_support
