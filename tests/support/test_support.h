// What the tests share: waiting, files, processes, windows and boxes, a player's input, the launcher with stand-ins.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/unique_handle.h"

namespace testing_support {

using namespace std::chrono_literals;

// Polls the condition until it holds or the time is up; returns the last result.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 60s) {
  for (const auto deadline = std::chrono::steady_clock::now() + limit; !condition(); std::this_thread::sleep_for(10ms))
    if (std::chrono::steady_clock::now() >= deadline) return condition();
  return true;
}

inline std::wstring Environment(const wchar_t* name) {
  wchar_t value[4096] = L"";
  return GetEnvironmentVariableW(name, value, 4096) < 4096 ? value : L"";
}
// A built file that CTest names in a variable, as a Unix path Wine's Z: reaches.
inline std::wstring ArtefactPath(const wchar_t* variable) {
  std::wstring path = L"Z:" + Environment(variable);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

inline void RemoveTree(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}
inline std::wstring MakeTempFolder(const std::wstring& name) {  // fresh and empty
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
  RemoveTree(folder);
  std::filesystem::create_directory(folder);
  return folder.wstring();
}
inline bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline std::string ReadFileBytes(const std::wstring& path) {  // "" when it cannot be read
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}
inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  return bool(file.write(bytes.data(), std::streamsize(bytes.size())).flush());
}

struct RunningProcess {
  platform::unique_handle process, suspendedThread;  // the thread of a process started CREATE_SUSPENDED
  DWORD id = 0;

  DWORD WaitForExit(std::chrono::milliseconds limit = 60s) const {  // STILL_ACTIVE when it did not end
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.get(), &code);
    return code;
  }
  bool HasEnded() const { return WaitForExit(0ms) != STILL_ACTIVE; }
};

// As Explorer starts a program: quoted path, a blank, the arguments; or, as some callers do, the arguments alone.
inline RunningProcess StartProgram(const std::wstring& exe, const std::wstring& arguments,
                                   const std::wstring& currentFolder = {}, DWORD flags = 0, bool named = true) {
  std::wstring commandLine = named ? L"\"" + exe + L"\" " + arguments : arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  RunningProcess running;
  if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                     currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info)) {
    running.process.reset(info.hProcess);
    running.suspendedThread.reset(info.hThread);
    running.id = info.dwProcessId;
  }
  if (!(flags & CREATE_SUSPENDED)) running.suspendedThread.reset();
  return running;
}

inline std::vector<HWND> ProcessWindows(DWORD processId) {  // the visible top-level ones
  std::vector<HWND> found;
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}
inline std::wstring WindowText(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return text;
}

// The entries of a dialog's list, in any process, joined by '|'.
inline std::wstring ListEntries(HWND dialog, int id) {
  std::wstring entries;
  for (LRESULT i = 0, n = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t text[256] = L"";
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries += (i ? L"|" : L"") + std::wstring(text);
  }
  return entries;
}

// Every message box this thread shows is answered with OK from inside its modal loop, as a player would: one that
// AnswerBox awaits is recorded, any other fails the test with its text at once, where it would otherwise wait for ever.
inline HWND BoxOwner = nullptr;  // of the box AnswerBox awaits
inline std::wstring BoxSeen;
inline void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));) {
    // Message boxes keep their text in a static control with id 0xFFFF; dialogs have none with text.
    const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
    if (GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId() || text.empty()) continue;
    if (BoxOwner && GetWindow(box, GW_OWNER) == BoxOwner) BoxSeen = WindowText(box) + L"\n" + text;
    else ADD_FAILURE() << "a box no test awaits: " << testing::PrintToString(WindowText(box) + L": " + text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
}
struct BoxWatch : testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { timer = SetTimer(nullptr, 0, 50, AnswerBoxes); }
  void OnTestEnd(const testing::TestInfo&) override { KillTimer(nullptr, timer); }
  UINT_PTR timer = 0;
};
inline const bool BoxesWatched = (testing::UnitTest::GetInstance()->listeners().Append(new BoxWatch), true);

