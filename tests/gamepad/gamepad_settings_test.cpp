// The gamepad settings dialog of the real Launcher.exe, opened from the main
// dialog's Settings menu as a player does.
#include "installed_launcher.h"
#include "joypad_file.h"
#include "resource.h"

namespace testing_support {
namespace {

class GamepadSettingsAsPlayerSees : public InstalledLauncher {
 protected:
  void SetUp() override { InstalledLauncher::SetUp(), RemoveJoypadFolders(); }
  void TearDown() override { InstalledLauncher::TearDown(), RemoveJoypadFolders(); }

  // Settings > Gamepad Settings in the main dialog: the dialog it owns.
  HWND OpenGamepadSettings(HWND main) {
    PostMessageW(main, WM_COMMAND, IDM_GAMEPAD_SETTINGS, 0);
    HWND gamepad = nullptr;
    WaitUntil([&] {
      for (HWND window : ProcessWindows(launcher_.id)) gamepad = GetWindow(window, GW_OWNER) == main ? window : gamepad;
      return gamepad != nullptr;
    });
    EXPECT_NE(gamepad, nullptr) << "Settings > Gamepad Settings showed no dialog";
    WaitForInputIdle(launcher_.process.get(), 60000);
    return gamepad;
  }
};

// Modal and owned by the main dialog, in the display language (CTest runs
// this under an English and a Japanese one); Cancel writes nothing.
TEST_F(GamepadSettingsAsPlayerSees, OpensFromTheSettingsMenuOwnedAndModal) {
  const HWND main = OpenMainDialog(Install(L"settings"));
  const HWND gamepad = OpenGamepadSettings(main);
  ASSERT_NE(gamepad, nullptr);
  EXPECT_EQ(WindowText(gamepad), Environment(L"LC_ALL").starts_with(L"ja_") ? L"パッド設定" : L"Gamepad Settings");
  EXPECT_FALSE(IsWindowEnabled(main));
  ClickControl(gamepad, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(gamepad) && IsWindowEnabled(main); }));
  EXPECT_FALSE(FileExists(MakerFolder()));
  ClickControl(main, IDCANCEL);
  EXPECT_EQ(launcher_.WaitForExit(), 0u);
}

// A controller through the stand-in dinput8.dll holds button 3: its first read
// brings its type; once the keyboard moves the focus into the list of "A" the
// button lands there on the dialog's own timer; OK stores it.
TEST_F(GamepadSettingsAsPlayerSees, AControllersButtonLandsInTheFocusedListAndOkStoresIt) {
  const std::wstring folder = Install(L"controller");
  ASSERT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_DINPUT8_STAND_IN").c_str(), (folder + L"\\dinput8.dll").c_str(), 0));
  SetEnvironmentVariableW(L"VKTEST_DINPUT_PAD", L"Logitech Dual Action");
  SetEnvironmentVariableW(L"VKTEST_DINPUT_BUTTON", L"3");
  const HWND gamepad = OpenGamepadSettings(OpenMainDialog(folder));
  ASSERT_NE(gamepad, nullptr);
  const auto selected = [&](int id) { return SendDlgItemMessageW(gamepad, id, CB_GETCURSEL, 0, 0); };
  ASSERT_TRUE(WaitUntil([&] { return selected(IDC_GAMEPAD_TYPE) == 5; })) << "the controller was not taken up";
  for (WORD key : {VK_TAB, VK_TAB, VK_TAB}) PressKey(gamepad, key);
  EXPECT_TRUE(WaitUntil([&] { return selected(IDC_ACTION_A) == 2; })) << "button 3 did not land in A";
  ClickControl(gamepad, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(gamepad); }));
  const std::vector<std::wstring> lines = ConfigLines();
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(std::vector(lines.begin() + 1, lines.begin() + 4),
            (std::vector<std::wstring>{L"ProductName=Logitech Dual Action", L"ProductType=5", L"A=2"}));
  EXPECT_EQ(RunToEnd(launcher_), 0u);
}

}  // namespace
}  // namespace testing_support
