// The nine languages the game can run in, in the order of the Language menu,
// and the language the launcher's own texts follow.
#pragma once

#include <windows.h>

#include "resource.h"

// Position of a language in LanguageTable and, in the same order, in
// LocalisedTexts.
enum LanguageIndex : int {
  LanguageJapanese,
  LanguageEnglish,
  LanguageGerman,
  LanguageFrench,
  LanguageSpanish,
  LanguageItalian,
  LanguageRussian,
  LanguagePolish,
  LanguageCzech,
  LanguageCount
};

struct LanguageRecord {
  // The locale number as the game reads it from the registry: four decimal
  // digits, and DataSize bytes with the terminating NUL.
  const wchar_t* LcidText;
  DWORD DataSize;
  UINT MenuCommand;
  // Display languages with this primary language get this language.
  LANGID PrimaryLanguage;
};

// Spanish is stored as 1034 (traditional sort), although the Spanish main
// dialog is the 3082 variant: the game expects 1034.
inline constexpr LanguageRecord LanguageTable[LanguageCount] = {
    // LCID text  size  menu command            primary language of the display language
    {L"1041",     10,   IDM_LANGUAGE_JAPANESE,  LANG_JAPANESE},
    {L"1033",     10,   IDM_LANGUAGE_ENGLISH,   LANG_ENGLISH},
    {L"1031",     10,   IDM_LANGUAGE_GERMAN,    LANG_GERMAN},
    {L"1036",     10,   IDM_LANGUAGE_FRENCH,    LANG_FRENCH},
    {L"1034",     10,   IDM_LANGUAGE_SPANISH,   LANG_SPANISH},
    {L"1040",     10,   IDM_LANGUAGE_ITALIAN,   LANG_ITALIAN},
    {L"1049",     10,   IDM_LANGUAGE_RUSSIAN,   LANG_RUSSIAN},
    {L"1045",     10,   IDM_LANGUAGE_POLISH,    LANG_POLISH},
    {L"1029",     10,   IDM_LANGUAGE_CZECH,     LANG_CZECH},
};

// The language for a display language: by its primary language alone, any
// region alike; English for every language not in the table.
LanguageIndex LanguageIndexOfDisplayLanguage(LANGID displayLanguage);

// The language for the user's Windows display language, asked afresh on every
// call.
LanguageIndex UiLanguageIndex();
