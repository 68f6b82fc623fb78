#include "ui/main_dialog.h"

#include <iterator>

#include "gamepad/gamepad_dialog.h"
#include "platform/system_error.h"
#include "resource.h"
#include "ui/language_setting.h"
#include "ui/language_table.h"
#include "ui/localised_texts.h"

namespace {

// Enables the DirectX 10 button on Windows 6.0 and later, greys it before.
void UpdateDirectX10Button(HWND dialog) {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  // Should the call ever fail, the version is unknown: the button stays as the
  // template has it, enabled, since only Windows XP lacks DirectX 10.
  if (!GetVersionExW(&version)) return;
  EnableWindow(GetDlgItem(dialog, IDC_RUN_DIRECTX10), version.dwMajorVersion >= 6);
}

void OnInitDialog(HWND dialog) {
  UpdateDirectX10Button(dialog);
  LoadLanguageSetting(dialog);
}

// A language is stored every time it is chosen, also when it is already the
// current one. The dialog's own texts stay as Windows picked them. A choice
// that cannot be stored is not shown as made: the mark stays where it was and
// the player is told why.
void OnLanguageCommand(HWND dialog, WORD command) {
  if (const LONG error = SaveLanguageSetting(command); error != ERROR_SUCCESS) {
    wchar_t title[256] = L"";
    GetWindowTextW(dialog, title, std::size(title));
    ShowFailureBox(dialog, title, LocalisedTexts[UiLanguageIndex()].LanguageNotSaved, static_cast<DWORD>(error));
    return;
  }
  CurrentLanguage = command;
  MarkLanguage(dialog, command);
}

// Buttons and menu items alike: the notification code is not looked at.
void OnCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDC_RUN_DIRECTX9:
    case IDC_RUN_DIRECTX10:
    case IDCANCEL:
      EndDialog(dialog, id);
      break;
    case IDM_LANGUAGE_JAPANESE:
    case IDM_LANGUAGE_ENGLISH:
    case IDM_LANGUAGE_GERMAN:
    case IDM_LANGUAGE_FRENCH:
    case IDM_LANGUAGE_SPANISH:
    case IDM_LANGUAGE_ITALIAN:
    case IDM_LANGUAGE_RUSSIAN:
    case IDM_LANGUAGE_POLISH:
    case IDM_LANGUAGE_CZECH:
      OnLanguageCommand(dialog, id);
      break;
    case IDM_GAMEPAD_SETTINGS:
      RunGamepadSettings(dialog);  // modal, owned by the main dialog
      break;
  }
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      break;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      break;
  }
  // Default handling is left to the dialog manager for every message, so it
  // sets no initial focus of its own after WM_INITDIALOG.
  return FALSE;
}
