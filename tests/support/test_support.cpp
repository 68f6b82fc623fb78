#include "test_support.h"

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
  const DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length < 4096 ? value : L"";
}

std::wstring ArtefactPath(const wchar_t* variable) {
  std::wstring path = Environment(variable);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::wstring MakeTempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = temp + name;
  RemoveTree(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    const std::wstring name = found.cFileName, path = folder + L"\\" + name;
    if (name == L"." || name == L"..") continue;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      RemoveTree(path);
    else
      DeleteFileW(path.c_str());
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  RemoveDirectoryW(folder.c_str());
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
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

DWORD RunningProcess::WaitForExit(std::chrono::milliseconds limit) const {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.get(), &code);
  return code;
}

bool RunningProcess::HasEnded() const { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }

RunningProcess StartCommandLine(const std::wstring& exe, std::wstring commandLine, DWORD flags,
                                const std::wstring& currentFolder) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  RunningProcess running;
  if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                     currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info)) {
    running.suspendedThread.reset(info.hThread);
    if (!(flags & CREATE_SUSPENDED)) running.suspendedThread.reset();
    running.process.reset(info.hProcess);
    running.id = info.dwProcessId;
  }
  return running;
}

RunningProcess StartProgram(const std::wstring& exe, const std::wstring& arguments,
                            const std::wstring& currentFolder) {
  const std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  return StartCommandLine(exe, line, 0, currentFolder);
}

std::vector<HWND> ProcessWindows(DWORD processId) {
  std::pair<DWORD, std::vector<HWND>> search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM param) {
        auto* found = reinterpret_cast<decltype(search)*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == found->first && IsWindowVisible(window)) found->second.push_back(window);
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

// Each event carries its own position: a click that took the cursor's could
// land where the cursor was before the move arrived.
void ClickAt(HWND window, POINT point) {
  BringToFront(window);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((point.x * 65535LL + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((point.y * 65535LL + height / 2) / (height - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  inputs[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SetCursorPos(point.x, point.y);
  SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace

void ClickControl(HWND dialog, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  ClickAt(dialog, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

bool ClickCloseBox(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  const int y = rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int x = rect.right - 1; x > rect.left; --x) {
    if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) continue;
    ClickAt(window, {x - 4, y});
    return true;
  }
  return false;
}

void PressKey(HWND window, WORD virtualKey) {
  BringToFront(window);
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

namespace {

const std::function<void(HWND)>* PendingAction = nullptr;

// Acts once the dialog is on screen: the modal loop shows it only when it
// first runs out of messages, and a timer may come before that.
void CALLBACK ActOnDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) {
        wchar_t name[16] = L"";
        GetClassNameW(window, name, 16);
        if (std::wstring_view(name) == L"#32770" && IsWindowVisible(window)) *reinterpret_cast<HWND*>(found) = window;
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
  PendingAction = nullptr;
  return result;
}

HMODULE LauncherResources() {
  static const HMODULE module = LoadLibraryExW(ArtefactPath(L"VKTEST_LAUNCHER_EXE").c_str(), nullptr,
                                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module;
}

}  // namespace testing_support
