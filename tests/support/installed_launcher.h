// The real Launcher.exe installed in a throwaway folder with stand-ins for the
// two game builds and for Media Center's shell, each of which logs how it was
// started (support/game_stand_in.cpp).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace testing_support {

// One start of a stand-in: its file name, arguments and working folder.
struct Started {
  std::wstring fileName;
  std::wstring arguments;
  std::wstring workingFolder;
  bool operator==(const Started&) const = default;
};
void PrintTo(const Started& started, std::ostream* out);

class InstalledLauncher : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A folder of this name holding Launcher.exe and, withGames, the builds.
  std::wstring Install(const std::wstring& folderName, bool withGames = true);
  // Starts the installed launcher and returns its main dialog (nullptr, with
  // a failure, when it shows none).
  HWND OpenMainDialog(const std::wstring& folder, const std::wstring& arguments = L"");
  // Waits for the launcher to end, pressing Close in whatever window it shows.
  DWORD RunToEnd(const RunningProcess& launcher) const;

  // The stand-ins started so far; Media Center's shell, which the launcher
  // does not wait for, is waited for up to count starts.
  std::vector<Started> StartedSoFar(size_t count = 0) const;
  void ClearLog() const { DeleteFileW(logPath_.c_str()); }
  // Every stand-in keeps running until Release().
  void HoldGames() const { WriteFileBytes(holdPath_, ""); }
  void Release() const { DeleteFileW(holdPath_.c_str()); }

  std::wstring launcherExe_, workFolder_, logPath_, holdPath_;
  RunningProcess launcher_;  // the one OpenMainDialog started
};

}  // namespace testing_support
