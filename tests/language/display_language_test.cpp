// Which language a Windows display language gives: the launcher's default
// language and the texts of the gamepad settings dialog follow it.
#include <gtest/gtest.h>

#include <string>

#include "test_process.h"
#include "ui/language_table.h"
#include "ui/localised_texts.h"

namespace {

struct DisplayLanguageCase {
  const char* name;
  LANGID display;
  LanguageIndex expected;
};

constexpr DisplayLanguageCase DisplayLanguages[] = {
    {"ja-JP",                   MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN),           LanguageJapanese},
    {"en-US",                   MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),                LanguageEnglish},
    {"en-GB",                   MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK),                LanguageEnglish},
    {"English, neutral",        MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL),                   LanguageEnglish},
    {"de-DE",                   MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),                     LanguageGerman},
    {"de-AT",                   MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN),            LanguageGerman},
    {"de-CH",                   MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS),               LanguageGerman},
    {"fr-FR",                   MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),                     LanguageFrench},
    {"fr-CA",                   MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH_CANADIAN),            LanguageFrench},
    {"es-ES, traditional sort", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH),                   LanguageSpanish},
    {"es-ES, modern sort",      MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN),            LanguageSpanish},
    {"es-MX",                   MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MEXICAN),           LanguageSpanish},
    {"it-IT",                   MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),                   LanguageItalian},
    {"it-CH",                   MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN_SWISS),             LanguageItalian},
    {"ru-RU",                   MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA),            LanguageRussian},
    {"pl-PL",                   MAKELANGID(LANG_POLISH, SUBLANG_POLISH_POLAND),              LanguagePolish},
    {"cs-CZ",                   MAKELANGID(LANG_CZECH, SUBLANG_CZECH_CZECH_REPUBLIC),        LanguageCzech},
    // Every other language gets English, neighbours of ours included.
    {"pt-BR",                   MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN),   LanguageEnglish},
    {"zh-CN",                   MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),        LanguageEnglish},
    {"zh-TW",                   MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL),       LanguageEnglish},
    {"ko-KR",                   MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN),                     LanguageEnglish},
    {"hu-HU",                   MAKELANGID(LANG_HUNGARIAN, SUBLANG_HUNGARIAN_HUNGARY),       LanguageEnglish},
    {"sk-SK",                   MAKELANGID(LANG_SLOVAK, SUBLANG_SLOVAK_SLOVAKIA),            LanguageEnglish},
    {"uk-UA",                   MAKELANGID(LANG_UKRAINIAN, SUBLANG_UKRAINIAN_UKRAINE),       LanguageEnglish},
    {"nl-NL",                   MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH),                       LanguageEnglish},
    {"neutral",                 MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),                   LanguageEnglish},
    {"user default",            MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),                   LanguageEnglish},
};

TEST(DisplayLanguage, GivesTheLanguageOfItsPrimaryLanguageInAnyRegion) {
  for (const DisplayLanguageCase& c : DisplayLanguages) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LanguageIndexOfDisplayLanguage(c.display), c.expected);
  }
}

// CTest runs this program under several display languages (LC_ALL, which Wine
// reads when a program starts) and says which language each must give.
TEST(DisplayLanguage, OfThisProcessIsAskedForOnEveryCall) {
  const std::wstring expected = testing_support::Environment(L"VKTEST_DISPLAY_LANGUAGE_INDEX");
  if (expected.empty()) GTEST_SKIP() << "VKTEST_DISPLAY_LANGUAGE_INDEX is not set";
  EXPECT_EQ(UiLanguageIndex(), std::stoi(expected))
      << "display language 0x" << std::hex << GetUserDefaultUILanguage();
}

struct TextCase {
  const char* name;
  LANGID display;
  const wchar_t* title;
  const wchar_t* ok;
  const wchar_t* cancel;
  const wchar_t* firstType;
};

const TextCase Texts[] = {
    {"ja-JP", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN),         L"パッド設定",               L"OK",      L"キャンセル", L"パッドタイプ - 1 -"},
    {"en-US", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),              L"Gamepad Settings",         L"OK",      L"CANCEL",     L"Gamepad Type -1-"},
    {"pt-BR", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), L"Gamepad Settings",         L"OK",      L"CANCEL",     L"Gamepad Type -1-"},
    {"de-AT", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN),          L"Gamepad-Einstellungen",    L"OK",      L"ABBRECHEN",  L"Gamepad-Typ -1-"},
    {"fr-FR", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),                   L"Configuration manette",    L"OK",      L"ANNULER",    L"Type de manette -1-"},
    {"es-MX", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MEXICAN),         L"Ajustes Mando",            L"ACEPTAR", L"CANCELAR",   L"Tipo de mando -1-"},
    {"it-IT", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN),                 L"Impostazioni del gamepad", L"OK",      L"ANNULLA",    L"Tipo di gamepad -1-"},
    // The Russian OK is written in Cyrillic letters.
    {"ru-RU", MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA),          L"Настройки геймпада",       L"\u041E\u041A", L"ОТМЕНА", L"Тип геймпада -1-"},
    {"pl-PL", MAKELANGID(LANG_POLISH, SUBLANG_POLISH_POLAND),            L"Gamepad",                  L"OK",      L"ANULUJ",     L"Gamepad typu -1-"},
    {"cs-CZ", MAKELANGID(LANG_CZECH, SUBLANG_CZECH_CZECH_REPUBLIC),      L"Nastavení ovladače",       L"OK",      L"Zrušit",     L"Ovladač -1-"},
};

// The gamepad dialog shows the record of the display language; its six type
// names differ only in their number, 1 to 6.
TEST(GamepadDialogTexts, FollowTheDisplayLanguage) {
  for (const TextCase& c : Texts) {
    SCOPED_TRACE(c.name);
    const LocalisedTextSet& texts = LocalisedTexts[LanguageIndexOfDisplayLanguage(c.display)];
    EXPECT_STREQ(texts.GamepadSettingsTitle, c.title);
    EXPECT_STREQ(texts.OkText, c.ok);
    EXPECT_STREQ(texts.CancelText, c.cancel);
    const std::wstring first = c.firstType;
    const size_t digit = first.find(L'1');
    ASSERT_NE(digit, std::wstring::npos);
    for (int type = 0; type < GamepadTypeCount; ++type) {
      std::wstring expected = first;
      expected[digit] = static_cast<wchar_t>(L'1' + type);
      EXPECT_EQ(texts.GamepadTypeNames[type], expected) << "type " << type;
    }
  }
}

}  // namespace
