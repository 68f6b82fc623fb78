#include "gamepad_dialog_fixture.h"

#include <dbt.h>

#include "gamepad/actions.h"
#include "gamepad/controller_input.h"
#include "gamepad/gamepad_dialog.h"
#include "gamepad/gamepad_dialog_state.h"
#include "joypad_file.h"
#include "launcher/startup.h"
#include "launcher_resources.h"
#include "resource.h"

namespace gamepad_testing {
namespace {

constexpr const wchar_t* TypeNames[] = {L"Gamepad Type -1-", L"Gamepad Type -2-", L"Gamepad Type -3-",
                                        L"Gamepad Type -4-", L"Gamepad Type -5-", L"Gamepad Type -6-"};

void FillLists(HWND dialog) {
  for (const wchar_t* const* name = InputNames; *name; ++name)
    for (const ActionControl* action = ActionControls; action->controlId; ++action)
      SendDlgItemMessageW(dialog, action->controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(*name));
  for (const wchar_t* name : TypeNames)
    SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}

INT_PTR CALLBACK TestGamepadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      GamepadDialog.RecordedProductName[0] = L'\0';
      GamepadDialog.RecordedProductType = 0;
      InitControllerInput(dialog);
      FillLists(dialog);
      GamepadDialog.CaptureEnabled = 1;
      break;
    case WM_ACTIVATE:
      OnGamepadActivate(wParam);
      break;
    case WM_DEVICECHANGE:
      OnGamepadDeviceChange(wParam, lParam);
      break;
    case WM_DESTROY:
      ReleaseControllerInput();
      break;
  }
  return FALSE;
}

}  // namespace

void GamepadDialogTest::SetUp() {
  input.Reset();
  input.MakeCurrent();
  savedFactory_ = std::exchange(DirectInputFactory, &fake_dinput::FakeInputSystem::DirectInput8Create);
  savedInstance_ = std::exchange(InstanceHandle, GetModuleHandleW(nullptr));
  GamepadDialog = GamepadDialogState{};
}

void GamepadDialogTest::TearDown() {
  CloseDialog();
  EXPECT_EQ(input.UnexpectedCalls().size(), 0u) << "the launcher called what it should not";
  EXPECT_EQ(input.LiveObjects(), 0) << "DirectInput objects left unreleased";
  DirectInputFactory = savedFactory_;
  InstanceHandle = savedInstance_;
}

void GamepadDialogTest::NextCase() {
  TearDown();
  SetUp();
}

void GamepadDialogTest::OpenDialog(bool activate) {
  const HMODULE module = testing_support::LauncherResourceModule();
  ASSERT_NE(module, nullptr);
  dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_GAMEPAD_DIALOG), nullptr, TestGamepadDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  if (activate) SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
}

void GamepadDialogTest::OpenSettingsDialog(HINSTANCE resources, bool activate) {
  const HMODULE module = testing_support::LauncherResourceModule();
  ASSERT_NE(module, nullptr);
  InstanceHandle = resources ? resources : module;
  dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_GAMEPAD_DIALOG), nullptr, GamepadDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  if (activate) SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
}

void GamepadDialogTest::TimerTick(int count) {
  for (int i = 0; i < count; ++i) SendMessageW(dialog, WM_TIMER, GamepadTimerId, 0);
}

void GamepadDialogTest::Click(int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  PumpUntilClosed(dialog);
}

void GamepadDialogTest::ChooseType(int typeIndex) {
  const HWND list = GetDlgItem(dialog, IDC_GAMEPAD_TYPE);
  SendMessageW(list, CB_SETCURSEL, typeIndex, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_GAMEPAD_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void GamepadDialogTest::CloseDialog() {
  if (dialog) DestroyWindow(dialog);
  dialog = nullptr;
}

void GamepadDialogTest::Tick(int count) {
  for (int i = 0; i < count; ++i) OnGamepadTimer(dialog);
}

void GamepadDialogTest::AnnounceHidArrival() {
  DEV_BROADCAST_DEVICEINTERFACE_W arrival{};
  arrival.dbcc_size = sizeof(arrival);
  arrival.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  arrival.dbcc_classguid = GUID{0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
  SendDeviceChange(DBT_DEVICEARRIVAL, reinterpret_cast<const DEV_BROADCAST_HDR*>(&arrival));
}

void GamepadDialogTest::SendDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* data) {
  SendMessageW(dialog, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(data));
}

std::wstring GamepadDialogTest::Selection(int controlId) const {
  const LRESULT index = SelectedIndex(controlId);
  if (index == CB_ERR) return L"";
  wchar_t text[256] = L"";
  if (SendDlgItemMessageW(dialog, controlId, CB_GETLBTEXTLEN, index, 0) >= 256) return L"(too long)";
  SendDlgItemMessageW(dialog, controlId, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

void GamepadDialogTest::Select(int controlId, const wchar_t* name) const {
  const LRESULT index = SendDlgItemMessageW(dialog, controlId, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(name));
  ASSERT_NE(index, CB_ERR) << name;
  SendDlgItemMessageW(dialog, controlId, CB_SETCURSEL, index, 0);
}

void GamepadDialogTest::SelectType(int typeIndex) const {
  SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_SETCURSEL, typeIndex, 0);
}

int GamepadDialogTest::SelectedIndex(int controlId) const {
  return static_cast<int>(SendDlgItemMessageW(dialog, controlId, CB_GETCURSEL, 0, 0));
}

void GamepadDialogTest::Focus(int controlId) const {
  SetFocus(GetDlgItem(dialog, controlId));
  ASSERT_EQ(GetFocus(), GetDlgItem(dialog, controlId));
}

std::wstring GamepadDialogTest::ActionSelections() const {
  std::wstring text;
  for (const ActionControl* action = ActionControls; action->controlId; ++action) {
    if (!text.empty()) text += L' ';
    text += std::wstring(action->actionKey) + L'=' + Selection(action->controlId);
  }
  return text;
}

bool GamepadDialogTest::ControllerOpen() const { return static_cast<bool>(GamepadDialog.ControllerDevice); }

std::wstring GamepadDialogTest::ControllerName() const { return GamepadDialog.ControllerProductName; }

void GamepadSettingsTest::SetUp() {
  GamepadDialogTest::SetUp();
  ASSERT_FALSE(testing_support::DocumentsFolder().empty());
  testing_support::RemoveJoypadFolders();
}

void GamepadSettingsTest::TearDown() {
  GamepadDialogTest::TearDown();
  testing_support::RemoveJoypadFolders();
}

void PumpUntilClosed(HWND dialog) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    const bool closing = message.hwnd == dialog && message.message == WM_CLOSE;
    if (!IsDialogMessageW(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (closing) return;
  }
}

std::wstring Assignments(const wchar_t* const (&inputs)[20]) {
  std::wstring text;
  for (int i = 0; i < 20; ++i) {
    if (!text.empty()) text += L' ';
    text += std::wstring(ActionControls[i].actionKey) + L'=' + inputs[i];
  }
  return text;
}

}  // namespace gamepad_testing
