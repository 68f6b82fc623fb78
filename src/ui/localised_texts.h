// Texts that the code itself shows: those of the gamepad settings dialog,
// whose one template is Japanese, and of the boxes that say a setting could
// not be stored. One set per language, chosen by the display language
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
  // The box after OK when config.ini could not be written: this, then the
  // file's path or NoDocumentsFolder, then the system's reason.
  const wchar_t* GamepadNotSaved;
  const wchar_t* NoDocumentsFolder;
  // The box after a language command whose choice could not be stored.
  const wchar_t* LanguageNotSaved;
};

// In LanguageIndex order.
extern const LocalisedTextSet LocalisedTexts[LanguageCount];
