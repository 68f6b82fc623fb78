// The floor for the gamepad settings dialog: the least a program can do to
// show the launcher's own template IDD_GAMEPAD_DIALOG as the launcher must
// (fitted to and painted with IDB_GAMEPAD_BACKGROUND at the screen's DPI, its
// texts set, its controls placed, the same 926 list entries added), and on OK
// to save the lists to config.ini in place as the launcher first did: one
// profile write per action key, then WM_CLOSE posted. No controller, no timer,
// no registry, nothing read from config.ini.
#include <windows.h>

#include <iterator>
#include <string>

#include "floor_main_dialog.h"
#include "gamepad/actions.h"
#include "gamepad/gamepad_layout.h"
#include "platform/screen_scale.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "stored_config.h"
#include "ui/localised_texts.h"

namespace {

HINSTANCE Instance;
platform::unique_hbitmap Background;  // while the dialog is open

// The texts the launcher sets under an English display language, which is
// what the benchmarks run with.
const LocalisedTextSet& Texts = LocalisedTexts[LanguageEnglish];

void Place(HWND control, const gamepad_layout::Place& place) {
  SetWindowPos(control, HWND_TOP, place.x, place.y, place.width, place.height, SWP_SHOWWINDOW);
}

void OnInitGamepadDialog(HWND dialog) {
  Background.reset(static_cast<HBITMAP>(
      LoadImageW(Instance, MAKEINTRESOURCEW(IDB_GAMEPAD_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  BITMAP bitmap{};
  GetObjectW(Background.get(), sizeof(bitmap), &bitmap);
  // Away from 96 DPI the background and the layout are scaled by DPI / 96.
  const int dpi = platform::ScreenDpi();
  if (dpi != platform::DesignDpi) {
    Background = platform::ScaledBitmap(Background.get(), platform::ScaledToDpi(bitmap.bmWidth, dpi),
                                        platform::ScaledToDpi(bitmap.bmHeight, dpi), dpi, platform::DesignDpi);
    GetObjectW(Background.get(), sizeof(bitmap), &bitmap);
  }

  // The client area becomes the bitmap's size; the dialog manager shows the
  // dialog after WM_INITDIALOG.
  RECT window;
  RECT client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  SetWindowPos(dialog, HWND_TOP, window.left, window.top,
               bitmap.bmWidth + (window.right - window.left) - (client.right - client.left),
               bitmap.bmHeight + (window.bottom - window.top) - (client.bottom - client.top), SWP_HIDEWINDOW);

  const HWND ok = GetDlgItem(dialog, IDOK);
  const HWND cancel = GetDlgItem(dialog, IDCANCEL);
  const HWND typeList = GetDlgItem(dialog, IDC_GAMEPAD_TYPE);
  HWND actionLists[ActionCount];
  for (int index = 0; const ActionControl& action : ActionControls)
    actionLists[index++] = GetDlgItem(dialog, action.controlId);

  SetWindowTextW(dialog, Texts.GamepadSettingsTitle);
  SetWindowTextW(ok, Texts.OkText);
  SetWindowTextW(cancel, Texts.CancelText);

  // Same places and order (so the same tab order) as the launcher's.
  GetClientRect(dialog, &client);
  for (int index = ActionCount - 1; index >= 0; --index)
    Place(actionLists[index], gamepad_layout::ActionList(index, client, dpi));
  Place(typeList, gamepad_layout::TypeList(client, dpi));
  Place(cancel, gamepad_layout::CancelButton(client, dpi));
  Place(ok, gamepad_layout::OkButton(client, dpi));
  SetFocus(ok);

  // Entries in the launcher's order: each name into every list in turn.
  for (const wchar_t* name : InputNames)
    for (const HWND list : actionLists) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  for (const wchar_t* typeName : Texts.GamepadTypeNames)
    SendMessageW(typeList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(typeName));
}

// Each action list's selection, stored as the launcher stores it, written to
// config.ini with one call per key in the launcher's order: each call
// rewrites the file in place. No controller, so no product name or type.
void SaveInPlace(HWND dialog) {
  const std::wstring folder = ConfigFolder();
  if (folder.empty()) return;
  const std::wstring path = folder + L"\\config.ini";
  for (const ActionControl& action : ActionControls) {
    const LRESULT item = SendDlgItemMessageW(dialog, action.controlId, CB_GETCURSEL, 0, 0);
    if (item < 0 || item >= std::ssize(InputNames)) continue;
    WritePrivateProfileStringW(L"JOYPAD", action.actionKey, StoredValue(static_cast<int>(item)).c_str(), path.c_str());
  }
}

void PaintBackground(HWND dialog) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(dialog, &paint);
  BITMAP bitmap{};
  if (Background && GetObjectW(Background.get(), sizeof(bitmap), &bitmap) == sizeof(bitmap)) {
    const platform::unique_hdc memory(CreateCompatibleDC(dc));
    const platform::scoped_select selected(memory.get(), Background.get());
    BitBlt(dc, 0, 0, bitmap.bmWidth, bitmap.bmHeight, memory.get(), 0, 0, SRCCOPY);
  }
  EndPaint(dialog, &paint);
}

// FALSE for every message, as the launcher's: the focus stays on OK.
INT_PTR CALLBACK GamepadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitGamepadDialog(dialog);
      break;
    case WM_PAINT:
      PaintBackground(dialog);
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) SaveInPlace(dialog);
      // Closed a message later, as the launcher closes it.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) PostMessageW(dialog, WM_CLOSE, 0, 0);
      break;
    case WM_CLOSE:
      EndDialog(dialog, 1);
      break;
    case WM_DESTROY:
      Background.reset();
      break;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Instance = instance;
  return RunFloorMainDialog(instance, GamepadDialogProc);
}
