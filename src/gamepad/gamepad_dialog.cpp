#include "gamepad/gamepad_dialog.h"

#include <dbt.h>

#include <string>
#include <type_traits>
#include <utility>

#include "gamepad/actions.h"
#include "gamepad/assignment_capture.h"
#include "gamepad/controller_input.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_layout.h"
#include "gamepad/gamepad_types.h"
#include "gamepad/joypad_config.h"
#include "gamepad/list_selection.h"
#include "platform/instance_handle.h"
#include "platform/screen_scale.h"
#include "platform/system_error.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "ui/language_table.h"
#include "ui/localised_texts.h"

// GUID_DEVINTERFACE_HID is defined by no mingw library: define it here.
#include <initguid.h>
#include <hidclass.h>

static_assert(std::extent_v<decltype(LocalisedTextSet::GamepadTypeNames)> == GamepadTypeCount);

namespace {

// One dialog is open at a time, and this is its state. The procedure hands it
// to each handler.
GamepadDialogState GamepadDialog;

// The texts of the Windows display language, never of the Language menu.
const LocalisedTextSet& Texts() { return LocalisedTexts[UiLanguageIndex()]; }

void Place(HWND dialog, int id, const gamepad_layout::Place& place) {
  // HWND_TOP: each control placed goes first in the tab order.
  SetWindowPos(GetDlgItem(dialog, id), HWND_TOP, place.x, place.y, place.width, place.height, SWP_SHOWWINDOW);
}

// Width and height of the background; false when there is none.
bool BitmapSize(HBITMAP bitmap, SIZE* size) {
  BITMAP info{};
  if (!bitmap || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) return false;
  *size = {info.bmWidth, info.bmHeight};
  return true;
}

// IDB_GAMEPAD_BACKGROUND at the screen's DPI: away from 96 DPI it is scaled by
// DPI / 96, as the layout is, so that the lists stay beside their glyphs and
// take the dialog font's size. Unscaled should scaling fail.
platform::unique_hbitmap LoadGamepadBitmap(int dpi) {
  platform::unique_hbitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(InstanceHandle, MAKEINTRESOURCEW(IDB_GAMEPAD_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  SIZE size;
  if (dpi == platform::DesignDpi || !BitmapSize(bitmap.get(), &size)) return bitmap;
  platform::unique_hbitmap scaled = platform::ScaledBitmap(
      bitmap.get(), platform::ScaledToDpi(size.cx, dpi), platform::ScaledToDpi(size.cy, dpi), dpi, platform::DesignDpi);
  return scaled ? std::move(scaled) : std::move(bitmap);
}

// Sizes the window so that its client area is exactly the background bitmap;
// without a bitmap the template's size stays.
void FitDialogToBitmap(HWND dialog, HBITMAP bitmap) {
  SIZE size;
  if (!BitmapSize(bitmap, &size)) return;
  RECT window;
  RECT client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const int width = size.cx + (window.right - window.left) - (client.right - client.left);
  const int height = size.cy + (window.bottom - window.top) - (client.bottom - client.top);
  // The dialog manager shows the dialog after WM_INITDIALOG.
  SetWindowPos(dialog, HWND_TOP, window.left, window.top, width, height, SWP_HIDEWINDOW);
}

// Title, OK and Cancel.
void SetGamepadDialogTexts(HWND dialog) {
  const LocalisedTextSet& texts = Texts();
  SetWindowTextW(dialog, texts.GamepadSettingsTitle);
  SetWindowTextW(GetDlgItem(dialog, IDOK), texts.OkText);
  SetWindowTextW(GetDlgItem(dialog, IDCANCEL), texts.CancelText);
}

// The twenty action lists in two columns beside their glyphs, then the type
// list at the bottom left.
void LayoutActionLists(HWND dialog, int dpi) {
  RECT client;
  GetClientRect(dialog, &client);
  // Bottom row first and the right list before the left one, so that the tab
  // order runs from IDC_ACTION_A to IDC_ACTION_RSTICK_VERT.
  for (int index = ActionCount - 1; index >= 0; --index)
    Place(dialog, ActionControls[index].controlId, gamepad_layout::ActionList(index, client, dpi));
  Place(dialog, IDC_GAMEPAD_TYPE, gamepad_layout::TypeList(client, dpi));
}

// Cancel, then OK, at the bottom right: the tab order becomes OK, Cancel, the
// type list, then the action lists.
void LayoutDialogButtons(HWND dialog, int dpi) {
  RECT client;
  GetClientRect(dialog, &client);
  Place(dialog, IDCANCEL, gamepad_layout::CancelButton(client, dpi));
  Place(dialog, IDOK, gamepad_layout::OkButton(client, dpi));
}

// The 46 input names into every action list, the six type names into the
// type list.
void FillGamepadLists(HWND dialog) {
  // Each list's handle is looked up once, not for each of its 46 entries:
  // under Wine every look-up is a round trip to the server, 926 of them a
  // third of the filling's time.
  HWND lists[ActionCount];
  for (int index = 0; const ActionControl& action : ActionControls)
    lists[index++] = GetDlgItem(dialog, action.controlId);
  for (const wchar_t* name : InputNames)
    for (const HWND list : lists) SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  const HWND typeList = GetDlgItem(dialog, IDC_GAMEPAD_TYPE);
  for (const wchar_t* typeName : Texts().GamepadTypeNames)
    SendMessageW(typeList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(typeName));
}

// Until the dialog is destroyed it hears of every HID device that is
// attached. Without it only the safety searches find a controller.
void ListenForDeviceArrivals(HWND dialog, GamepadDialogState& state) {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = GUID_DEVINTERFACE_HID;
  state.DeviceNotification.reset(RegisterDeviceNotificationW(dialog, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
}

void OnInitDialog(HWND dialog, GamepadDialogState& state) {
  // Every field as a new dialog starts it; the last one's WM_DESTROY has
  // released what it held.
  state = GamepadDialogState{};
  // Listening starts before the first search, so that a controller attached
  // while it runs is announced rather than left to the safety searches.
  ListenForDeviceArrivals(dialog, state);
  if (FAILED(InitControllerInput(dialog, state))) state.DeviceNotification.reset();
  const int dpi = platform::ScreenDpi();
  state.GamepadBitmap = LoadGamepadBitmap(dpi);
  FitDialogToBitmap(dialog, state.GamepadBitmap.get());
  SetGamepadDialogTexts(dialog);
  LayoutActionLists(dialog, dpi);
  LayoutDialogButtons(dialog, dpi);
  // No capture until the player moves into an action list.
  SetFocus(GetDlgItem(dialog, IDOK));
  FillGamepadLists(dialog);
  LoadJoypadConfig(dialog, state);
  state.CaptureEnabled = 1;
  SetTimer(dialog, GamepadTimerId, GamepadTimerPeriod, nullptr);
}

void CloseLater(HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }

// One box, owned by the dialog: what could not be saved, where, and why.
void ShowSaveFailure(HWND dialog, const JoypadSaveResult& saved) {
  const LocalisedTextSet& texts = Texts();
  std::wstring what = texts.GamepadNotSaved;
  what += L"\n\n";
  what += saved.path.empty() ? std::wstring(texts.NoDocumentsFolder) : saved.path;
  ShowFailureBox(dialog, texts.GamepadSettingsTitle, what, saved.error, saved.path);
}

// A save that fails keeps the dialog open with everything the player set, so
// that the player can mend the cause and press OK again, or cancel.
void OnOk(HWND dialog, GamepadDialogState& state) {
  state.CaptureEnabled = 0;
  const JoypadSaveResult saved = SaveJoypadConfig(dialog, state);
  if (saved.error == ERROR_SUCCESS) {
    CloseLater(dialog);
    return;
  }
  ShowSaveFailure(dialog, saved);
  state.CaptureEnabled = 1;
}

// All twenty lists take the chosen type's defaults at once. A change that
// reports no selection changes nothing: a stored type outside the list is
// written back as it was.
void OnGamepadTypeChosen(HWND dialog, GamepadDialogState& state) {
  const int type = static_cast<int>(SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_GETCURSEL, 0, 0));
  if (type == CB_ERR) return;
  SelectGamepadType(dialog, state, type);
  ApplyGamepadTypeDefaults(dialog, type);
}

// The action lists' own selection changes do nothing: they are read when
// saving.
void OnCommand(HWND dialog, WPARAM wParam, GamepadDialogState& state) {
  switch (wParam) {
    case MAKEWPARAM(IDOK, BN_CLICKED):
      OnOk(dialog, state);
      break;
    case MAKEWPARAM(IDCANCEL, BN_CLICKED):
      CloseLater(dialog);
      break;
    case MAKEWPARAM(IDC_GAMEPAD_TYPE, CBN_SELCHANGE):
      OnGamepadTypeChosen(dialog, state);
      break;
  }
}

void OnTimer(HWND dialog, GamepadDialogState& state) {
  if (PollController(dialog, state) == 1 && state.CaptureEnabled == 1) CaptureAssignment(dialog, state);
}

// Activation with no controller open asks for a search.
void OnActivate(WPARAM wParam, GamepadDialogState& state) {
  const bool active = wParam != 0;
  SetControllerAcquired(state, active);
  if (active && !state.ControllerDevice) state.ControllerSearch.DialogActivated();
}

// A newly attached HID device makes a search due; it runs on the next tick.
void OnDeviceChange(WPARAM event, LPARAM data, GamepadDialogState& state) {
  if (event != DBT_DEVICEARRIVAL || !data) return;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) state.ControllerSearch.DeviceArrived();
}

// The whole background at the client area's origin.
void OnPaint(HWND dialog, const GamepadDialogState& state) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(dialog, &paint);
  if (SIZE size; BitmapSize(state.GamepadBitmap.get(), &size)) {
    const platform::unique_hdc memory(CreateCompatibleDC(dc));
    if (memory) {
      const platform::scoped_select selected(memory.get(), state.GamepadBitmap.get());
      BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(dialog, &paint);
}

void OnDestroy(HWND dialog, GamepadDialogState& state) {
  state.DeviceNotification.reset();
  ReleaseControllerInput(state);
  KillTimer(dialog, GamepadTimerId);
  state.GamepadBitmap.reset();
}

}  // namespace

void RunGamepadSettings(HWND owner) {
  // Its result tells nothing.
  DialogBoxParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_GAMEPAD_DIALOG), owner, GamepadDialogProc, 0);
}

INT_PTR CALLBACK GamepadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, GamepadDialog);
      break;
    case WM_COMMAND:
      OnCommand(dialog, wParam, GamepadDialog);
      break;
    case WM_TIMER:
      OnTimer(dialog, GamepadDialog);
      break;
    case WM_ACTIVATE:
      OnActivate(wParam, GamepadDialog);
      break;
    case WM_DEVICECHANGE:
      OnDeviceChange(wParam, lParam, GamepadDialog);
      break;
    case WM_PAINT:
      OnPaint(dialog, GamepadDialog);
      break;
    case WM_CLOSE:
      EndDialog(dialog, 1);
      break;
    case WM_DESTROY:
      OnDestroy(dialog, GamepadDialog);
      break;
  }
  // FALSE for every message: after WM_INITDIALOG the dialog manager leaves
  // the focus where OnInitDialog put it.
  return FALSE;
}
