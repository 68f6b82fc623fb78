// The gamepad settings dialog of the real Launcher.exe under Xvfb, opened
// from the main dialog's Settings menu as a player does, with config.ini in
// the test prefix's Documents folder. A controller is the scripted
// DirectInput wrapped as a dinput8.dll beside the exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "joypad_file.h"
#include "launcher_test.h"
#include "player_input.h"
#include "resource.h"
#include "test_images.h"

namespace testing_support {
namespace {

constexpr const wchar_t* Actions[20] = {L"A",     L"B",  L"X",  L"Y",  L"LEFT",        L"RIGHT",       L"UP",
                                        L"DOWN",  L"START", L"BACK", L"LT", L"RT",      L"LB",          L"RB",
                                        L"LSTICK_PUSH", L"RSTICK_PUSH", L"LSTICK_HORZ", L"RSTICK_HORZ",
                                        L"LSTICK_VERT", L"RSTICK_VERT"};

// How the game reads the defaults of types 2 and 5: buttons counted from 0.
constexpr const wchar_t* Type2Stored[20] = {L"2", L"3", L"0", L"1", L"POV", L"POV", L"POV", L"POV", L"11", L"10",
                                            L"6", L"7", L"4", L"5", L"8",   L"9",   L"X",   L"Z",   L"Y",  L"RZ"};
constexpr const wchar_t* Type5Stored[20] = {L"1", L"2", L"0", L"3", L"-X", L"X",  L"-Y",  L"Y", L"9",   L"8",
                                            L"6", L"7", L"4", L"5", L"10", L"11", L"POV", L"Z", L"POV", L"RZ"};

std::vector<std::wstring> Section(const std::vector<std::wstring>& head, const wchar_t* const (&stored)[20]) {
  std::vector<std::wstring> lines = head;
  for (int i = 0; i < 20; ++i) lines.push_back(std::wstring(Actions[i]) + L"=" + stored[i]);
  return lines;
}

int Selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)); }

class GamepadSettingsAsPlayerSees : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    ASSERT_FALSE(DocumentsFolder().empty());
    RemoveJoypadFolders();
  }
  void TearDown() override {
    if (launcher_.process && !launcher_.HasEnded()) TerminateProcess(launcher_.process.get(), 1);
    RemoveJoypadFolders();
    LauncherTest::TearDown();
  }

  // Starts the installed launcher, waits for its main dialog, and opens
  // Settings > Gamepad Settings. Returns the gamepad dialog.
  HWND OpenGamepadSettings(const std::wstring& folder) {
    if (launcher_.process && !launcher_.HasEnded()) TerminateProcess(launcher_.process.get(), 1);
    launcher_ = StartProgram(folder + L"\\Launcher.exe", L"");
    EXPECT_TRUE(launcher_.process) << "could not start the launcher";
    main_ = nullptr;
    WaitUntil([&] {
      const auto windows = ProcessWindows(launcher_.id);
      if (!windows.empty()) main_ = windows.front();
      return main_ != nullptr || launcher_.HasEnded();
    });
    if (!main_) {
      ADD_FAILURE() << "the launcher showed no window";
      return nullptr;
    }
    WaitForInputIdle(launcher_.process.get(), static_cast<DWORD>(LongWait.count()));
    PostMessageW(main_, WM_COMMAND, IDM_GAMEPAD_SETTINGS, 0);
    HWND gamepad = nullptr;
    WaitUntil([&] {
      for (HWND window : ProcessWindows(launcher_.id))
        if (window != main_ && GetWindow(window, GW_OWNER) == main_) gamepad = window;
      return gamepad != nullptr;
    });
    EXPECT_NE(gamepad, nullptr) << "Settings > Gamepad Settings showed no dialog";
    if (gamepad) WaitForInputIdle(launcher_.process.get(), static_cast<DWORD>(LongWait.count()));
    return gamepad;
  }

  // Waits until the gamepad dialog has gone and the main dialog is back.
  bool WaitForGamepadSettingsClosed(HWND gamepad) const {
    return WaitUntil([&] { return !IsWindow(gamepad) && IsWindowEnabled(main_); });
  }

  void CloseLauncher() {
    ClickControl(main_, IDCANCEL);
    EXPECT_EQ(launcher_.WaitForExit(), 0u);
  }

  RunningProcess launcher_;
  HWND main_ = nullptr;
};

