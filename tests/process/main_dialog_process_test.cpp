// The main launcher dialog as a player sees it: the real Launcher.exe under
// Xvfb, started without a build switch, with stand-ins for the game builds
// and for Media Center's shell.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "launcher_test.h"
#include "player_input.h"
#include "resource.h"
#include "test_images.h"
#include "test_registry.h"

namespace testing_support {
namespace {

// The dialog's title in each display language. CTest runs this program once
// per display language (LC_ALL); the launcher it starts inherits it.
struct DisplayLanguageView {
  LANGID display;
  const wchar_t* name;
  const wchar_t* title;
  bool screenshot;
};

const DisplayLanguageView Views[] = {
    {0x0411, L"ja-JP", L"VARKOLD ランチャー",               true},
    {0x0409, L"en-US", L"VARKOLD LAUNCHER",                 true},
    {0x0407, L"de-DE", L"VARKOLD STARTPROGRAMM",            false},
    {0x040C, L"fr-FR", L"LANCEUR VARKOLD",                  false},
    {0x0C0A, L"es-ES", L"LANZADOR VARKOLD",                 false},
    {0x0410, L"it-IT", L"AVVIO DI VARKOLD",                 false},
    {0x0419, L"ru-RU", L"ЗАПУСК VARKOLD",                   true},
    {0x0415, L"pl-PL", L"VARKOLD - PROGRAM URUCHAMIAJĄCY",  false},
    {0x0405, L"cs-CZ", L"VARKOLD LAUNCHER",                 false},
};

// What the screen shows of the window once two captures in a row agree:
// idle as the launcher is, its picture may still be on its way to the screen.
Image SettledCapture(HWND window) {
  Image last = CaptureWindow(window);
  WaitUntil([&] {
    Image next = CaptureWindow(window);
    const bool settled = next.rgba == last.rgba;
    last = std::move(next);
    return settled;
  });
  return last;
}

class MainDialogAsPlayerSees : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    DeleteLanguageKeys();
  }
  void TearDown() override {
    // A launcher left open by a failed test would keep later ones out.
    if (launcher_.process && !launcher_.HasEnded()) TerminateProcess(launcher_.process.get(), 1);
    DeleteLanguageKeys();
    LauncherTest::TearDown();
  }

  // Starts the installed launcher and waits for its main dialog.
  HWND Open(const std::wstring& folder, const std::wstring& arguments) {
    if (launcher_.process && !launcher_.HasEnded()) TerminateProcess(launcher_.process.get(), 1);
    launcher_ = StartProgram(folder + L"\\Launcher.exe", arguments);
    EXPECT_TRUE(launcher_.process) << "could not start the launcher";
    HWND dialog = nullptr;
    WaitUntil([&] {
      const auto windows = ProcessWindows(launcher_.id);
      if (!windows.empty()) dialog = windows.front();
      return dialog != nullptr || launcher_.HasEnded();
    });
    EXPECT_NE(dialog, nullptr) << "the launcher showed no window";
    // Painted and waiting for the player.
    WaitForInputIdle(launcher_.process.get(), static_cast<DWORD>(LongWait.count()));
    return dialog;
  }

  RunningProcess launcher_;
};

TEST_F(MainDialogAsPlayerSees, ShowsItselfInTheDisplayLanguage) {
  const LANGID display = GetUserDefaultUILanguage();
  const DisplayLanguageView* view = nullptr;
  for (const DisplayLanguageView& v : Views)
    if (v.display == display) view = &v;
  ASSERT_NE(view, nullptr) << "no title known for display language 0x" << std::hex << display;
  const std::wstring expected = Environment(L"VKTEST_DISPLAY_LANGID");
  if (!expected.empty()) {
    ASSERT_EQ(display, std::stoi(expected, nullptr, 16)) << "the display language was not taken from LC_ALL";
  }

  const std::wstring folder = Install(L"display");
  HWND dialog = Open(folder, L"");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WindowTitle(dialog), view->title);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_DIRECTX10))) << "Wine reports Windows 6.1";
  if (view->screenshot) {
    const std::wstring path = ArtifactFolder() + L"\\main-dialog-" + view->name + L".png";
    EXPECT_TRUE(WritePng(path, SettledCapture(dialog))) << "could not write the screenshot";
  }

  ClickControl(dialog, IDCANCEL);
  EXPECT_EQ(launcher_.WaitForExit(), 0u);
  EXPECT_TRUE(Log().empty());
}

