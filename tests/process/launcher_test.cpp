#include "launcher_test.h"

namespace testing_support {

void LauncherTest::SetUp() {
  launcherExe_ = ArtefactPath(L"VKTEST_LAUNCHER_EXE");
  gameStandIn_ = ArtefactPath(L"VKTEST_GAME_STAND_IN");
  ASSERT_TRUE(FileExists(launcherExe_)) << "VKTEST_LAUNCHER_EXE";
  ASSERT_TRUE(FileExists(gameStandIn_)) << "VKTEST_GAME_STAND_IN";

  workFolder_ = MakeTempFolder(L"vk-" + std::to_wstring(GetCurrentProcessId()));
  logPath_ = workFolder_ + L"\\stand-in.log";
  holdPath_ = workFolder_ + L"\\hold";
  // Inherited by the launcher and so by every stand-in it starts.
  SetEnvironmentVariableW(L"VKTEST_FIXTURE_LOG", logPath_.c_str());
  SetEnvironmentVariableW(L"VKTEST_FIXTURE_HOLD", holdPath_.c_str());

  // The Media Center shell of this throwaway prefix is a stand-in too.
  wchar_t ehome[MAX_PATH];
  ExpandEnvironmentStringsW(L"%SystemRoot%\\ehome", ehome, MAX_PATH);
  CreateDirectoryW(ehome, nullptr);
  ASSERT_TRUE(CopyFileW(gameStandIn_.c_str(), (std::wstring(ehome) + L"\\ehshell.exe").c_str(), FALSE));
}

void LauncherTest::TearDown() {
  Release();
  SetEnvironmentVariableW(L"VKTEST_FIXTURE_LOG", nullptr);
  SetEnvironmentVariableW(L"VKTEST_FIXTURE_HOLD", nullptr);
}

std::wstring LauncherTest::Install(const std::wstring& folderName, GameFiles games) {
  const std::wstring folder = workFolder_ + L"\\" + folderName;
  CreateDirectoryW(folder.c_str(), nullptr);
  EXPECT_TRUE(CopyFileW(launcherExe_.c_str(), (folder + L"\\Launcher.exe").c_str(), FALSE));
  if (games == WithGames) {
    for (const wchar_t* game : {L"\\VKDDX9.exe", L"\\VKDDX10.exe"})
      EXPECT_TRUE(CopyFileW(gameStandIn_.c_str(), (folder + game).c_str(), FALSE));
  }
  return folder;
}

DWORD LauncherTest::RunToEnd(const std::wstring& folder, const std::wstring& arguments,
                             const std::wstring& currentFolder) {
  RunningProcess launcher = StartProgram(folder + L"\\Launcher.exe", arguments, currentFolder);
  EXPECT_TRUE(launcher.process) << "could not start the launcher";
  if (!launcher.process) return STILL_ACTIVE;
  WaitUntil([&] {
    if (launcher.HasEnded()) return true;
    for (HWND window : ProcessWindows(launcher.id)) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return false;
  });
  return launcher.WaitForExit(0ms);
}

void LauncherTest::HoldGames() { ASSERT_TRUE(WriteTextFile(holdPath_, "")); }

void LauncherTest::Release() { DeleteFileW(holdPath_.c_str()); }

}  // namespace testing_support
