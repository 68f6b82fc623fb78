// Dialogs 102 and 109 and menu 108 as the built Launcher.exe carries them,
// read back from its resources.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "launcher_resources.h"
#include "resource.h"

namespace testing_support {
namespace {

enum class Script { Latin, Cyrillic, Japanese };

bool HasCyrillic(const std::wstring& text) {
  for (wchar_t c : text)
    if (c >= 0x0400 && c <= 0x04FF) return true;
  return false;
}
bool HasJapanese(const std::wstring& text) {
  for (wchar_t c : text)
    if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF)) return true;
  return false;
}
// Whether a text of a variant is written in that variant's script.
bool InScript(const std::wstring& text, Script script) {
  return HasCyrillic(text) == (script == Script::Cyrillic) && HasJapanese(text) == (script == Script::Japanese);
}

constexpr DWORD MainDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS | DS_CENTER;
static_assert(MainDialogStyle == 0x80C808C8);
// The English variant is the one not centred, and two units taller.
constexpr DWORD NotCentred = MainDialogStyle & ~DS_CENTER;

// The nine variants of dialog 102 and menu 108. The marker is a word of the
// variant's own run button, in its language.
struct MainVariant {
  WORD language;
  DWORD style;
  short height;
  Script script;
  const wchar_t* runMarker;
};
const MainVariant MainVariants[] = {
    {1029, MainDialogStyle, 191, Script::Latin,    L"Spustit"},
    {1031, MainDialogStyle, 191, Script::Latin,    L"starten"},
    {1033, NotCentred,      193, Script::Latin,    L"Run"},
    {1036, MainDialogStyle, 191, Script::Latin,    L"Lancer"},
    {1040, MainDialogStyle, 191, Script::Latin,    L"Avvia"},
    {1041, MainDialogStyle, 191, Script::Japanese, L"起動"},
    {1045, MainDialogStyle, 191, Script::Latin,    L"Uruchom"},
    {1049, MainDialogStyle, 191, Script::Cyrillic, L"Запустить"},
    {3082, MainDialogStyle, 191, Script::Latin,    L"Lanzar"},
};

struct ExpectedControl {
  int id;
  const wchar_t* windowClass;
  DWORD style;
  short x, y, cx, cy;
};

constexpr DWORD RunButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
constexpr DWORD PushButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD Picture = WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_REALSIZEIMAGE;
static_assert(RunButton == 0x50012000 && PushButton == 0x50010000 && Picture == 0x5000080E);

const ExpectedControl MainControls[] = {
    {-1,                L"Static", Picture,     0,   0, 333, 192},
    {IDC_RUN_DIRECTX9,  L"Button", RunButton, 220,  36, 102,  28},
    {IDC_RUN_DIRECTX10, L"Button", RunButton, 220,  83, 102,  28},
    {IDCANCEL,          L"Button", PushButton, 220, 125, 102,  28},
};

void ExpectControl(const DialogControl& actual, const ExpectedControl& expected) {
  EXPECT_EQ(actual.id, expected.id);
  EXPECT_EQ(ClassName(actual.windowClass), expected.windowClass);
  EXPECT_EQ(actual.style, expected.style) << std::hex << actual.style;
  EXPECT_EQ(actual.exStyle, 0u);
  EXPECT_EQ(actual.helpId, 0u);
  EXPECT_EQ((std::array{actual.x, actual.y, actual.cx, actual.cy}),
            (std::array{expected.x, expected.y, expected.cx, expected.cy}));
  EXPECT_EQ(actual.extraBytes, 0);
}

// Both dialogs use the same font and neither has a class of its own.
void ExpectCommonHeader(const DialogTemplate& dialog) {
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.helpId, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, 333);
  EXPECT_EQ(dialog.windowClass, NameOrOrdinal{});
  EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.weight, FW_NORMAL);
  EXPECT_EQ(dialog.italic, 0);
  EXPECT_EQ(dialog.charset, DEFAULT_CHARSET);
}

std::optional<DialogTemplate> LoadDialog(int id, WORD language) {
  return ParseDialogTemplate(
      ResourceBytes(LauncherResourceModule(), RT_DIALOG, MAKEINTRESOURCEW(id), language));
}

