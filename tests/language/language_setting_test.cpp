// The game's language setting: the main dialog run in-process from the built
// exe's template with the program's own procedure, over the test prefix's
// real registry. CTest runs the stored-language cases under an English and a
// German (Austria) display language.
#include <gtest/gtest.h>

#include <string>

#include "launcher/startup.h"
#include "resource.h"
#include "test_support.h"
#include "ui/language_setting.h"
#include "ui/language_table.h"
#include "ui/localised_texts.h"
#include "ui/main_dialog.h"

namespace testing_support {
namespace {

// The key is spelled out here on purpose: it is the contract with the game.
constexpr wchar_t GameKey[] = L"SOFTWARE\\MORVANE\\VARKOLD";

// What one hive holds at the game's key.
struct Stored {
  enum { NoKey, KeyOnly, Value } what = NoKey;
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const Stored&) const = default;
};

Stored KeyOnly() { return {Stored::KeyOnly, REG_NONE, {}}; }
Stored Bytes(DWORD type, std::string bytes) { return {Stored::Value, type, std::move(bytes)}; }
// Text in UTF-16LE, its terminating NUL included unless told otherwise.
Stored Text(const std::wstring& text, DWORD type = REG_SZ, bool terminated = true) {
  return Bytes(type, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + terminated) * 2));
}

Stored Read(HKEY hive) {
  platform::unique_hkey key;
  if (RegOpenKeyExW(hive, GameKey, 0, KEY_QUERY_VALUE, key.put())) return {};
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), L"Language", nullptr, &type, nullptr, &size)) return KeyOnly();
  std::string bytes(size, '\0');
  RegQueryValueExW(key.get(), L"Language", nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
  return Bytes(type, bytes);
}

void Write(HKEY hive, const Stored& stored) {
  RegDeleteTreeW(hive, L"SOFTWARE\\MORVANE");
  RegDeleteKeyW(hive, L"SOFTWARE\\MORVANE");
  platform::unique_hkey key;
  if (stored.what != Stored::NoKey) RegCreateKeyExW(hive, GameKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  // Windows and Wine count a terminator that follows the bytes in memory into
  // a string value: a text stored without one is followed by anything else.
  const std::string bytes = stored.bytes + "\xFF\xFF";
  if (stored.what == Stored::Value)
    RegSetValueExW(key.get(), L"Language", 0, stored.type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(stored.bytes.size()));
}

// The item of the Language menu that carries the radio mark: 0 when none
// does, ~0u when several do.
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
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    Write(HKEY_CURRENT_USER, {});
    Write(HKEY_LOCAL_MACHINE, {});
  }
  static INT_PTR RunMainDialog(const std::function<void(HWND)>& whileOpen) {
    InstanceHandle = LauncherResources();
    return RunModalDialog(LauncherResources(), IDD_MAIN_DIALOG, MainDialogProc, whileOpen);
  }
};

// Opening marks the user's language, else the machine-wide one, else (for
// nothing usable) the display language's; it writes nothing.
TEST_F(LanguageSetting, OpeningMarksTheStoredLanguageAndWritesNothing) {
  const UINT display = Environment(L"LC_ALL").starts_with(L"de_") ? IDM_LANGUAGE_GERMAN : IDM_LANGUAGE_ENGLISH;
  const std::wstring tooLong(100000, L'7');
  const struct {
    const char* what;
    Stored user, machine;
    UINT marked;
  } cases[] = {
      {"nothing stored", {}, {}, display},
      {"machine-wide only", {}, Text(L"1040"), IDM_LANGUAGE_ITALIAN},
      {"the user's key without the value", KeyOnly(), Text(L"1040"), IDM_LANGUAGE_ITALIAN},
      {"the user's before the machine's", Text(L"1049"), Text(L"1041"), IDM_LANGUAGE_RUSSIAN},
      {"the user's unknown value hides the machine's", Text(L"3082"), Text(L"1040"), display},
      {"REG_DWORD 1041", Bytes(REG_DWORD, "\x11\x04\0\0"), {}, display},
      {"REG_EXPAND_SZ 1045", Text(L"1045", REG_EXPAND_SZ), {}, IDM_LANGUAGE_POLISH},
      {"no terminator", Text(L"1029", REG_SZ, false), {}, IDM_LANGUAGE_CZECH},
      {"a leading zero", Text(L"01041"), {}, display},
      {"a trailing blank", Text(L"1041 "), {}, display},
      {"hexadecimal", Text(L"0x411"), {}, display},
      {"65 characters", Text(L"1033" + std::wstring(61, L' ')), {}, display},
      {"too long, the machine's usable", Text(tooLong), Text(L"1041"), display},
      {"the user's usable, the machine's too long", Text(L"1049"), Text(tooLong), IDM_LANGUAGE_RUSSIAN},
      {"too long in both", Text(tooLong), Text(tooLong), display},
      {"binary in both", Bytes(REG_BINARY, std::string(131, '\xFF')), Bytes(REG_BINARY, "1"), display},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write(HKEY_CURRENT_USER, c.user);
    Write(HKEY_LOCAL_MACHINE, c.machine);
    UINT marked = 0;
    EXPECT_EQ(RunMainDialog([&](HWND dialog) { marked = MarkedLanguage(dialog); }), LeftOpen);
    EXPECT_EQ(marked, c.marked);
    EXPECT_TRUE(Read(HKEY_CURRENT_USER) == c.user) << "the user's value changed";
    EXPECT_TRUE(Read(HKEY_LOCAL_MACHINE) == c.machine) << "the machine's value changed";
  }
}

