// The main dialog and the game's language setting, in-process over the real registry.
#include <optional>

#include "platform/instance_handle.h"
#include "platform/system_error.h"
#include "resource.h"
#include "test_support.h"
#include "ui/language_table.h"
#include "ui/main_dialog.h"

namespace testing_support {
namespace {

// The key is spelled out on purpose: it is the contract with the game.
constexpr wchar_t GameKey[] = L"SOFTWARE\\MORVANE\\VARKOLD";

// A "Language" value: its type and bytes. No value: nullopt; no key either: NoKey.
using Stored = std::optional<std::pair<DWORD, std::string>>;
const Stored NoKey = std::pair<DWORD, std::string>(REG_NONE, "no key");

Stored Text(const std::wstring& text, DWORD type = REG_SZ, size_t terminators = 1) {
  return std::pair(type, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + terminators) * 2));
}

Stored Read(HKEY hive) {
  platform::unique_hkey key;
  if (RegOpenKeyExW(hive, GameKey, 0, KEY_QUERY_VALUE, key.put())) return NoKey;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), L"Language", nullptr, &type, nullptr, &size)) return std::nullopt;
  std::string bytes(size, '\0');
  RegQueryValueExW(key.get(), L"Language", nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
  return std::pair(type, bytes);
}

void Write(HKEY hive, const Stored& stored) {
  RegDeleteTreeW(hive, L"SOFTWARE\\MORVANE");
  platform::unique_hkey key;
  if (stored != NoKey) RegCreateKeyExW(hive, GameKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  // Windows and Wine count a terminator following the bytes in memory into a string value: none may follow a text.
  const std::string bytes = stored ? stored->second + "\xFF\xFF" : "";
  if (stored && stored != NoKey)
    RegSetValueExW(key.get(), L"Language", 0, stored->first, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size() - 2));
}

// The Language item with the radio mark: 0 when none has it, ~0u when several do.
UINT MarkedLanguage(HWND dialog) {
  UINT marked = 0;
  for (UINT id = IDM_LANGUAGE_JAPANESE; id <= IDM_LANGUAGE_CZECH; ++id) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(GetMenu(dialog), id, FALSE, &item);
    if ((item.fState & MFS_CHECKED) && (item.fType & MFT_RADIOCHECK)) marked = marked ? ~0u : id;
  }
  return marked;
}

class LanguageSetting : public testing::Test {
 protected:
  void SetUp() override { Write(HKEY_CURRENT_USER, NoKey), Write(HKEY_LOCAL_MACHINE, NoKey); }
  void TearDown() override { SetUp(); }
  static HWND OpenMainDialog() {  // hidden, from the built exe's template with the program's procedure
    InstanceHandle = LauncherResources();
    return CreateDialogParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, MainDialogProc, 0);
  }
};

// Else the display language's (CTest runs this under two): its primary language, any region; any other gets English.
TEST_F(LanguageSetting, OpeningMarksTheStoredLanguageAndWritesNothing) {
  EXPECT_EQ(LanguageIndexOfDisplayLanguage(MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN)), LanguageEnglish);
  const UINT display = Environment(L"LC_ALL").starts_with(L"de_") ? IDM_LANGUAGE_GERMAN : IDM_LANGUAGE_ENGLISH;
  const std::wstring huge(100000, L'7');
  const struct {
    const char* what;
    Stored user, machine;
    UINT marked;
  } cases[] = {
      {"nothing stored", NoKey, NoKey, display},
      {"the user's key without the value", std::nullopt, Text(L"1040"), IDM_LANGUAGE_ITALIAN},
      {"the user's before the machine's", Text(L"1049"), Text(L"1041"), IDM_LANGUAGE_RUSSIAN},
      {"the user's unknown value hides the machine's", Text(L"3082"), Text(L"1040"), display},
      {"REG_DWORD 1041", std::pair<DWORD, std::string>(REG_DWORD, "\x11\x04\0\0"), NoKey, display},
      {"REG_EXPAND_SZ 1045", Text(L"1045", REG_EXPAND_SZ), NoKey, IDM_LANGUAGE_POLISH},
      {"no terminator", Text(L"1029", REG_SZ, 0), NoKey, IDM_LANGUAGE_CZECH},
      {"a leading zero", Text(L"01041"), NoKey, display},
      {"65 characters", Text(L"1033" + std::wstring(61, L' ')), NoKey, display},
      {"too long, the machine's usable", Text(huge), Text(L"1041"), display},
      {"too long machine-wide only", NoKey, Text(huge), display},
  };
  for (const auto& c : cases) {
    Write(HKEY_CURRENT_USER, c.user);
    Write(HKEY_LOCAL_MACHINE, c.machine);
    const HWND dialog = OpenMainDialog();
    EXPECT_EQ(MarkedLanguage(dialog), c.marked) << c.what;
    DestroyWindow(dialog);
    EXPECT_TRUE(Read(HKEY_CURRENT_USER) == c.user && Read(HKEY_LOCAL_MACHINE) == c.machine) << c.what << " written";
  }
}

// The very first time too, and again when chosen again. One that cannot be stored (no lasting key under a volatile one)
// keeps the mark, and one box owned by the dialog says why in the display language (CTest runs this under two).
TEST_F(LanguageSetting, ChoosingALanguageStoresItForTheUserAtOnceOrSaysWhyNot) {
  const std::pair<UINT, const wchar_t*> languages[] = {
      {IDM_LANGUAGE_JAPANESE, L"1041"}, {IDM_LANGUAGE_ENGLISH, L"1033"}, {IDM_LANGUAGE_GERMAN, L"1031"},
      {IDM_LANGUAGE_FRENCH, L"1036"},   {IDM_LANGUAGE_SPANISH, L"1034"}, {IDM_LANGUAGE_ITALIAN, L"1040"},
      {IDM_LANGUAGE_RUSSIAN, L"1049"},  {IDM_LANGUAGE_POLISH, L"1045"},  {IDM_LANGUAGE_CZECH, L"1029"},
  };
  const std::wstring notSaved = Environment(L"LC_ALL").starts_with(L"de_")
                                    ? L"Die Spielsprache konnte nicht gespeichert werden."
                                    : L"The game's language could not be saved.";
  const HWND dialog = OpenMainDialog();
  for (const auto& [command, lcid] : languages) {
    for (int time = 0; time < 2; ++time) {
      SendMessageW(dialog, WM_COMMAND, command, 0);
      EXPECT_EQ(Read(HKEY_CURRENT_USER), Text(lcid)) << lcid;
      EXPECT_EQ(MarkedLanguage(dialog), command);
      Write(HKEY_CURRENT_USER, std::nullopt);  // so that choosing it again must write again
    }
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\MORVANE");
  platform::unique_hkey maker;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\MORVANE", 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                  maker.put(), nullptr);
  const std::wstring box = AnswerBox(dialog, [&] { SendMessageW(dialog, WM_COMMAND, IDM_LANGUAGE_ITALIAN, 0); });
  EXPECT_EQ(box, WindowText(dialog) + L"\n" + notSaved + L"\n\n" +
                     ErrorReasonText(ERROR_CHILD_MUST_BE_VOLATILE, SystemErrorText(ERROR_CHILD_MUST_BE_VOLATILE)));
  EXPECT_EQ(MarkedLanguage(dialog), UINT{IDM_LANGUAGE_CZECH});
  DestroyWindow(dialog);
  EXPECT_EQ(Read(HKEY_CURRENT_USER), NoKey);
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE), NoKey);
}

}  // namespace
}  // namespace testing_support