std::pair<std::wstring, std::wstring> Lines(const std::wstring& text) {
  const size_t feed = text.find(L'\n');
  if (feed == std::wstring::npos || text.find(L'\n', feed + 1) != std::wstring::npos) return {};
  return {text.substr(0, feed), text.substr(feed + 1)};
}

TEST(MainDialogTemplate, EveryVariantHasTheLayoutAndItsOwnTexts) {
  ASSERT_NE(LauncherResourceModule(), nullptr);
  std::set<std::wstring> titles, runTexts, closeTexts;
  std::wstring englishTitle, czechTitle;
  for (const MainVariant& variant : MainVariants) {
    SCOPED_TRACE(testing::Message() << "language " << variant.language);
    const auto dialog = LoadDialog(IDD_MAIN_DIALOG, variant.language);
    ASSERT_TRUE(dialog);
    ExpectCommonHeader(*dialog);
    EXPECT_EQ(dialog->style, variant.style) << std::hex << dialog->style;
    EXPECT_EQ(dialog->cy, variant.height);
    EXPECT_EQ(dialog->menu, (NameOrOrdinal{IDR_MAIN_MENU, {}}));

    ASSERT_EQ(dialog->controls.size(), std::size(MainControls));
    for (size_t i = 0; i < std::size(MainControls); ++i) {
      SCOPED_TRACE(testing::Message() << "control " << i + 1);
      ExpectControl(dialog->controls[i], MainControls[i]);
    }
    // The picture names bitmap 103 by ordinal.
    EXPECT_EQ(dialog->controls[0].text, (NameOrOrdinal{IDB_MAIN_BACKGROUND, {}}));

    const std::wstring& title = dialog->title;
    const std::wstring& run9 = dialog->controls[1].text.name;
    const std::wstring& run10 = dialog->controls[2].text.name;
    const std::wstring& close = dialog->controls[3].text.name;
    for (const std::wstring* text : {&title, &run9, &run10, &close}) {
      EXPECT_TRUE(InScript(*text, variant.script)) << testing::PrintToString(*text);
      EXPECT_EQ(text->find(L'&'), std::wstring::npos) << testing::PrintToString(*text);
    }
    EXPECT_NE(title.find(L"VARKOLD"), std::wstring::npos);
    EXPECT_NE(run9.find(variant.runMarker), std::wstring::npos) << testing::PrintToString(run9);

    // Two lines: the game's name, then the build; the English and French
    // second lines start with a blank.
    const auto [first9, second9] = Lines(run9);
    EXPECT_NE(first9.find(L"VARKOLD"), std::wstring::npos) << testing::PrintToString(run9);
    EXPECT_NE(second9.find(L"DirectX9"), std::wstring::npos) << testing::PrintToString(run9);
    const bool leadingBlank = variant.language == 1033 || variant.language == 1036;
    EXPECT_EQ(!second9.empty() && second9[0] == L' ', leadingBlank) << testing::PrintToString(run9);
    std::wstring expected10 = run9;
    if (const size_t at = expected10.find(L"DirectX9"); at != std::wstring::npos)
      expected10.replace(at, 8, L"DirectX10");
    EXPECT_EQ(run10, expected10);

    if (variant.language == 1033) englishTitle = title;
    if (variant.language == 1029) czechTitle = title;
    else titles.insert(title);
    runTexts.insert(run9);
    closeTexts.insert(close);
  }
  EXPECT_EQ(englishTitle, L"VARKOLD LAUNCHER");
  // The Czech variant carries the English title; every other title, run
  // button and Close button is a variant's own.
  EXPECT_EQ(czechTitle, englishTitle);
  EXPECT_EQ(titles.size(), std::size(MainVariants) - 1);
  EXPECT_EQ(runTexts.size(), std::size(MainVariants));
  EXPECT_EQ(closeTexts.size(), std::size(MainVariants));
}

// Each language named in its own tongue, the same in every variant.
const wchar_t* const LanguageItems[] = {L"日本語",   L"English", L"Deutsch", L"Français", L"Español",
                                        L"Italiano", L"Русский", L"Polski",  L"Česky"};

