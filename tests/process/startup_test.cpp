// The real Launcher.exe under Wine, started as a player or Media Center would,
// with stand-ins for the game builds and for Media Center's shell.
#include <gtest/gtest.h>

#include "launcher_test.h"

namespace testing_support {
namespace {

struct Started {
  const wchar_t* fileName;
  const wchar_t* arguments;
};

struct SwitchCase {
  const wchar_t* arguments;
  std::vector<Started> started;  // in the order they start
};

const SwitchCase SwitchCases[] = {
    {L"-dx9",            {{L"VKDDX9.exe", L"-dx9"}}},
    {L"-dx10",           {{L"VKDDX10.exe", L"-dx10"}}},
    {L"-dx9 -mce",       {{L"VKDDX9.exe", L"-dx9 -mce"}, {L"ehshell.exe", L""}}},
    {L"-mce -dx10",      {{L"VKDDX10.exe", L"-dx10 -mce"}, {L"ehshell.exe", L""}}},
    {L"-dx10 -dx9",      {{L"VKDDX9.exe", L"-dx9"}}},
    {L"-dx9window",      {{L"VKDDX9.exe", L"-dx9"}}},
    {L"\"x -dx10\"",     {{L"VKDDX10.exe", L"-dx10"}}},
    {L"-mce",            {{L"ehshell.exe", L""}}},
    {L"-DX9 /dx10 -MCE", {}},
    {L"",                {}},
};

using StartUp = LauncherTest;

// The folder's name holds every switch, blanks and non-ASCII letters: only
// the arguments decide, and the game still finds its folder.
TEST_F(StartUp, EverySwitchStartsItsBuildFromTheLaunchersFolder) {
  const std::wstring folder = Install(L"VARKOLD -dx9 -dx10 -mce Ärger 日本語");
  const std::wstring elsewhere = MakeTempFolder(L"vk-elsewhere");
  for (const SwitchCase& c : SwitchCases) {
    SCOPED_TRACE(testing::Message() << "arguments: " << testing::PrintToString(std::wstring(c.arguments)));
    DeleteFileW(logPath_.c_str());
    EXPECT_EQ(RunToEnd(folder, c.arguments, elsewhere), 0u);

    // Media Center's shell is not waited for: give it the time to log.
    ASSERT_TRUE(WaitForLog(c.started.size()));
    const auto log = Log();
    ASSERT_EQ(log.size(), c.started.size());
    for (size_t i = 0; i < log.size(); ++i) {
      EXPECT_EQ(log[i].fileName, c.started[i].fileName);
      EXPECT_EQ(log[i].arguments, c.started[i].arguments);
      if (log[i].fileName != L"ehshell.exe") {
        EXPECT_EQ(log[i].workingFolder, folder);
      }
    }
  }
}

// While the game runs the launcher waits and keeps its guard: a second
// launcher ends at once and starts nothing; Media Center comes only after.
TEST_F(StartUp, WaitsForTheGameAndRefusesASecondLauncher) {
  const std::wstring folder = Install(L"plain");
  HoldGames();
  RunningProcess first = StartProgram(folder + L"\\Launcher.exe", L"-dx9 -mce");
  ASSERT_TRUE(WaitForLog(1));

  for (const wchar_t* arguments : {L"-dx10 -mce", L"-dx9", L""}) {
    RunningProcess second = StartProgram(folder + L"\\Launcher.exe", arguments);
    EXPECT_EQ(second.WaitForExit(20s), 0u) << "second launcher, arguments " << testing::PrintToString(std::wstring(arguments));
    EXPECT_TRUE(ProcessWindows(second.id).empty());
  }
  EXPECT_FALSE(first.HasEnded());
  EXPECT_EQ(Log().size(), 1u);

  Release();
  EXPECT_EQ(first.WaitForExit(), 0u);
  ASSERT_TRUE(WaitForLog(2));
  const auto log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].fileName, L"VKDDX9.exe");
  EXPECT_EQ(log[1].fileName, L"ehshell.exe");
}

TEST_F(StartUp, MissingGameIsReportedOnceThenMediaCenterFollows) {
  const std::wstring folder = Install(L"no games", NoGames);
  RunningProcess launcher = StartProgram(folder + L"\\Launcher.exe", L"-dx9 -mce");

  // Wine's shell shows a box of its own first: dismiss whatever comes before ours.
  HWND failure = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND window : ProcessWindows(launcher.id)) {
      if (WindowTitle(window) == L"LaunchGame Failed.")
        failure = window;
      else
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return failure != nullptr;
  }));

  wchar_t* systemText = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0,
                 reinterpret_cast<wchar_t*>(&systemText), 0, nullptr);
  ASSERT_NE(systemText, nullptr);
  EXPECT_EQ(MessageBoxText(failure), std::wstring(systemText) + L"\n(Errorcode:0002)");
  LocalFree(systemText);
  EXPECT_TRUE(Log().empty()) << "nothing may start before the box is dismissed";

  PostMessageW(failure, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(launcher.WaitForExit(), 0u);
  ASSERT_TRUE(WaitForLog(1));
  EXPECT_EQ(Log().at(0).fileName, L"ehshell.exe");
}

}  // namespace
}  // namespace testing_support