using PlayerAction = std::function<void(HWND dialog)>;

struct WayOut {
  const char* what;
  const wchar_t* arguments;
  PlayerAction act;
  std::vector<std::pair<const wchar_t*, const wchar_t*>> started;  // file name, arguments
};

// The buttons start their build, with "-mce" handed on; Close, Esc and the
// close box start no game. Media Center's shell follows whatever was chosen.
TEST_F(MainDialogAsPlayerSees, EachWayOutStartsWhatThePlayerChose) {
  const PlayerAction directX9 = [](HWND dialog) { ClickControl(dialog, IDC_RUN_DIRECTX9); };
  const PlayerAction directX10 = [](HWND dialog) { ClickControl(dialog, IDC_RUN_DIRECTX10); };
  const PlayerAction close = [](HWND dialog) { ClickControl(dialog, IDCANCEL); };
  const PlayerAction escape = [](HWND dialog) { PressKey(dialog, VK_ESCAPE); };
  const PlayerAction closeBox = [](HWND dialog) { ASSERT_TRUE(ClickCloseBox(dialog)); };
  const WayOut cases[] = {
      {"DirectX 9 button",           L"",     directX9,  {{L"VKDDX9.exe", L"-dx9"}}},
      {"DirectX 9 button after -mce", L"-mce", directX9,  {{L"VKDDX9.exe", L"-dx9 -mce"}, {L"ehshell.exe", L""}}},
      {"DirectX 10 button",          L"",     directX10, {{L"VKDDX10.exe", L"-dx10"}}},
      {"Close button",               L"",     close,     {}},
      {"Esc key",                    L"",     escape,    {}},
      {"close box",                  L"",     closeBox,  {}},
      {"Esc key after -mce",         L"-mce", escape,    {{L"ehshell.exe", L""}}},
  };
  const std::wstring folder = Install(L"ways out");
  for (const WayOut& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileW(logPath_.c_str());
    HWND dialog = Open(folder, c.arguments);
    ASSERT_NE(dialog, nullptr);
    c.act(dialog);
    EXPECT_EQ(launcher_.WaitForExit(), 0u);
    // Media Center's shell is not waited for: give it the time to log.
    ASSERT_TRUE(WaitForLog(c.started.size()));
    const auto log = Log();
    ASSERT_EQ(log.size(), c.started.size());
    for (size_t i = 0; i < log.size(); ++i) {
      EXPECT_EQ(log[i].fileName, c.started[i].first);
      EXPECT_EQ(log[i].arguments, c.started[i].second);
    }
  }
}

// The game reads the language when it starts: the choice is in the registry
// while the game runs, before the launcher has ended.
TEST_F(MainDialogAsPlayerSees, ChosenLanguageIsStoredBeforeTheGameStarts) {
  const std::wstring folder = Install(L"language");
  HoldGames();
  HWND dialog = Open(folder, L"");
  ASSERT_NE(dialog, nullptr);
  // Language > Español with the keyboard: F10 selects the menu bar, Down
  // opens the Language menu on its first item, four more lead to Español.
  for (WORD key : {VK_F10, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) PressKey(dialog, key);
  ASSERT_TRUE(WaitUntil([] { return ReadStoredLanguage(HKEY_CURRENT_USER).value; }))
      << "choosing Español in the menu stored nothing";
  ClickControl(dialog, IDC_RUN_DIRECTX9);
  ASSERT_TRUE(WaitForLog(1));
  EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), Text(L"1034"));
  EXPECT_EQ(ReadStoredLanguage(HKEY_LOCAL_MACHINE), NoKey());
  EXPECT_FALSE(launcher_.HasEnded());
  Release();
  EXPECT_EQ(launcher_.WaitForExit(), 0u);
}

}  // namespace
}  // namespace testing_support