// Each choice is written at once as REG_SZ of 10 bytes for the current user
// only, the first time too (no key in either hive), and again when chosen again.
TEST_F(LanguageSetting, ChoosingALanguageStoresItForTheUserAtOnce) {
  const std::pair<UINT, const wchar_t*> languages[] = {
      {IDM_LANGUAGE_JAPANESE, L"1041"}, {IDM_LANGUAGE_ENGLISH, L"1033"}, {IDM_LANGUAGE_GERMAN, L"1031"},
      {IDM_LANGUAGE_FRENCH, L"1036"},   {IDM_LANGUAGE_SPANISH, L"1034"}, {IDM_LANGUAGE_ITALIAN, L"1040"},
      {IDM_LANGUAGE_RUSSIAN, L"1049"},  {IDM_LANGUAGE_POLISH, L"1045"},  {IDM_LANGUAGE_CZECH, L"1029"},
  };
  for (const Stored& machine : {Stored{}, Text(L"1041")}) {
    Clear();
    Write(HKEY_LOCAL_MACHINE, machine);
    RunMainDialog([&](HWND dialog) {
      for (const auto& [command, lcid] : languages) {
        for (int time = 0; time < 2; ++time) {
          SendMessageW(dialog, WM_COMMAND, command, 0);
          EXPECT_EQ(Read(HKEY_CURRENT_USER), Text(lcid)) << lcid;
          EXPECT_EQ(MarkedLanguage(dialog), command);
          Write(HKEY_CURRENT_USER, KeyOnly());  // so that choosing it again must write again
        }
      }
    });
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE), machine);
  }
}

// The gamepad dialog's texts follow the display language by its primary
// language alone; every other language gets English.
TEST(DisplayLanguage, ChoosesTheGamepadDialogsTexts) {
  const struct {
    LANGID display;
    const wchar_t *title, *ok, *cancel, *lastType;
  } cases[] = {
      {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), L"パッド設定", L"OK", L"キャンセル", L"パッドタイプ - 6 -"},
      {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), L"Gamepad Settings", L"OK", L"CANCEL", L"Gamepad Type -6-"},
      {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN), L"Gamepad-Einstellungen", L"OK", L"ABBRECHEN", L"Gamepad-Typ -6-"},
      {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH_CANADIAN), L"Configuration manette", L"OK", L"ANNULER", L"Type de manette -6-"},
      {MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MEXICAN), L"Ajustes Mando", L"ACEPTAR", L"CANCELAR", L"Tipo de mando -6-"},
      {MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), L"Impostazioni del gamepad", L"OK", L"ANNULLA", L"Tipo di gamepad -6-"},
      {MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), L"Настройки геймпада", L"\u041E\u041A", L"ОТМЕНА", L"Тип геймпада -6-"},
      {MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT), L"Gamepad", L"OK", L"ANULUJ", L"Gamepad typu -6-"},
      {MAKELANGID(LANG_CZECH, SUBLANG_DEFAULT), L"Nastavení ovladače", L"OK", L"Zrušit", L"Ovladač -6-"},
      {MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), L"Gamepad Settings", L"OK", L"CANCEL", L"Gamepad Type -6-"},
      {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), L"Gamepad Settings", L"OK", L"CANCEL", L"Gamepad Type -6-"},
  };
  for (const auto& c : cases) {
    const LocalisedTextSet& texts = LocalisedTexts[LanguageIndexOfDisplayLanguage(c.display)];
    EXPECT_EQ(std::wstring(texts.GamepadSettingsTitle) + L"|" + texts.OkText + L"|" + texts.CancelText + L"|" +
                  texts.GamepadTypeNames[5],
              std::wstring(c.title) + L"|" + c.ok + L"|" + c.cancel + L"|" + c.lastType);
  }
}

}  // namespace
}  // namespace testing_support
