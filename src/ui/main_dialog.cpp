#include "ui/main_dialog.h"

#include <iterator>

#include "gamepad/gamepad_dialog.h"
#include "platform/screen_scale.h"
#include "platform/system_error.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "ui/language_setting.h"
#include "ui/language_table.h"
#include "ui/localised_texts.h"

namespace {

// The template's static control that shows IDB_MAIN_BACKGROUND.
constexpr int PictureControlId = -1;

// Away from 96 DPI the dialog grows with its font while its picture keeps its
// pixel size. The picture control then shows a copy scaled to cover the client
// area, and gets its own picture back before it is destroyed.
struct ScaledPicture {
  HBITMAP original = nullptr;  // the control's own, while it shows the copy
  platform::unique_hbitmap scaled;
};
ScaledPicture MainDialogPicture;

// Scaled by the larger of the client's and the picture's width and height
// ratios, so that it covers the client area in its own proportions from the
// top-left corner; what overhangs is cut. At 96 DPI the picture is left alone.
void ScalePictureToClient(HWND dialog, ScaledPicture& picture) {
  if (platform::ScreenDpi() == platform::DesignDpi) return;
  const HWND control = GetDlgItem(dialog, PictureControlId);
  const auto original = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP info{};
  if (!original || GetObjectW(original, sizeof(info), &info) != sizeof(info) || !info.bmWidth || !info.bmHeight) return;
  RECT client;
  GetClientRect(dialog, &client);
  const bool byWidth = LONGLONG{client.right} * info.bmHeight >= LONGLONG{client.bottom} * info.bmWidth;
  picture.scaled = platform::ScaledBitmap(original, client.right, client.bottom, byWidth ? client.right : client.bottom,
                                          byWidth ? info.bmWidth : info.bmHeight);
  if (!picture.scaled) return;
  // The control sizes itself to the copy.
  SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.scaled.get()));
  picture.original = original;
}

// The control ends with its own picture, as at 96 DPI; the copy is deleted.
void RestorePicture(HWND dialog, ScaledPicture& picture) {
  const auto original = reinterpret_cast<LPARAM>(picture.original);
  if (original) SendDlgItemMessageW(dialog, PictureControlId, STM_SETIMAGE, IMAGE_BITMAP, original);
  picture = ScaledPicture{};
}

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
  ScalePictureToClient(dialog, MainDialogPicture);
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
    case WM_DESTROY:
      RestorePicture(dialog, MainDialogPicture);
      break;
  }
  // Default handling is left to the dialog manager for every message, so it
  // sets no initial focus of its own after WM_INITDIALOG.
  return FALSE;
}