// Does what makes owner show a box; returns its title and text, a line feed between them ("" when none showed).
inline std::wstring AnswerBox(HWND owner, const std::function<void()>& act) {
  BoxOwner = owner, BoxSeen.clear();
  act();
  BoxOwner = nullptr;
  return BoxSeen;
}

// Brings the window to the front, then clicks, or presses and releases a key.
inline void SendPlayerInput(HWND window, std::vector<INPUT> inputs) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; }, 5s);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Each event carries its position: one that took the cursor's could land where it was before the move arrived.
inline void ClickControl(HWND dialog, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  INPUT click = {};
  click.type = INPUT_MOUSE;
  click.mi.dx = (rect.left + rect.right) / 2 * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
  click.mi.dy = (rect.top + rect.bottom) / 2 * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
  click.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
  INPUT release = click;
  release.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
  SendPlayerInput(dialog, {click, release});
}
inline void PressKey(HWND window, WORD virtualKey) {
  INPUT press = {};
  press.type = INPUT_KEYBOARD;
  press.ki.wVk = virtualKey;
  INPUT release = press;
  release.ki.dwFlags = KEYEVENTF_KEYUP;
  SendPlayerInput(window, {press, release});
}

// The built Launcher.exe loaded as a resource image: its dialogs and bitmaps.
inline HMODULE LauncherResources() {
  static const HMODULE module = LoadLibraryExW(ArtefactPath(L"VKTEST_LAUNCHER_EXE").c_str(), nullptr,
                                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module;
}

// The real Launcher.exe in a throwaway folder with stand-ins for the builds and Media Center, which log their starts.
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
    const std::wstring standIn = ArtefactPath(L"VKTEST_GAME_STAND_IN");
    ASSERT_TRUE(CopyFileW(standIn.c_str(), (shell + std::wstring(L"\\ehshell.exe")).c_str(), FALSE));
  }
  void TearDown() override {
    Release();
    // A launcher left open by a failed test would keep later ones out.
    if (launcher_.process && !launcher_.HasEnded()) TerminateProcess(launcher_.process.get(), 1);
    launcher_.WaitForExit();
  }

  std::wstring Install(const std::wstring& folderName, bool withGames = true) const {
    const std::wstring folder = workFolder_ + L"\\" + folderName;
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_LAUNCHER_EXE").c_str(), (folder + L"\\Launcher.exe").c_str(), 0));
    for (const wchar_t* game : {L"\\VKDDX9.exe", L"\\VKDDX10.exe"})
      if (withGames) CopyFileW(ArtefactPath(L"VKTEST_GAME_STAND_IN").c_str(), (folder + game).c_str(), FALSE);
    return folder;
  }
  // The launcher's dialog that owner owns (nullptr: its main dialog) once it takes input, or nullptr with a failure.
  static HWND DialogOf(const RunningProcess& launcher, HWND owner = nullptr) {
    HWND dialog = nullptr;
    WaitUntil([&] {
      for (HWND window : ProcessWindows(launcher.id)) dialog = GetWindow(window, GW_OWNER) == owner ? window : dialog;
      return dialog || launcher.HasEnded();
    });
    EXPECT_NE(dialog, nullptr) << "the launcher showed no window";
    WaitForInputIdle(launcher.process.get(), 60000);
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
  // The stand-ins started so far, waiting for count of them.
  std::vector<Started> StartedSoFar(size_t count = 0) const {
    std::vector<Started> started;
    WaitUntil([&] {
      const std::string bytes = ReadFileBytes(logPath_);
      std::wistringstream log(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2));
      started.clear();
      for (Started s; getline(log, s.fileName, L'\t') && getline(log, s.arguments, L'\t') &&
                      getline(log, s.workingFolder);)
        started.push_back(s);
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
  RunningProcess launcher_;  // the one a test started, ended after it
};

}  // namespace testing_support
