#include "test_process.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace testing_support {

std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

std::wstring ArtefactPath(const wchar_t* variable) {
  std::wstring path = Environment(variable);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // read-only files too
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

std::wstring MakeTempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name;
  RemoveTree(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

bool WriteTextFile(const std::wstring& path, const std::string& content) {
  platform::unique_file file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
         written == content.size();
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(10ms);
  }
}

DWORD RunningProcess::WaitForExit(std::chrono::milliseconds limit) const {
  if (WaitForSingleObject(process.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

bool RunningProcess::HasEnded() const { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }

RunningProcess StartCommandLine(const std::wstring& exePath, const std::wstring& commandLine,
                                const std::wstring& currentFolder) {
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  RunningProcess running;
  if (CreateProcessW(exePath.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    running.process.reset(info.hProcess);
    running.id = info.dwProcessId;
  }
  return running;
}

RunningProcess StartProgram(const std::wstring& exePath, const std::wstring& arguments,
                            const std::wstring& currentFolder) {
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  return StartCommandLine(exePath, commandLine, currentFolder);
}

std::vector<FixtureLogEntry> ReadFixtureLog(const std::wstring& logPath) {
  std::vector<FixtureLogEntry> entries;
  platform::unique_file file(CreateFileW(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return entries;
  std::string content;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) content.append(chunk, got);

  size_t start = 0;
  for (size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::wstring line = Utf8ToWide(content.substr(start, end - start));
    const size_t tab1 = line.find(L'\t');
    const size_t tab2 = line.find(L'\t', tab1 + 1);
    if (tab1 == std::wstring::npos || tab2 == std::wstring::npos) continue;
    entries.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
  }
  return entries;
}

bool WaitForFixtureLog(const std::wstring& logPath, size_t count, std::chrono::milliseconds limit) {
  return WaitUntil([&] { return ReadFixtureLog(logPath).size() >= count; }, limit);
}

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowTitle(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  return text;
}

std::wstring MessageBoxText(HWND box) {
  // Message boxes keep their text in a static control with id 0xFFFF.
  HWND label = GetDlgItem(box, 0xFFFF);
  return label ? WindowTitle(label) : std::wstring();
}

HWND WaitForWindow(DWORD processId, const std::wstring& title, std::chrono::milliseconds limit) {
  HWND match = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : ProcessWindows(processId))
          if (WindowTitle(window) == title) match = window;
        return match != nullptr;
      },
      limit);
  return match;
}

}  // namespace testing_support
