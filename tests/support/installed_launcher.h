// The real Launcher.exe installed in a throwaway folder with stand-ins for the
// game builds and Media Center's shell, which log how they were started.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace testing_support {

struct Started {
  std::wstring fileName, arguments, workingFolder;
  bool operator==(const Started&) const = default;
};
void PrintTo(const Started& started, std::ostream* out);

class InstalledLauncher : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A folder of this name with Launcher.exe and, withGames, the two builds.
  std::wstring Install(const std::wstring& folderName, bool withGames = true);
  // Starts the installed launcher; its main dialog, or nullptr with a failure.
  HWND OpenMainDialog(const std::wstring& folder, const std::wstring& arguments = L"");
  // Waits for the launcher to end, pressing Close in whatever window it shows.
  DWORD RunToEnd(const RunningProcess& launcher) const;
  // The stand-ins started so far, waiting for at least count of them.
  std::vector<Started> StartedSoFar(size_t count = 0) const;
  void ClearLog() const { DeleteFileW(logPath_.c_str()); }
  // Every stand-in keeps running until Release().
  void HoldGames() const { WriteFileBytes(holdPath_, ""); }
  void Release() const { DeleteFileW(holdPath_.c_str()); }

  std::wstring workFolder_, logPath_, holdPath_;
  RunningProcess launcher_;  // the one OpenMainDialog started
};

}  // namespace testing_support