TEST_F(GamepadSettingsAsPlayerSees, ShowsItselfInTheDisplayLanguage) {
  const struct {
    LANGID primary;
    const wchar_t* name;
    const wchar_t* title;
  } views[] = {{LANG_ENGLISH, L"en-US", L"Gamepad Settings"}, {LANG_JAPANESE, L"ja-JP", L"パッド設定"}};
  const LANGID display = GetUserDefaultUILanguage();
  const auto* view = std::find_if(std::begin(views), std::end(views),
                                  [&](const auto& v) { return v.primary == PRIMARYLANGID(display); });
  ASSERT_NE(view, std::end(views)) << "no title known for display language 0x" << std::hex << display;
  const std::wstring expected = Environment(L"VKTEST_DISPLAY_LANGID");
  if (!expected.empty()) {
    ASSERT_EQ(display, std::stoi(expected, nullptr, 16)) << "the display language was not taken from LC_ALL";
  }

  HWND gamepad = OpenGamepadSettings(Install(L"display"));
  ASSERT_NE(gamepad, nullptr);
  EXPECT_EQ(WindowTitle(gamepad), view->title);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the main dialog owns the modal gamepad dialog";
  RECT client;
  GetClientRect(gamepad, &client);
  EXPECT_EQ(client.right, 499);
  EXPECT_EQ(client.bottom, 312);
  const std::wstring path = ArtifactFolder() + L"\\gamepad-dialog-" + view->name + L".png";
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(gamepad) && GetForegroundWindow() == gamepad; }));
  EXPECT_TRUE(WritePng(path, CapturePaintedWindow(gamepad))) << "could not write the screenshot";

  ClickControl(gamepad, IDCANCEL);
  EXPECT_TRUE(WaitForGamepadSettingsClosed(gamepad));
  EXPECT_FALSE(FileExists(MakerFolderPath()));
  CloseLauncher();
}

// Without a controller the file records none: only the actions are written.
TEST_F(GamepadSettingsAsPlayerSees, AChosenTypesDefaultsAreStoredByOk) {
  HWND gamepad = OpenGamepadSettings(Install(L"type"));
  ASSERT_NE(gamepad, nullptr);
  // From OK, Tab goes to Cancel and then to the type list; Down twice picks
  // "-3-".
  for (WORD key : {VK_TAB, VK_TAB, VK_DOWN, VK_DOWN}) PressKey(gamepad, key);
  ASSERT_TRUE(WaitUntil([&] { return Selected(gamepad, IDC_GAMEPAD_TYPE) == 2; }));
  ClickControl(gamepad, IDOK);
  ASSERT_TRUE(WaitForGamepadSettingsClosed(gamepad));
  EXPECT_EQ(ConfigLines(), Section({L"[JOYPAD]"}, Type2Stored));
  CloseLauncher();
}

