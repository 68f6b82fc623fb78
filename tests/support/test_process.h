// Helpers for tests that run real programs under Wine: install folders,
// processes started as a player would, the stand-in's log, and the windows a
// process shows.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace testing_support {

using namespace std::chrono_literals;

// Upper bound for anything a test waits for; waits end as soon as their
// condition holds.
inline constexpr std::chrono::milliseconds LongWait = 60s;

// A Windows path for a built artefact named by an environment variable that
// CTest sets (it may hold a Unix path, which Wine's drive Z: reaches).
std::wstring ArtefactPath(const wchar_t* variable);

std::wstring Environment(const wchar_t* name);
std::wstring Utf8ToWide(const std::string& text);

// A fresh, empty folder under the temporary folder; the name may hold any
// characters Windows allows.
std::wstring MakeTempFolder(const std::wstring& name);
bool WriteTextFile(const std::wstring& path, const std::string& content);
// Removes a folder with everything in it; a plain file is not removed.
void RemoveTree(const std::wstring& folder);
bool FileExists(const std::wstring& path);

// Polls the condition until it holds or the time is up; returns the last result.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = LongWait);

struct RunningProcess {
  platform::unique_handle process;
  DWORD id = 0;

  // Waits for the process to end; returns its exit code, or STILL_ACTIVE when
  // it did not end in time.
  DWORD WaitForExit(std::chrono::milliseconds limit = LongWait) const;
  bool HasEnded() const;
};

// Starts a program as Explorer or a shortcut would: quoted path, a blank, the
// arguments (none: the bare quoted path). currentFolder empty: ours.
RunningProcess StartProgram(const std::wstring& exePath, const std::wstring& arguments,
                            const std::wstring& currentFolder = {});
// Starts a program with exactly this command line.
RunningProcess StartCommandLine(const std::wstring& exePath, const std::wstring& commandLine,
                                const std::wstring& currentFolder = {});

// One line of the game stand-in's log.
struct FixtureLogEntry {
  std::wstring fileName;
  std::wstring arguments;
  std::wstring workingFolder;
};
std::vector<FixtureLogEntry> ReadFixtureLog(const std::wstring& logPath);
// Waits until the log holds at least count lines.
bool WaitForFixtureLog(const std::wstring& logPath, size_t count, std::chrono::milliseconds limit = LongWait);

// Visible top-level windows of a process.
std::vector<HWND> ProcessWindows(DWORD processId);
std::wstring WindowTitle(HWND window);
// The text of a message box (its static text control).
std::wstring MessageBoxText(HWND box);
// Waits for a visible window of the process with this title.
HWND WaitForWindow(DWORD processId, const std::wstring& title, std::chrono::milliseconds limit = LongWait);

}  // namespace testing_support
