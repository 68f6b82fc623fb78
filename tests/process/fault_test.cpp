// Bad input and faults around the real Launcher.exe under Wine: huge and odd
// command lines, deep install folders, launchers started all at once, game
// builds that crash. Every case ends in a clear outcome, with exit code 0,
// no crash and no hang.
#include <gtest/gtest.h>

#include <algorithm>

#include "launcher_test.h"

namespace testing_support {
namespace {

struct Started {
  const wchar_t* fileName;
  const wchar_t* arguments;
};

// How one launcher run ended.
struct Outcome {
  DWORD exitCode = STILL_ACTIVE;
  bool showedWindow = false;  // its main dialog (closed with Close) or a box
};

// Waits for the launcher to end, pressing Close in whatever it shows.
Outcome FinishRun(const RunningProcess& launcher) {
  Outcome outcome;
  if (!launcher.process) return outcome;
  WaitUntil([&] {
    if (launcher.HasEnded()) return true;
    for (HWND window : ProcessWindows(launcher.id)) {
      outcome.showedWindow = true;
      PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
    return false;
  });
  outcome.exitCode = launcher.WaitForExit(0ms);
  return outcome;
}

class Faults : public LauncherTest {
 protected:
  // The games that started, in order, once Media Center's shell (which the
  // launcher does not wait for) has had the time to log.
  void ExpectStarted(const std::vector<Started>& expected, const std::wstring& folder) {
    ASSERT_TRUE(WaitForLog(expected.size()));
    const auto log = Log();
    ASSERT_EQ(log.size(), expected.size());
    for (size_t i = 0; i < log.size(); ++i) {
      EXPECT_EQ(log[i].fileName, expected[i].fileName);
      EXPECT_EQ(log[i].arguments, expected[i].arguments);
      if (log[i].fileName != std::wstring(L"ehshell.exe")) {
        EXPECT_EQ(log[i].workingFolder, folder);
      }
    }
  }
};

// ---- Command lines ---------------------------------------------------------

// CreateProcessW takes 32,767 characters with the terminating NUL. Wine
// starts a program with a longer line too, cut to this length, where Windows
// refuses it; the launcher sees at most this many.
constexpr size_t LongestCommandLine = 32766;

struct CommandLineCase {
  const char* name;
  const wchar_t* filler;  // repeated between the program name and the tail
  const wchar_t* tail;    // ends the line
  std::vector<Started> started;
  bool dialog;
};

const CommandLineCase CommandLineCases[] = {
    {"switch at the very end",    L"x",             L" -dx9",           {{L"VKDDX9.exe", L"-dx9"}},  false},
    {"switches inside quotes",    L"\"a b\" ",      L"\"-dx10 -mce\"",  {{L"VKDDX10.exe", L"-dx10 -mce"}, {L"ehshell.exe", L""}}, false},
    {"switch after a tab",        L"\t",            L"\t-dx10",         {{L"VKDDX10.exe", L"-dx10"}}, false},
    {"quotes all along",          L"\"\"\\\"",      L"\"-dx9\"",        {{L"VKDDX9.exe", L"-dx9"}},  false},
    {"no switch, quotes and tabs", L"\" \t\"",      L"-",               {},                          true},
    {"switch in capitals",        L"-dx",           L" -DX9",           {},                          true},
    {"Media Center alone",        L"-mc",           L"-mce",            {{L"ehshell.exe", L""}},     true},
};

TEST_F(Faults, LongestCommandLinesWithSwitchesInOddPlaces) {
  const std::wstring folder = Install(L"long lines");
  const std::wstring exe = folder + L"\\Launcher.exe";
  for (const CommandLineCase& c : CommandLineCases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(logPath_.c_str());
    std::wstring line = L"\"" + exe + L"\" ";
    while (line.size() + wcslen(c.tail) < LongestCommandLine) line += c.filler;
    line.resize(LongestCommandLine - wcslen(c.tail));
    line += c.tail;
    ASSERT_EQ(line.size(), LongestCommandLine);

    const Outcome outcome = FinishRun(StartCommandLine(exe, line));
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(outcome.showedWindow, c.dialog);
    ExpectStarted(c.started, folder);
  }
}

// ---- Install folders -------------------------------------------------------

// A folder under ours whose "\Launcher.exe" path is exactly this long; made
// with the \\?\ form, which takes any length.
std::wstring DeepFolder(const std::wstring& base, size_t launcherPathLength) {
  const size_t folderLength = launcherPathLength - wcslen(L"\\Launcher.exe");
  std::wstring folder = base;
  CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
  while (folder.size() < folderLength) {
    size_t name = std::min<size_t>(folderLength - folder.size() - 1, 40);
    if (folderLength - folder.size() - 1 - name == 1) --name;  // leave room for one more name
    folder += L"\\" + std::wstring(name, L'd');
    CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
  }
  return folder;
}

TEST_F(Faults, DeepestInstallFolderWineCanStartFrom) {
  // MAX_PATH less the NUL: the deepest launcher path Windows and Wine start
  // without long-path support. One character more and Wine starts nothing.
  constexpr size_t Deepest = MAX_PATH - 1;
  const std::wstring folder = DeepFolder(workFolder_ + L"\\deep", Deepest);
  for (const wchar_t* file : {L"\\Launcher.exe", L"\\VKDDX9.exe", L"\\VKDDX10.exe"}) {
    const std::wstring& source = file == std::wstring(L"\\Launcher.exe") ? launcherExe_ : gameStandIn_;
    ASSERT_TRUE(CopyFileW(source.c_str(), (L"\\\\?\\" + folder + file).c_str(), FALSE));
  }
  const std::wstring exe = folder + L"\\Launcher.exe";
  ASSERT_EQ(exe.size(), Deepest);

  const Outcome outcome = FinishRun(StartProgram(exe, L"-dx10 -mce"));
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_FALSE(outcome.showedWindow);
  ExpectStarted({{L"VKDDX10.exe", L"-dx10 -mce"}, {L"ehshell.exe", L""}}, folder);

  const std::wstring deeper = DeepFolder(workFolder_ + L"\\deeper", Deepest + 1);
  ASSERT_TRUE(CopyFileW(launcherExe_.c_str(), (L"\\\\?\\" + deeper + L"\\Launcher.exe").c_str(), FALSE));
  EXPECT_FALSE(StartProgram(deeper + L"\\Launcher.exe", L"-dx9").process)
      << "Wine now starts programs from longer paths: test the launcher there too";
}

// ---- Launchers started at the same moment ----------------------------------

struct SuspendedProcess {
  RunningProcess running;
  platform::unique_handle thread;
  DWORD error = ERROR_SUCCESS;  // of a failed start
};

// Ends whatever is left of them, so that a failed test leaves nothing
// suspended behind.
struct ProcessGroup : std::vector<SuspendedProcess> {
  ~ProcessGroup() {
    for (SuspendedProcess& process : *this)
      if (process.running.process && !process.running.HasEnded()) TerminateProcess(process.running.process.get(), 1);
  }
};

SuspendedProcess StartSuspended(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring line = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  SuspendedProcess started;
  if (CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                     &startup, &info)) {
    started.running.process.reset(info.hProcess);
    started.running.id = info.dwProcessId;
    started.thread.reset(info.hThread);
  } else {
    started.error = GetLastError();
  }
  return started;
}

TEST_F(Faults, TenLaunchersAtOnceGiveOneDialogOrOneGame) {
  const std::wstring folder = Install(L"ten at once");
  constexpr int Count = 10;
  for (const wchar_t* arguments : {L"", L"-dx9"}) {
    SCOPED_TRACE(testing::Message() << "arguments: " << testing::PrintToString(std::wstring(arguments)));
    DeleteFileW(logPath_.c_str());
    HoldGames();
    ProcessGroup launchers;
    for (int i = 0; i < Count; ++i) {
      launchers.push_back(StartSuspended(folder + L"\\Launcher.exe", arguments));
      ASSERT_TRUE(launchers.back().running.process) << "launcher " << i << ", error " << launchers.back().error;
    }
    for (SuspendedProcess& launcher : launchers) ResumeThread(launcher.thread.get());

    // All but one end by themselves; the one left waits for the player or
    // for its game, so nothing else ends it.
    const auto ended = [&] {
      return std::count_if(launchers.begin(), launchers.end(),
                           [](const SuspendedProcess& l) { return l.running.HasEnded(); });
    };
    ASSERT_TRUE(WaitUntil([&] { return ended() == Count - 1; }));
    const auto survivor = std::find_if(launchers.begin(), launchers.end(),
                                       [](const SuspendedProcess& l) { return !l.running.HasEnded(); });
    for (const SuspendedProcess& launcher : launchers) {
      if (&launcher != &*survivor) {
        EXPECT_EQ(launcher.running.WaitForExit(0ms), 0u);
      }
    }
    if (*arguments == L'\0') {
      EXPECT_TRUE(WaitUntil([&] { return !ProcessWindows(survivor->running.id).empty(); }));
      EXPECT_TRUE(Log().empty());
    } else {
      ASSERT_TRUE(WaitForLog(1));
      EXPECT_TRUE(ProcessWindows(survivor->running.id).empty());
    }
    Release();
    const Outcome outcome = FinishRun(survivor->running);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(ended(), Count);
    EXPECT_EQ(Log().size(), *arguments == L'\0' ? 0u : 1u);
  }
}

// ---- Game builds that fail -------------------------------------------------

struct GameFault {
  const char* name;
  const wchar_t* variable;  // of the stand-in
  const wchar_t* value;
  DWORD gameExitCode;
};

const GameFault GameFaults[] = {
    {"access violation",           L"VKTEST_FIXTURE_CRASH", L"1",          0xC0000005},
    {"exits with 0xC0000005",      L"VKTEST_FIXTURE_EXIT",  L"0xC0000005", 0xC0000005},
    {"exits with 1",               L"VKTEST_FIXTURE_EXIT",  L"1",          1},
    {"exits with 0xFFFFFFFF",      L"VKTEST_FIXTURE_EXIT",  L"0xFFFFFFFF", 0xFFFFFFFF},
};

TEST_F(Faults, AGameThatFailsStillEndsInMediaCenter) {
  const std::wstring folder = Install(L"failing games");
  for (const GameFault& fault : GameFaults) {
    SCOPED_TRACE(fault.name);
    SetEnvironmentVariableW(fault.variable, fault.value);
    // The stand-in does fail so.
    EXPECT_EQ(StartProgram(gameStandIn_, L"").WaitForExit(), fault.gameExitCode);

    DeleteFileW(logPath_.c_str());
    const Outcome outcome = FinishRun(StartProgram(folder + L"\\Launcher.exe", L"-dx9 -mce"));
    SetEnvironmentVariableW(fault.variable, nullptr);
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.showedWindow) << "a game that ran is no failed start";
    ExpectStarted({{L"VKDDX9.exe", L"-dx9 -mce"}, {L"ehshell.exe", L""}}, folder);
  }
}

}  // namespace
}  // namespace testing_support
