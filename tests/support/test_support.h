// What the tests share: waiting for conditions, files, processes started as
// a player would, their windows, and a player's mouse and keyboard.
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

// Polls the condition until it holds or the time is up; returns the last result.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = LongWait);

std::wstring Environment(const wchar_t* name);
// A Windows path for a built file named by an environment variable that CTest
// sets (a Unix path, which Wine's drive Z: reaches).
std::wstring ArtefactPath(const wchar_t* variable);

// A fresh, empty folder under the temporary folder.
std::wstring MakeTempFolder(const std::wstring& name);
// Removes a folder with everything in it.
void RemoveTree(const std::wstring& folder);
bool FileExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);  // "" when it cannot be read
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

struct RunningProcess {
  platform::unique_handle process;
  platform::unique_handle suspendedThread;  // of a process started CREATE_SUSPENDED
  DWORD id = 0;

  // The exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(std::chrono::milliseconds limit = LongWait) const;
  bool HasEnded() const;
};

// Starts a program as Explorer or a shortcut would: quoted path, a blank, the
// arguments. currentFolder empty: ours.
RunningProcess StartProgram(const std::wstring& exe, const std::wstring& arguments,
                            const std::wstring& currentFolder = {});
// Starts a program with exactly this command line.
RunningProcess StartCommandLine(const std::wstring& exe, std::wstring commandLine, DWORD flags = 0,
                                const std::wstring& currentFolder = {});

// Visible top-level windows of a process.
std::vector<HWND> ProcessWindows(DWORD processId);
std::wstring WindowText(HWND window);

// Brings the window to the front and clicks the middle of one of its controls.
void ClickControl(HWND dialog, int id);
// Clicks the window's close box, found where the window says it is.
bool ClickCloseBox(HWND window);
// Brings the window to the front and presses and releases a key.
void PressKey(HWND window, WORD virtualKey);

// Runs a dialog template modally, as the program does, and calls whileOpen
// once it is on screen, from inside its modal loop. A dialog left open is
// then ended with LeftOpen. Returns what DialogBoxParamW returns.
inline constexpr INT_PTR LeftOpen = 0x7E57;
INT_PTR RunModalDialog(HINSTANCE module, int templateId, DLGPROC procedure,
                       const std::function<void(HWND dialog)>& whileOpen);

// The built Launcher.exe (VKTEST_LAUNCHER_EXE) loaded as a resource image:
// its dialogs and bitmaps, never its code.
HMODULE LauncherResources();

}  // namespace testing_support
