// What the tests share: waiting, files, processes started as a player would,
// their windows, mouse and keyboard, and the built exe's resources.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"

namespace testing_support {

using namespace std::chrono_literals;

// Polls the condition until it holds or the time is up; returns the last result.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 60s);

std::wstring Environment(const wchar_t* name);
// A built file that CTest names in a variable, as a Unix path Wine's Z: reaches.
std::wstring ArtefactPath(const wchar_t* variable);

std::wstring MakeTempFolder(const std::wstring& name);  // fresh and empty
void RemoveTree(const std::wstring& path);
bool FileExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);  // "" when it cannot be read
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

struct RunningProcess {
  platform::unique_handle process;
  platform::unique_handle suspendedThread;  // of a process started CREATE_SUSPENDED
  DWORD id = 0;

  DWORD WaitForExit(std::chrono::milliseconds limit = 60s) const;  // STILL_ACTIVE when it did not end
  bool HasEnded() const { return WaitForExit(0ms) != STILL_ACTIVE; }
};

// As Explorer or a shortcut starts a program: quoted path, a blank, the arguments.
RunningProcess StartProgram(const std::wstring& exe, const std::wstring& arguments,
                            const std::wstring& currentFolder = {});
RunningProcess StartCommandLine(const std::wstring& exe, std::wstring commandLine, DWORD flags = 0,
                                const std::wstring& currentFolder = {});

std::vector<HWND> ProcessWindows(DWORD processId);  // visible top-level ones
std::wstring WindowText(HWND window);

// Bring the window to the front, then click or press as a player does.
void ClickControl(HWND dialog, int id);
void PressKey(HWND window, WORD virtualKey);

// Runs a dialog template modally, as the program does, and calls whileOpen
// from inside its modal loop once it is on screen; a dialog left open is then
// ended with LeftOpen. Returns what DialogBoxParamW returns.
inline constexpr INT_PTR LeftOpen = 0x7E57;
INT_PTR RunModalDialog(HINSTANCE module, int templateId, DLGPROC procedure,
                       const std::function<void(HWND dialog)>& whileOpen);

// The built Launcher.exe loaded as a resource image: its dialogs and bitmaps.
HMODULE LauncherResources();

}  // namespace testing_support
