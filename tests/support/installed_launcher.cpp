#include "installed_launcher.h"

#include <ostream>

namespace testing_support {

namespace {

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  return wide;
}

}  // namespace

void PrintTo(const Started& started, std::ostream* out) {
  *out << testing::PrintToString(started.fileName) << " " << testing::PrintToString(started.arguments) << " in "
       << testing::PrintToString(started.workingFolder);
}

void InstalledLauncher::SetUp() {
  launcherExe_ = ArtefactPath(L"VKTEST_LAUNCHER_EXE");
  ASSERT_TRUE(FileExists(launcherExe_)) << "VKTEST_LAUNCHER_EXE";
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
  EXPECT_TRUE(CopyFileW(launcherExe_.c_str(), (folder + L"\\Launcher.exe").c_str(), FALSE));
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
  if (dialog) WaitForInputIdle(launcher_.process.get(), static_cast<DWORD>(LongWait.count()));
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
    started.clear();
    const std::wstring log = Utf8ToWide(ReadFileBytes(logPath_));
    for (size_t start = 0, end; (end = log.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
      const std::wstring line = log.substr(start, end - start);
      const size_t tab1 = line.find(L'\t'), tab2 = line.find(L'\t', tab1 + 1);
      started.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return started.size() >= count;
  }, count ? LongWait : 0ms);
  return started;
}

}  // namespace testing_support
