// Texts that the code itself puts into the gamepad settings dialog, whose one
// template is Japanese: one set per language, chosen by the display language
// (LocalisedTexts[UiLanguageIndex()]), never by the Language menu.
#pragma once

#include "ui/language_table.h"

struct LocalisedTextSet {
  const wchar_t* GamepadSettingsTitle;
  const wchar_t* OkText;      // button IDOK
  const wchar_t* CancelText;  // button IDCANCEL
  // Name n is gamepad type n, shown with the number n + 1; the gamepad dialog
  // checks that there is one for each of its types.
  const wchar_t* GamepadTypeNames[6];
};

// In LanguageIndex order.
extern const LocalisedTextSet LocalisedTexts[LanguageCount];
