// The real Launcher.exe started as a player, a store or Media Center would,
// with stand-ins for the game builds and Media Center's shell.
#include <gtest/gtest.h>

#include <algorithm>

#include "installed_launcher.h"

namespace testing_support {
namespace {

using StartUp = InstalledLauncher;

constexpr wchar_t MediaCenter[] = L"ehshell.exe";

// The folder's name holds every switch, blanks and non-ASCII letters: only
// the arguments decide, and each build starts in the launcher's folder
// wherever the player started the launcher from.
TEST_F(StartUp, EachBuildGetsItsSwitchesAndTheLaunchersFolder) {
  const std::wstring folder = Install(L"VARKOLD -dx9 -dx10 -mce Ärger 日本語");
  const std::wstring elsewhere = MakeTempFolder(L"vk-elsewhere");
  const struct {
    const wchar_t* arguments;
    std::vector<Started> started;  // Media Center's working folder is left out
  } cases[] = {
      {L"-dx9", {{L"VKDDX9.exe", L"-dx9", folder}}},
      {L"-dx10", {{L"VKDDX10.exe", L"-dx10", folder}}},
      {L"-dx9 -mce", {{L"VKDDX9.exe", L"-dx9 -mce", folder}, {MediaCenter, L"", L""}}},
      {L"-mce -dx10", {{L"VKDDX10.exe", L"-dx10 -mce", folder}, {MediaCenter, L"", L""}}},
      {L"-mce", {{MediaCenter, L"", L""}}},  // the dialog, closed
      {L"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.arguments)));
    ClearLog();
    EXPECT_EQ(RunToEnd(StartProgram(folder + L"\\Launcher.exe", c.arguments, elsewhere)), 0u);
    std::vector<Started> started = StartedSoFar(c.started.size());
    for (Started& s : started)
      if (s.fileName == MediaCenter) s.workingFolder.clear();
    EXPECT_EQ(started, c.started);
  }
}

// While the game runs the launcher waits and keeps its guard: a second
// launcher ends at once and starts nothing; Media Center comes only after.
TEST_F(StartUp, WaitsForTheGameAndRefusesASecondLauncher) {
  const std::wstring folder = Install(L"plain");
  HoldGames();
  const RunningProcess first = StartProgram(folder + L"\\Launcher.exe", L"-dx9 -mce");
  ASSERT_EQ(StartedSoFar(1).size(), 1u);
  for (const wchar_t* arguments : {L"-dx10 -mce", L""}) {
    const RunningProcess second = StartProgram(folder + L"\\Launcher.exe", arguments);
    EXPECT_EQ(second.WaitForExit(), 0u);
    EXPECT_TRUE(ProcessWindows(second.id).empty());
  }
  EXPECT_FALSE(first.HasEnded());
  EXPECT_EQ(StartedSoFar().size(), 1u);
  Release();
  EXPECT_EQ(first.WaitForExit(), 0u);
  const std::vector<Started> started = StartedSoFar(2);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[1].fileName, MediaCenter);
}

TEST_F(StartUp, AMissingBuildIsReportedInOneBoxThenMediaCenterFollows) {
  const std::wstring folder = Install(L"no games", false);
  const RunningProcess launcher = StartProgram(folder + L"\\Launcher.exe", L"-dx9 -mce");
  // Wine's shell shows a box of its own first: dismiss whatever comes before ours.
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND window : ProcessWindows(launcher.id)) {
      if (WindowText(window) == L"LaunchGame Failed.") box = window;
      else PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return box != nullptr;
  }));
  wchar_t* systemText = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0,
                 reinterpret_cast<wchar_t*>(&systemText), 0, nullptr);
  ASSERT_NE(systemText, nullptr);
  // Message boxes keep their text in a static control with id 0xFFFF.
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), systemText + std::wstring(L"\n(Errorcode:0002)"));
  LocalFree(systemText);
  EXPECT_TRUE(StartedSoFar().empty()) << "nothing may start before the box is dismissed";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(launcher.WaitForExit(), 0u);
  EXPECT_EQ(StartedSoFar(1).at(0).fileName, MediaCenter);
}

// All but one end by themselves; the one left shows the dialog or runs the game.
TEST_F(StartUp, TenLaunchersAtOnceGiveOneDialogOrOneGame) {
  const std::wstring folder = Install(L"ten at once");
  for (const wchar_t* arguments : {L"", L"-dx9"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(arguments)));
    ClearLog();
    HoldGames();
    std::vector<RunningProcess> launchers(10);
    const std::wstring exe = folder + L"\\Launcher.exe";
    for (RunningProcess& launcher : launchers) {
      launcher = StartCommandLine(exe, L"\"" + exe + L"\" " + arguments, CREATE_SUSPENDED);
      ASSERT_TRUE(launcher.process);
    }
    for (const RunningProcess& launcher : launchers) ResumeThread(launcher.suspendedThread.get());
    const auto running = [&] {
      return std::count_if(launchers.begin(), launchers.end(), [](const RunningProcess& l) { return !l.HasEnded(); });
    };
    ASSERT_TRUE(WaitUntil([&] { return running() == 1; }));
    for (const RunningProcess& launcher : launchers) EXPECT_TRUE(!launcher.HasEnded() || launcher.WaitForExit() == 0);
    const auto survivor = std::find_if(launchers.begin(), launchers.end(), [](auto& l) { return !l.HasEnded(); });
    if (*arguments) {
      EXPECT_EQ(StartedSoFar(1).size(), 1u);
    } else {
      EXPECT_TRUE(WaitUntil([&] { return !ProcessWindows(survivor->id).empty(); }));
    }
    Release();
    EXPECT_EQ(RunToEnd(*survivor), 0u);
    EXPECT_EQ(StartedSoFar().size(), *arguments ? 1u : 0u);
  }
}

}  // namespace
}  // namespace testing_support
