// Stands in for a game build and for Media Center's shell: appends "<own file name> TAB <arguments> TAB <working
// folder> LF" in UTF-16LE to the file that VKTEST_STAND_IN_LOG names, then runs while the file VKTEST_STAND_IN_HOLD
// names exists.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t self[MAX_PATH] = L"", folder[MAX_PATH] = L"", log[MAX_PATH] = L"", hold[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, folder);
  GetEnvironmentVariableW(L"VKTEST_STAND_IN_LOG", log, MAX_PATH);
  GetEnvironmentVariableW(L"VKTEST_STAND_IN_HOLD", hold, MAX_PATH);
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring line = std::wstring(self).substr(std::wstring(self).find_last_of(L'\\') + 1) + L'\t';
  for (int i = 1; i < count; ++i) line += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
  line += L'\t' + std::wstring(folder) + L'\n';
  // Several stand-ins may log at once: retry while another one has the file.
  for (int attempt = 0; attempt < 500; ++attempt, Sleep(10)) {
    const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    DWORD written = 0;
    WriteFile(file, line.data(), DWORD(line.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    break;
  }
  while (*hold && GetFileAttributesW(hold) != INVALID_FILE_ATTRIBUTES) Sleep(20);
  return 0;
}
