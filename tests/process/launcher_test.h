// A test fixture that installs the real Launcher.exe with stand-in game builds
// in throwaway folders and starts it as a player or Media Center would.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_process.h"

namespace testing_support {

enum GameFiles { NoGames = 0, WithGames = 1 };

class LauncherTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A folder named so under the temporary folder holding Launcher.exe and,
  // with WithGames, the two stand-in game builds.
  std::wstring Install(const std::wstring& folderName, GameFiles games = WithGames);

  // Runs the installed launcher with these arguments to its end; should it
  // show its main dialog, Close is pressed. Returns the exit code.
  DWORD RunToEnd(const std::wstring& folder, const std::wstring& arguments,
                 const std::wstring& currentFolder = {});

  // Keeps every stand-in running until Release().
  void HoldGames();
  void Release();

  std::vector<FixtureLogEntry> Log() const { return ReadFixtureLog(logPath_); }
  bool WaitForLog(size_t count) const { return WaitForFixtureLog(logPath_, count); }

  std::wstring launcherExe_;
  std::wstring gameStandIn_;
  std::wstring workFolder_;
  std::wstring logPath_;
  std::wstring holdPath_;
};

}  // namespace testing_support