// Whichever way the player leaves without OK, a change made in the dialog
// leaves the file as it was.
TEST_F(GamepadSettingsAsPlayerSees, LeavingWithoutOkAfterAChangeLeavesTheFileAsItWas) {
  const struct {
    const char* what;
    void (*leave)(HWND gamepad);
  } ways[] = {
      {"Cancel", [](HWND g) { ClickControl(g, IDCANCEL); }},
      {"Esc key", [](HWND g) { PressKey(g, VK_ESCAPE); }},
      {"close box", [](HWND g) { ASSERT_TRUE(ClickCloseBox(g)); }},
  };
  const std::wstring folder = Install(L"leave");
  ASSERT_TRUE(WriteConfigFile({L"; kept as it is", L"[JOYPAD]", L"ProductType=1", L"A=7"}));
  const std::vector<uint8_t> before = ReadFileBytes(ConfigFilePath());
  for (const auto& way : ways) {
    SCOPED_TRACE(way.what);
    HWND gamepad = OpenGamepadSettings(folder);
    ASSERT_NE(gamepad, nullptr);
    EXPECT_EQ(Selected(gamepad, IDC_GAMEPAD_TYPE), 1);
    for (WORD key : {VK_TAB, VK_TAB, VK_DOWN}) PressKey(gamepad, key);
    ASSERT_TRUE(WaitUntil([&] { return Selected(gamepad, IDC_GAMEPAD_TYPE) == 2; }));
    way.leave(gamepad);
    ASSERT_TRUE(WaitForGamepadSettingsClosed(gamepad));
    EXPECT_EQ(ReadFileBytes(ConfigFilePath()), before);
    CloseLauncher();
  }
}

// The scripted controller holds button 3 down from the start. Its first read
// switches the dialog to its type; with the focus moved into the list of "A"
// the button lands there, and OK stores it with the controller.
TEST_F(GamepadSettingsAsPlayerSees, AControllersButtonLandsInTheFocusedListAndOkStoresIt) {
  const std::wstring folder = Install(L"controller");
  ASSERT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_DINPUT8_STAND_IN").c_str(), (folder + L"\\dinput8.dll").c_str(), FALSE));
  const std::wstring scenario = workFolder_ + L"\\scenario.txt";
  const std::wstring log = workFolder_ + L"\\dinput.log";
  ASSERT_TRUE(WriteTextFile(scenario, "plug Logitech Dual Action\nstates 0 buttons=3\n"));

  // Wine reads DLL overrides only from the environment it was started with.
  ASSERT_NE(Environment(L"WINEDLLOVERRIDES").find(L"dinput8=n"), std::wstring::npos)
      << "run with WINEDLLOVERRIDES holding dinput8=n,b, as CTest does";
  SetEnvironmentVariableW(L"VKTEST_DINPUT_SCENARIO", scenario.c_str());
  SetEnvironmentVariableW(L"VKTEST_DINPUT_LOG", log.c_str());
  HWND gamepad = OpenGamepadSettings(folder);
  SetEnvironmentVariableW(L"VKTEST_DINPUT_SCENARIO", nullptr);
  SetEnvironmentVariableW(L"VKTEST_DINPUT_LOG", nullptr);
  ASSERT_NE(gamepad, nullptr);

  const bool followed = WaitUntil([&] { return Selected(gamepad, IDC_GAMEPAD_TYPE) == 5; }, 20s);
  const std::vector<uint8_t> calls = ReadFileBytes(log);
  ASSERT_TRUE(followed) << "the controller was not taken up; DirectInput calls:\n"
                        << std::string(calls.begin(), calls.end());
  EXPECT_EQ(Selected(gamepad, IDC_ACTION_A), 1) << "type 5 puts \"2\" on A";  // focus still on OK

  for (WORD key : {VK_TAB, VK_TAB, VK_TAB}) PressKey(gamepad, key);
  EXPECT_TRUE(WaitUntil([&] { return Selected(gamepad, IDC_ACTION_A) == 2; })) << "button 3 did not land in A";
  ClickControl(gamepad, IDOK);
  ASSERT_TRUE(WaitForGamepadSettingsClosed(gamepad));

  std::vector<std::wstring> expected = Section({L"[JOYPAD]", L"ProductName=Logitech Dual Action", L"ProductType=5"},
                                               Type5Stored);
  expected[3] = L"A=2";
  EXPECT_EQ(ConfigLines(), expected);
  CloseLauncher();
}

}  // namespace
}  // namespace testing_support
