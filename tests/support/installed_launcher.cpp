#include "installed_launcher.h"

#include <ostream>

namespace testing_support {

void PrintTo(const Started& started, std::ostream* out) {
  *out << testing::PrintToString(started.fileName + L" " + started.arguments + L" in " + started.workingFolder);
}

void InstalledLauncher::SetUp() {
  workFolder_ = MakeTempFolder(L"vk-" + std::to_wstring(GetCurrentProcessId()));
  logPath_ = workFolder_ + L"\\started.log";
  holdPath_ = workFolder_ + L"\\hold";
  // Inherited by the launcher and so by every stand-in it starts.
  SetEnvironmentVariableW(L"VKTEST_STAND_IN_LOG", logPath_.c_str());
  SetEnvironmentVariableW(L"VKTEST_STAND_IN_HOLD", holdPath_.c_str());
  wchar_t shell[MAX_PATH];
  ExpandEnvironmentStringsW(L"%SystemRoot%\\ehome", shell, MAX_PATH);
  CreateDirectoryW(shell, nullptr);
  ASSERT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_GAME_STAND_IN").c_str(), (shell + std::wstring(L"\\ehshell.exe")).c_str(),
                        FALSE));
}

void InstalledLauncher::TearDown() {
  Release();
  // A launcher left open by a failed test would keep later ones out.
  if (launcher_.process && !launcher_.HasEnded()) TerminateProcess(launcher_.process.get(), 1);
  launcher_.WaitForExit();
}

std::wstring InstalledLauncher::Install(const std::wstring& folderName, bool withGames) {
  const std::wstring folder = workFolder_ + L"\\" + folderName;
  CreateDirectoryW(folder.c_str(), nullptr);
  EXPECT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_LAUNCHER_EXE").c_str(), (folder + L"\\Launcher.exe").c_str(), FALSE));
  for (const wchar_t* game : {L"\\VKDDX9.exe", L"\\VKDDX10.exe"}) {
    if (!withGames) break;
    EXPECT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_GAME_STAND_IN").c_str(), (folder + game).c_str(), FALSE));
  }
  return folder;
}

HWND InstalledLauncher::OpenMainDialog(const std::wstring& folder, const std::wstring& arguments) {
  launcher_ = StartProgram(folder + L"\\Launcher.exe", arguments);
  HWND dialog = nullptr;
  WaitUntil([&] {
    for (HWND window : ProcessWindows(launcher_.id)) dialog = window;
    return dialog || launcher_.HasEnded();
  });
  EXPECT_NE(dialog, nullptr) << "the launcher showed no window";
  WaitForInputIdle(launcher_.process.get(), 60000);
  return dialog;
}

DWORD InstalledLauncher::RunToEnd(const RunningProcess& launcher) const {
  WaitUntil([&] {
    for (HWND window : ProcessWindows(launcher.id)) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return launcher.HasEnded();
  });
  return launcher.WaitForExit(0ms);
}

std::vector<Started> InstalledLauncher::StartedSoFar(size_t count) const {
  std::vector<Started> started;
  WaitUntil([&] {
    const std::string utf8 = ReadFileBytes(logPath_);
    std::wstring log(utf8.size(), L'\0');
    log.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), log.data(), int(log.size())));
    started.clear();
    for (size_t start = 0, end; (end = log.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
      const size_t tab1 = log.find(L'\t', start), tab2 = log.find(L'\t', tab1 + 1);
      started.push_back({log.substr(start, tab1 - start), log.substr(tab1 + 1, tab2 - tab1 - 1),
                         log.substr(tab2 + 1, end - tab2 - 1)});
    }
    return started.size() >= count;
  }, count ? 60s : 0ms);
  return started;
}

}  // namespace testing_support