TEST(MainMenuTemplate, EveryVariantHasTwoPopUpsWithTheirItemsAndNoMarks) {
  ASSERT_NE(LauncherResourceModule(), nullptr);
  std::set<std::wstring> languageCaptions, settingsCaptions, gamepadItems;
  for (const MainVariant& variant : MainVariants) {
    SCOPED_TRACE(testing::Message() << "language " << variant.language);
    const auto bar = ParseMenuTemplate(
        ResourceBytes(LauncherResourceModule(), RT_MENU, MAKEINTRESOURCEW(IDR_MAIN_MENU), variant.language));
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->size(), 2u);
    const MenuTemplateItem& language = (*bar)[0];
    const MenuTemplateItem& settings = (*bar)[1];
    EXPECT_EQ(language.flags, WORD{MF_POPUP});
    EXPECT_EQ(settings.flags, WORD{MF_POPUP | MF_END});

    ASSERT_EQ(language.items.size(), std::size(LanguageItems));
    for (size_t i = 0; i < language.items.size(); ++i) {
      const MenuTemplateItem& item = language.items[i];
      EXPECT_EQ(item.id, static_cast<WORD>(IDM_LANGUAGE_JAPANESE + i));
      EXPECT_EQ(item.text, LanguageItems[i]);
      EXPECT_EQ(item.flags, i + 1 == language.items.size() ? WORD{MF_END} : WORD{0});
      EXPECT_TRUE(item.items.empty());
    }
    ASSERT_EQ(settings.items.size(), 1u);
    const MenuTemplateItem& gamepad = settings.items[0];
    EXPECT_EQ(gamepad.id, IDM_GAMEPAD_SETTINGS);
    EXPECT_EQ(gamepad.flags, WORD{MF_END});

    for (const std::wstring* text : {&language.text, &settings.text, &gamepad.text}) {
      EXPECT_FALSE(text->empty());
      EXPECT_TRUE(InScript(*text, variant.script)) << testing::PrintToString(*text);
      EXPECT_EQ(text->find(L'&'), std::wstring::npos) << testing::PrintToString(*text);
    }
    languageCaptions.insert(language.text);
    settingsCaptions.insert(settings.text);
    gamepadItems.insert(gamepad.text);
  }
  EXPECT_EQ(languageCaptions.size(), std::size(MainVariants));
  EXPECT_EQ(settingsCaptions.size(), std::size(MainVariants));
  EXPECT_EQ(gamepadItems.size(), std::size(MainVariants));
}

TEST(GamepadDialogTemplate, HasTwentyActionListsTheTypeListAndTwoButtons) {
  ASSERT_NE(LauncherResourceModule(), nullptr);
  const auto dialog = LoadDialog(IDD_GAMEPAD_DIALOG, 1041);
  ASSERT_TRUE(dialog);
  ExpectCommonHeader(*dialog);
  EXPECT_EQ(dialog->style, NotCentred) << std::hex << dialog->style;
  EXPECT_EQ(dialog->cy, 191);
  EXPECT_EQ(dialog->menu, NameOrOrdinal{});
  EXPECT_EQ(dialog->title, L"Dialog");

  constexpr DWORD List = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
  static_assert(List == 0x50210003);
  // Ten rows of two action lists, left column first.
  std::vector<ExpectedControl> expected;
  for (short row = 0; row < 10; ++row) {
    const short y = 10 + 15 * row;
    expected.push_back({IDC_ACTION_A + 2 * row, L"ComboBox", List, 38, y, 60, 30});
    expected.push_back({IDC_ACTION_B + 2 * row, L"ComboBox", List, 208, y, 60, 30});
  }
  expected.push_back({IDC_GAMEPAD_TYPE, L"ComboBox", List, 13, 169, 97, 30});
  expected.push_back({IDOK, L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 196, 169, 50, 14});
  expected.push_back({IDCANCEL, L"Button", PushButton, 260, 168, 50, 14});

  ASSERT_EQ(dialog->controls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "control " << i + 1);
    ExpectControl(dialog->controls[i], expected[i]);
    if (i < 21) {
      EXPECT_EQ(dialog->controls[i].text, NameOrOrdinal{});
    }
  }
  EXPECT_EQ(dialog->controls[21].text.name, L"OK");
  EXPECT_EQ(dialog->controls[22].text.name, L"キャンセル");
}

}  // namespace
}  // namespace testing_support
