// The real Launcher.exe installed in a throwaway folder with stand-ins for the
// game builds and Media Center's shell, which log how they were started.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "test_support.h"

namespace testing_support {

struct Started {
  std::wstring fileName, arguments, workingFolder;
  bool operator==(const Started&) const = default;
  friend void PrintTo(const Started& s, std::ostream* out) {
    *out << testing::PrintToString(s.fileName + L" " + s.arguments + L" in " + s.workingFolder);
  }
};

class InstalledLauncher : public testing::Test {
 protected:
  void SetUp() override {
    // Inherited by the launcher and so by every stand-in it starts.
    SetEnvironmentVariableW(L"VKTEST_STAND_IN_LOG", logPath_.c_str());
    SetEnvironmentVariableW(L"VKTEST_STAND_IN_HOLD", holdPath_.c_str());
    wchar_t shell[MAX_PATH];
    ExpandEnvironmentStringsW(L"%SystemRoot%\\ehome", shell, MAX_PATH);
    CreateDirectoryW(shell, nullptr);
    ASSERT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_GAME_STAND_IN").c_str(), (shell + std::wstring(L"\\ehshell.exe")).c_str(),
                          FALSE));
  }
  void TearDown() override {
    Release();
    // A launcher left open by a failed test would keep later ones out.
    if (launcher_.process && !launcher_.HasEnded()) TerminateProcess(launcher_.process.get(), 1);
    launcher_.WaitForExit();
  }

  // A folder of this name with Launcher.exe and, withGames, the two builds.
  std::wstring Install(const std::wstring& folderName, bool withGames = true) const {
    const std::wstring folder = workFolder_ + L"\\" + folderName;
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_LAUNCHER_EXE").c_str(), (folder + L"\\Launcher.exe").c_str(), 0));
    for (const wchar_t* game : {L"\\VKDDX9.exe", L"\\VKDDX10.exe"})
      if (withGames) CopyFileW(ArtefactPath(L"VKTEST_GAME_STAND_IN").c_str(), (folder + game).c_str(), FALSE);
    return folder;
  }
  // Starts the installed launcher; its main dialog, or nullptr with a failure.
  HWND OpenMainDialog(const std::wstring& folder, const std::wstring& arguments = L"") {
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
  // Waits for the launcher to end, pressing Close in whatever window it shows.
  static DWORD RunToEnd(const RunningProcess& launcher) {
    WaitUntil([&] {
      for (HWND window : ProcessWindows(launcher.id)) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
      return launcher.HasEnded();
    });
    return launcher.WaitForExit(0ms);
  }
  // The stand-ins started so far, waiting for at least count of them.
  std::vector<Started> StartedSoFar(size_t count = 0) const {
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
  void ClearLog() const { DeleteFileW(logPath_.c_str()); }
  // Every stand-in keeps running until Release().
  void HoldGames() const { WriteFileBytes(holdPath_, ""); }
  void Release() const { DeleteFileW(holdPath_.c_str()); }

  const std::wstring workFolder_ = MakeTempFolder(L"vk-" + std::to_wstring(GetCurrentProcessId()));
  const std::wstring logPath_ = workFolder_ + L"\\started.log", holdPath_ = workFolder_ + L"\\hold";
  RunningProcess launcher_;  // the one OpenMainDialog started
};

}  // namespace testing_support
