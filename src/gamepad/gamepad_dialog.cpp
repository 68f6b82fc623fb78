#include "gamepad/gamepad_dialog.h"

#include <ranges>

#include "gamepad/actions.h"
#include "gamepad/controller_input.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad/joypad_config.h"
#include "platform/instance_handle.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "ui/language_table.h"
#include "ui/localised_texts.h"

namespace {

// The pixel layout, in client coordinates. Row r (1..10) of the action lists
// lies at ListTop + RowPitch * (r - 1), centred on its glyph.
constexpr int ListColumnOffset = 94;  // from the client's left edge, and from its middle
constexpr int ListTop = 20;
constexpr int RowPitch = 24;
constexpr int ListWidth = 98;
constexpr int ListHeight = 20;
constexpr int BottomRowOffset = 36;  // from the client's bottom edge
constexpr int TypeListLeft = 12;
constexpr int TypeListWidth = 130;
constexpr int ButtonRowHeight = 24;
constexpr int OkOffset = 224;        // from the client's right edge
constexpr int CancelOffset = 112;
constexpr int ButtonWidth = 100;

void Place(HWND dialog, int id, int x, int y, int width, int height) {
  // HWND_TOP: each control placed goes first in the tab order.
  SetWindowPos(GetDlgItem(dialog, id), HWND_TOP, x, y, width, height, SWP_SHOWWINDOW);
}

const LocalisedTextSet& Texts() { return LocalisedTexts[UiLanguageIndex()]; }

void OnInitDialog(HWND dialog) {
  GamepadDialogState& state = GamepadDialog;
  state.RecordedProductName[0] = L'\0';
  state.RecordedProductType = 0;
  state.CaptureEnabled = 0;
  InitControllerInput(dialog);
  state.GamepadBitmap.reset(static_cast<HBITMAP>(
      LoadImageW(InstanceHandle, MAKEINTRESOURCEW(IDB_GAMEPAD_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  FitDialogToBitmap(dialog);
  SetGamepadDialogTexts(dialog);
  LayoutActionLists(dialog);
  LayoutDialogButtons(dialog);
  // No capture until the player moves into an action list.
  SetFocus(GetDlgItem(dialog, IDOK));
  FillGamepadLists(dialog);
  LoadJoypadConfig(dialog);
  state.CaptureEnabled = 1;
  SetTimer(dialog, GamepadTimerId, GamepadTimerPeriod, nullptr);
}

void CloseLater(HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }

void OnOk(HWND dialog) {
  GamepadDialog.CaptureEnabled = 0;
  SaveJoypadConfig(dialog);
  CloseLater(dialog);
}

// All twenty lists take the chosen type's defaults at once.
void OnGamepadTypeChosen(HWND dialog) {
  const int type = static_cast<int>(SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_GETCURSEL, 0, 0));
  GamepadDialog.RecordedProductType = type;
  ApplyGamepadTypeDefaults(type, dialog);
}

// The action lists' own selection changes do nothing: they are read when
// saving.
void OnCommand(HWND dialog, WPARAM wParam) {
  switch (MAKEWPARAM(LOWORD(wParam), HIWORD(wParam))) {
    case MAKEWPARAM(IDOK, BN_CLICKED):
      OnOk(dialog);
      break;
    case MAKEWPARAM(IDCANCEL, BN_CLICKED):
      CloseLater(dialog);
      break;
    case MAKEWPARAM(IDC_GAMEPAD_TYPE, CBN_SELCHANGE):
      OnGamepadTypeChosen(dialog);
      break;
  }
}

void OnPaint(HWND dialog) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(dialog, &paint);
  PaintDialogBitmap(dc);
  EndPaint(dialog, &paint);
}

void OnDestroy(HWND dialog) {
  ReleaseControllerInput();
  KillTimer(dialog, GamepadTimerId);
  GamepadDialog.GamepadBitmap.reset();
}

// Width and height of the background; false when there is none.
bool BitmapSize(SIZE* size) {
  BITMAP bitmap{};
  const HBITMAP handle = GamepadDialog.GamepadBitmap.get();
  if (!handle || GetObjectW(handle, sizeof(bitmap), &bitmap) != sizeof(bitmap)) return false;
  *size = {bitmap.bmWidth, bitmap.bmHeight};
  return true;
}

}  // namespace

void FitDialogToBitmap(HWND dialog) {
  SIZE bitmap;
  // Without its bitmap the dialog keeps the template's size.
  if (!BitmapSize(&bitmap)) return;
  RECT window;
  RECT client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const int width = bitmap.cx + (window.right - window.left) - (client.right - client.left);
  const int height = bitmap.cy + (window.bottom - window.top) - (client.bottom - client.top);
  // The dialog manager shows the dialog after WM_INITDIALOG.
  SetWindowPos(dialog, HWND_TOP, window.left, window.top, width, height, SWP_HIDEWINDOW);
}

void SetGamepadDialogTexts(HWND dialog) {
  const LocalisedTextSet& texts = Texts();
  SetWindowTextW(dialog, texts.GamepadSettingsTitle);
  SetWindowTextW(GetDlgItem(dialog, IDOK), texts.OkText);
  SetWindowTextW(GetDlgItem(dialog, IDCANCEL), texts.CancelText);
}

void LayoutActionLists(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  const int leftColumn = client.left + ListColumnOffset;
  const int rightColumn = client.right / 2 + ListColumnOffset;
  // Bottom row first and the right list before the left one, so that the tab
  // order runs from IDC_ACTION_A to IDC_ACTION_RSTICK_VERT.
  for (const ActionControl& action : ActionControls | std::views::reverse) {
    const int index = static_cast<int>(&action - ActionControls);
    const int row = index / 2;
    const bool right = index % 2 == 1;
    Place(dialog, action.controlId, right ? rightColumn : leftColumn, ListTop + RowPitch * row, ListWidth, ListHeight);
  }
  Place(dialog, IDC_GAMEPAD_TYPE, client.left + TypeListLeft, client.bottom - BottomRowOffset, TypeListWidth,
        ButtonRowHeight);
}

void LayoutDialogButtons(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  const int top = client.bottom - BottomRowOffset;
  Place(dialog, IDCANCEL, client.right - CancelOffset, top, ButtonWidth, ButtonRowHeight);
  Place(dialog, IDOK, client.right - OkOffset, top, ButtonWidth, ButtonRowHeight);
}

void FillGamepadLists(HWND dialog) {
  for (const wchar_t* name : InputNames)
    for (const ActionControl& action : ActionControls)
      SendDlgItemMessageW(dialog, action.controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  for (const wchar_t* typeName : Texts().GamepadTypeNames)
    SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(typeName));
}

void PaintDialogBitmap(HDC dc) {
  SIZE size;
  if (!BitmapSize(&size)) return;
  const platform::unique_hdc memory(CreateCompatibleDC(dc));
  if (!memory) return;
  const HGDIOBJ previous = SelectObject(memory.get(), GamepadDialog.GamepadBitmap.get());
  BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
  // The bitmap must leave the memory DC before either is deleted.
  SelectObject(memory.get(), previous);
}

INT_PTR CALLBACK GamepadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      break;
    case WM_COMMAND:
      OnCommand(dialog, wParam);
      break;
    case WM_TIMER:
      OnGamepadTimer(dialog);
      break;
    case WM_ACTIVATE:
      OnGamepadActivate(wParam);
      break;
    case WM_DEVICECHANGE:
      OnGamepadDeviceChange(wParam, lParam);
      break;
    case WM_PAINT:
      OnPaint(dialog);
      break;
    case WM_CLOSE:
      EndDialog(dialog, 1);
      break;
    case WM_DESTROY:
      OnDestroy(dialog);
      break;
  }
  // FALSE for every message: after WM_INITDIALOG the dialog manager leaves
  // the focus where OnInitDialog put it.
  return FALSE;
}
