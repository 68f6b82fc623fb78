// The game's language setting: the "Language" value in the registry that the
// game reads, and the radio mark in the main dialog's Language menu.
#pragma once

#include <windows.h>

// Menu command (IDM_LANGUAGE_JAPANESE..IDM_LANGUAGE_CZECH) of the language
// that carries the radio mark; set when the main dialog opens and on each
// language command whose choice was stored.
extern UINT CurrentLanguage;

// Reads the stored language (the display language when nothing usable is
// stored), keeps it in CurrentLanguage and puts the radio mark on its item in
// the menu of the dialog. Writes nothing.
void LoadLanguageSetting(HWND dialog);

// Stores the language of this menu command for the current user, at once.
// Returns ERROR_SUCCESS, or the registry's error when it could not be stored.
LONG SaveLanguageSetting(UINT command);

// Puts the radio mark on the item of this menu command in the dialog's
// Language menu; the other eight lose theirs.
void MarkLanguage(HWND dialog, UINT command);
