// The gamepad settings dialog in-process over the scripted DirectInput and config.ini, which each test starts without.
#pragma once

#include "fake_direct_input.h"  // windows.h first
#include <shlobj.h>

#include <sstream>

#include "gamepad/gamepad_dialog.h"
#include "platform/instance_handle.h"
#include "platform/direct_input.h"
#include "resource.h"
#include "test_support.h"

namespace testing_support {

// config.ini, spelled out on purpose: it is the contract with the game.
inline std::wstring MakerFolder() {
  wchar_t documents[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  // Wine links Documents to the home folder unless tools/run-tests.sh made it a folder of the prefix's own.
  EXPECT_FALSE(GetFileAttributesW(documents) & FILE_ATTRIBUTE_REPARSE_POINT) << "run the tests with tools/run-tests.sh";
  return documents + std::wstring(L"\\MORVANE");
}
inline std::wstring ConfigPath() { return MakerFolder() + L"\\VARKOLD\\config.ini"; }
inline void RemoveJoypadFolders() { RemoveTree(MakerFolder()); }
inline bool WriteConfigBytes(const std::string& bytes) {
  CreateDirectoryW(MakerFolder().c_str(), nullptr);
  CreateDirectoryW((MakerFolder() + L"\\VARKOLD").c_str(), nullptr);
  return WriteFileBytes(ConfigPath(), bytes);
}

// Text as config.ini holds it: in UTF-16LE with a byte-order mark as the launcher makes it, or in the ANSI code page as
// the game does.
inline std::string Encoded(std::wstring text, bool ansi) {
  if (!ansi) text.insert(0, 1, L'\xFEFF');
  std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  if (ansi) bytes.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), bytes.data(), int(bytes.size()),
                                             nullptr, nullptr));
  return bytes;
}

// config.ini as these lines.
inline bool WriteConfig(const std::vector<std::wstring>& lines, bool ansi = false) {
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\r\n";
  return WriteConfigBytes(Encoded(text, ansi));
}

// The lines of config.ini that are not blank, in either encoding.
inline std::vector<std::wstring> ConfigLines() {
  const std::string bytes = ReadFileBytes(ConfigPath());
  std::wstring all(bytes.size(), L'\0');
  if (bytes.starts_with("\xFF\xFE"))
    all.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  else
    all.resize(MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), all.data(), int(all.size())));
  std::wistringstream text(all);
  std::vector<std::wstring> lines;
  for (std::wstring line; std::getline(text, line);) {
    if (line.ends_with(L'\r')) line.pop_back();
    if (line.find_first_not_of(L" \t") != std::wstring::npos) lines.push_back(line);
  }
  return lines;
}

using fake_dinput::FakeInput;
using fake_dinput::Method;

// The game's twenty actions, as config.ini names them, in list order.
inline const std::vector<std::wstring> ActionKeys = {
    L"A", L"B", L"X", L"Y", L"LEFT", L"RIGHT", L"UP", L"DOWN", L"START", L"BACK", L"LT", L"RT", L"LB", L"RB",
    L"LSTICK_PUSH", L"RSTICK_PUSH", L"LSTICK_HORZ", L"RSTICK_HORZ", L"LSTICK_VERT", L"RSTICK_VERT"};

// What Shown() gives for each gamepad type's defaults: the game's table, not the program's.
inline std::wstring TypeDefaults(int type) {
  static const wchar_t* const defaults[] = {
      L"1 2 3 4 POV POV POV POV 8 7 Z -Z 5 6 9 10 X -RX Y -RY", L"3 2 4 1 POV POV POV POV 10 9 5 6 7 8 11 12 X Z Y RZ",
      L"3 4 1 2 POV POV POV POV 12 11 7 8 5 6 9 10 X Z Y RZ",  L"3 2 4 1 POV POV POV POV 9 10 5 6 7 8 11 12 X Z Y RZ",
      L"3 2 4 1 POV POV POV POV 9 12 5 6 7 8 10 11 X Z Y RZ",  L"2 3 1 4 -X X -Y Y 10 9 7 8 5 6 11 12 POV Z POV RZ"};
  return defaults[type];
}

// The lines before, "[JOYPAD]", the head lines, then "A=" to "RSTICK_VERT=" with the values.
inline std::vector<std::wstring> Section(std::vector<std::wstring> head, const std::wstring& values,
                                         std::vector<std::wstring> before = {}) {
  before.push_back(L"[JOYPAD]");
  head.insert(head.begin(), before.begin(), before.end());
  std::wistringstream words(values);
  for (std::wstring value; const std::wstring& key : ActionKeys) head.push_back(key + L"=" + (words >> value, value));
  return head;
}

class GamepadDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    input.Reset();
    systemFactory = std::exchange(DirectInputFactory, &fake_dinput::Create);
    InstanceHandle = LauncherResources();
    RemoveJoypadFolders();
  }
  void TearDown() override {
    Close();
    EXPECT_TRUE(input.live.empty()) << "DirectInput objects left unreleased";
    EXPECT_TRUE(input.unexpected.empty()) << "the launcher called what it should not";
    DirectInputFactory = systemFactory;
    RemoveJoypadFolders();
  }

  // Hidden (Wine takes seconds to destroy a shown one without window manager), its timer stopped: the test ticks.
  void Open() {
    Close();
    dialog = CreateDialogParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_GAMEPAD_DIALOG), nullptr, GamepadDialogProc, 0);
    KillTimer(dialog, GamepadTimerId);
    SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
  }
  void Close() {
    if (dialog) DestroyWindow(std::exchange(dialog, nullptr));
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) SendMessageW(dialog, WM_TIMER, GamepadTimerId, 0);
  }
  // As a click does, then handles what it posted up to WM_CLOSE, as the modal loop does (modeless, WM_CLOSE and
  // IDCANCEL would loop); whether the dialog closed.
  bool Press(int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
      if (!IsDialogMessageW(dialog, &message)) DispatchMessageW(&message);
      if (message.hwnd == dialog && message.message == WM_CLOSE) return true;
    }
    return false;
  }
  void Focus(int id) { SetFocus(GetDlgItem(dialog, id)); }
  void Select(int id, const wchar_t* name) {
    const LRESULT item = SendDlgItemMessageW(dialog, id, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, item, 0);
  }
  std::wstring Selection(int id) const {  // "-" for none
    const LRESULT item = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    wchar_t text[256] = L"-";
    if (item != CB_ERR) SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::wstring Shown() const {  // the twenty action lists' selections, blank-separated
    std::wstring shown = Selection(IDC_ACTION_A);
    for (int id = IDC_ACTION_B; id <= IDC_ACTION_RSTICK_VERT; ++id) shown += L" " + Selection(id);
    return shown;
  }
  int TypeShown() const { return int(SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_GETCURSEL, 0, 0)); }

  HWND dialog = nullptr;
  FakeInput& input = fake_dinput::Input;
  DirectInputFactoryFunction systemFactory = nullptr;  // the program's, put back after each test
};

}  // namespace testing_support
