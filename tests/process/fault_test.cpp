// Bad input and faults around the real Launcher.exe under Wine: huge and odd
// command lines, deep install folders, launchers started all at once, game
// builds that crash. Every case ends in a clear outcome, with exit code 0,
// no crash and no hang.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>

#include "launcher_test.h"
#include "resource.h"
#include "test_registry.h"

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

// Waits for the launcher to end, pressing Close in whatever it shows, after
// giving these commands (menu items) to the first window it shows.
Outcome FinishRun(const RunningProcess& launcher, const std::vector<WORD>& commands = {}) {
  Outcome outcome;
  if (!launcher.process) return outcome;
  WaitUntil([&] {
    if (launcher.HasEnded()) return true;
    for (HWND window : ProcessWindows(launcher.id)) {
      if (!outcome.showedWindow) {
        for (WORD command : commands) PostMessageW(window, WM_COMMAND, command, 0);
      }
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

  // And the shortest: no program name, nothing at all.
  DeleteFileW(logPath_.c_str());
  const Outcome outcome = FinishRun(StartCommandLine(exe, L""));
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_TRUE(outcome.showedWindow);
  EXPECT_TRUE(Log().empty());
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

// ---- The stored language -----------------------------------------------------

// Values in the game's "Language" that the launcher cannot use, or only just.
struct OddValue {
  const char* name;
  StoredLanguage stored;
  bool pickToo;  // also run with the player picking a language
};

const OddValue OddValues[] = {
    {"REG_SZ of 0 bytes",                      Value(REG_SZ, {}),                                    false},
    {"REG_SZ, empty text",                     Text(L""),                                            false},
    {"REG_SZ of 7 bytes",                      Value(REG_SZ, {0x31, 0, 0x30, 0, 0x34, 0, 0x31}),     true},
    {"REG_SZ, 4 characters, no terminator",    Text(L"1041", REG_SZ, false),                         true},
    {"REG_SZ, 64 characters",                  Text(std::wstring(64, L'1')),                         false},
    {"REG_SZ, 65 characters",                  Text(std::wstring(65, L'1')),                         false},
    {"REG_SZ, 100,000 characters",             Text(std::wstring(100000, L'7')),                     true},
    {"REG_SZ, a leading zero",                 Text(L"01041"),                                       false},
    {"REG_EXPAND_SZ",                          Text(L"%SystemRoot%", REG_EXPAND_SZ),                 false},
    {"REG_MULTI_SZ",                           Text(std::wstring(L"1031\0" L"1041\0", 10), REG_MULTI_SZ), false},
    {"REG_DWORD 1041",                         Dword(1041),                                          true},
    {"REG_QWORD",                              Value(REG_QWORD, {0x11, 0x04, 0, 0, 0, 0, 0, 0}),     false},
    {"REG_BINARY of 1 byte",                   Value(REG_BINARY, {0x31}),                            false},
    {"REG_BINARY of 131 bytes",                Value(REG_BINARY, std::vector<uint8_t>(131, 0xFF)),   false},
    {"REG_NONE of 0 bytes",                    Value(REG_NONE, {}),                                  true},
    {"REG_NONE holding a language's text",     Text(L"1041", REG_NONE),                              false},
    {"a type of no name",                      Value(0x7FFF0001, {1, 2, 3}),                         false},
    {"the key without the value",              KeyWithoutValue(),                                    true},
};

// The main dialog always comes up and the launcher ends well; what is stored
// stays exactly as it was unless the player picks a language, which replaces
// the user's value alone. Each value machine-wide alone, and in both hives
// (where the user's hides the other): Wine's own reader once wrote past its
// buffer when both held a value too large for it.
TEST_F(Faults, OddStoredLanguagesAreKeptUntilThePlayerChooses) {
  const std::wstring folder = Install(L"odd languages");
  struct Placement {
    const char* name;
    bool user;
    WORD pick;
  };
  constexpr Placement Placements[] = {
      {"machine-wide",             false, 0},
      {"both",                     true,  0},
      {"both, then Polski picked", true,  IDM_LANGUAGE_POLISH},
  };
  for (const OddValue& odd : OddValues) {
    for (const Placement& placement : Placements) {
      if (placement.pick && !odd.pickToo) continue;
      SCOPED_TRACE(testing::Message() << odd.name << ", " << placement.name);
      const StoredLanguage user = placement.user ? odd.stored : NoKey();
      WriteStoredLanguage(HKEY_CURRENT_USER, user);
      WriteStoredLanguage(HKEY_LOCAL_MACHINE, odd.stored);

      std::vector<WORD> commands;
      if (placement.pick) commands.push_back(placement.pick);
      const Outcome outcome = FinishRun(StartProgram(folder + L"\\Launcher.exe", L""), commands);
      EXPECT_EQ(outcome.exitCode, 0u);
      EXPECT_TRUE(outcome.showedWindow);
      // Compared whole, but not printed whole: some are 200,000 bytes.
      EXPECT_TRUE(ReadStoredLanguage(HKEY_CURRENT_USER) == (placement.pick ? Text(L"1045") : user));
      EXPECT_TRUE(ReadStoredLanguage(HKEY_LOCAL_MACHINE) == odd.stored);
    }
  }
  DeleteLanguageKeys();
}

// Sets the key's access control list, from its text form; true when done.
bool SetKeyAccess(HKEY hive, const wchar_t* access) {
  platform::unique_hkey key;
  if (RegOpenKeyExW(hive, GameKey, 0, WRITE_DAC, key.put()) != ERROR_SUCCESS) return false;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(access, SDDL_REVISION_1, &descriptor, nullptr))
    return false;
  const platform::unique_hlocal owned(descriptor);
  return RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
}

constexpr wchar_t DenyAll[] = L"D:P(D;;KA;;;WD)";
constexpr wchar_t ReadOnly[] = L"D:P(A;;KR;;;WD)";
constexpr wchar_t AllowAll[] = L"D:P(A;;KA;;;WD)";

// A key whose security the launcher may not pass. Wine honours it: opening
// such a key fails with ERROR_ACCESS_DENIED as on Windows.
TEST_F(Faults, AKeyThatMayNotBeReadOrWrittenIsLeftAsItIs) {
  const std::wstring folder = Install(L"locked key");
  struct LockedCase {
    const char* name;
    HKEY hive;
    const wchar_t* access;
    WORD pick;
  };
  const LockedCase LockedCases[] = {
      {"user's key, no access",                     HKEY_CURRENT_USER,  DenyAll,  0},
      {"user's key, no access, Polski picked",      HKEY_CURRENT_USER,  DenyAll,  IDM_LANGUAGE_POLISH},
      {"user's key, read only, Polski picked",      HKEY_CURRENT_USER,  ReadOnly, IDM_LANGUAGE_POLISH},
      {"machine-wide key, no access",               HKEY_LOCAL_MACHINE, DenyAll,  0},
  };
  // Whatever fails, the keys are opened up again and removed.
  struct Unlock {
    ~Unlock() {
      for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) SetKeyAccess(hive, AllowAll);
      DeleteLanguageKeys();
    }
  } unlock;
  for (const LockedCase& c : LockedCases) {
    SCOPED_TRACE(c.name);
    DeleteLanguageKeys();
    WriteStoredLanguage(HKEY_CURRENT_USER, Text(L"1049"));
    WriteStoredLanguage(HKEY_LOCAL_MACHINE, Text(L"1040"));
    ASSERT_TRUE(SetKeyAccess(c.hive, c.access));
    platform::unique_hkey probe;
    ASSERT_EQ(RegOpenKeyExW(c.hive, GameKey, 0, c.access == DenyAll ? KEY_QUERY_VALUE : KEY_SET_VALUE, probe.put()),
              ERROR_ACCESS_DENIED);

    std::vector<WORD> commands;
    if (c.pick) commands.push_back(c.pick);
    const Outcome outcome = FinishRun(StartProgram(folder + L"\\Launcher.exe", L""), commands);
    ASSERT_TRUE(SetKeyAccess(c.hive, AllowAll));
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(outcome.showedWindow);
    EXPECT_EQ(ReadStoredLanguage(HKEY_CURRENT_USER), Text(L"1049"));
    EXPECT_EQ(ReadStoredLanguage(HKEY_LOCAL_MACHINE), Text(L"1040"));
  }
}

}  // namespace
}  // namespace testing_support
