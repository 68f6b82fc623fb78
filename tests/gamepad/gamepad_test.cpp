#include "gamepad_test.h"

#include <dbt.h>

#include <sstream>

#include "gamepad/gamepad_dialog.h"
#include "launcher/startup.h"
#include "platform/direct_input.h"
#include "resource.h"

namespace testing_support {

std::vector<std::wstring> Section(std::vector<std::wstring> head, const std::wstring& values) {
  head.insert(head.begin(), L"[JOYPAD]");
  std::wistringstream words(values);
  for (const std::wstring& key : ActionKeys) {
    std::wstring value;
    words >> value;
    head.push_back(key + L"=" + value);
  }
  return head;
}

void GamepadDialogTest::SetUp() {
  input.Reset();
  DirectInputFactory = &fake_dinput::Create;
  InstanceHandle = LauncherResources();
  RemoveJoypadFolders();
}

void GamepadDialogTest::TearDown() {
  Close();
  EXPECT_TRUE(input.live.empty()) << "DirectInput objects left unreleased";
  EXPECT_TRUE(input.unexpected.empty()) << "the launcher called what it should not";
  DirectInputFactory = &DirectInput8Create;
  RemoveJoypadFolders();
}

void GamepadDialogTest::Open() {
  Close();
  dialog = CreateDialogParamW(LauncherResources(), MAKEINTRESOURCEW(IDD_GAMEPAD_DIALOG), nullptr, GamepadDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  KillTimer(dialog, GamepadTimerId);
  SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
}

void GamepadDialogTest::Close() {
  if (dialog) DestroyWindow(dialog);
  dialog = nullptr;
}

void GamepadDialogTest::Tick(int count) {
  for (int i = 0; i < count; ++i) SendMessageW(dialog, WM_TIMER, GamepadTimerId, 0);
}

void GamepadDialogTest::Press(int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  HandleUntilClosed();
}

void GamepadDialogTest::HandleUntilClosed() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageW(dialog, &message)) DispatchMessageW(&message);
    if (message.hwnd == dialog && message.message == WM_CLOSE) break;
  }
}

void GamepadDialogTest::ChooseType(int type) {
  SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_SETCURSEL, type, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_GAMEPAD_TYPE, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_GAMEPAD_TYPE)));
}

void GamepadDialogTest::AnnounceDevice() {
  DEV_BROADCAST_DEVICEINTERFACE_W arrival{};
  arrival.dbcc_size = sizeof(arrival);
  arrival.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  SendMessageW(dialog, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&arrival));
}

void GamepadDialogTest::Focus(int id) {
  SetFocus(GetDlgItem(dialog, id));
  ASSERT_EQ(GetFocus(), GetDlgItem(dialog, id));
}

void GamepadDialogTest::Select(int id, const wchar_t* name) {
  const LRESULT item = SendDlgItemMessageW(dialog, id, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name));
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, item, 0);
}

std::wstring GamepadDialogTest::Selection(int id) const {
  const LRESULT item = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  wchar_t text[256] = L"-";
  if (item != CB_ERR) SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
  return text;
}

std::wstring GamepadDialogTest::Shown() const {
  std::wstring shown;
  for (int id = IDC_ACTION_A; id <= IDC_ACTION_RSTICK_VERT; ++id) shown += (shown.empty() ? L"" : L" ") + Selection(id);
  return shown;
}

int GamepadDialogTest::TypeShown() const {
  return static_cast<int>(SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_GETCURSEL, 0, 0));
}

}  // namespace testing_support
