#include "test_support.h"

#include <shellapi.h>

#include <algorithm>
#include <string_view>
#include <thread>
#include <utility>

namespace testing_support {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

std::wstring Environment(const wchar_t* name) {
  wchar_t value[4096] = L"";
  return GetEnvironmentVariableW(name, value, 4096) < 4096 ? value : L"";
}

std::wstring ArtefactPath(const wchar_t* variable) {
  std::wstring path = L"Z:" + Environment(variable);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring MakeTempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  RemoveTree(temp + name);
  CreateDirectoryW((temp + name).c_str(), nullptr);
  return temp + name;
}

void RemoveTree(const std::wstring& path) {
  const std::wstring paths = path + L'\0';  // a list of one, ended by a second NUL
  SHFILEOPSTRUCTW remove = {};
  remove.wFunc = FO_DELETE;
  remove.pFrom = paths.c_str();
  remove.fFlags = FOF_NO_UI;
  SHFileOperationW(&remove);
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::wstring& path) {
  const platform::unique_file file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (file && ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  const platform::unique_file file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

DWORD RunningProcess::WaitForExit(std::chrono::milliseconds limit) const {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.get(), &code);
  return code;
}

RunningProcess StartCommandLine(const std::wstring& exe, std::wstring commandLine, DWORD flags,
                                const std::wstring& currentFolder) {
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

RunningProcess StartProgram(const std::wstring& exe, const std::wstring& arguments,
                            const std::wstring& currentFolder) {
  return StartCommandLine(exe, L"\"" + exe + L"\" " + arguments, 0, currentFolder);
}

std::vector<HWND> ProcessWindows(DWORD processId) {
  std::pair<DWORD, std::vector<HWND>> search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM param) {
        auto& [id, found] = *reinterpret_cast<decltype(search)*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == id && IsWindowVisible(window)) found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = L"";
  GetWindowTextW(window, text, 1024);
  return text;
}

namespace {

void BringToFront(HWND window) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; }, 5s);
}

}  // namespace

// Each event carries its position: a click that took the cursor's could land
// where the cursor was before the move arrived.
void ClickControl(HWND dialog, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  BringToFront(dialog);
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = (rect.left + rect.right) / 2 * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    input.mi.dy = (rect.top + rect.bottom) / 2 * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  inputs[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

void PressKey(HWND window, WORD virtualKey) {
  BringToFront(window);
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) input.type = INPUT_KEYBOARD, input.ki.wVk = virtualKey;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

namespace {

const std::function<void(HWND)>* PendingAction = nullptr;

// The modal loop shows the dialog only when it first runs out of messages.
void CALLBACK ActOnDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        if (IsWindowVisible(window)) *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialog));
  if (!dialog || !PendingAction) return;
  KillTimer(nullptr, timer);
  (*std::exchange(PendingAction, nullptr))(dialog);
  // EndDialog hides the dialog at once; one still visible was left open.
  if (IsWindow(dialog) && IsWindowVisible(dialog)) EndDialog(dialog, LeftOpen);
}

}  // namespace

INT_PTR RunModalDialog(HINSTANCE module, int templateId, DLGPROC procedure,
                       const std::function<void(HWND)>& whileOpen) {
  PendingAction = &whileOpen;
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, ActOnDialog);
  const INT_PTR result = DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), nullptr, procedure, 0);
  KillTimer(nullptr, timer);
  return result;
}

HMODULE LauncherResources() {
  static const HMODULE module = LoadLibraryExW(ArtefactPath(L"VKTEST_LAUNCHER_EXE").c_str(), nullptr,
                                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module;
}

}  // namespace testing_support
