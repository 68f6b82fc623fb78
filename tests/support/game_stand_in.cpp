// Stands in for a game build (VKDDX9.exe, VKDDX10.exe) and for Media Center's
// shell. Appends "<own file name> TAB <arguments> TAB <working folder> LF"
// (UTF-8) to the file that VKTEST_STAND_IN_LOG names, then keeps running for
// as long as the file that VKTEST_STAND_IN_HOLD names exists.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[MAX_PATH] = L"";
  return GetEnvironmentVariableW(name, value, MAX_PATH) < MAX_PATH ? value : L"";
}

std::wstring Arguments() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring joined;
  for (int i = 1; i < count; ++i) joined += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
  LocalFree(argv);
  return joined;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t self[MAX_PATH] = L"", folder[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::wstring path = self;
  const std::wstring line = path.substr(path.find_last_of(L'\\') + 1) + L'\t' + Arguments() + L'\t' + folder + L'\n';
  std::string utf8(line.size() * 3, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(),
                                  static_cast<int>(utf8.size()), nullptr, nullptr));
  // Several stand-ins may log at once: retry while another one has the file.
  for (int attempt = 0; attempt < 500; ++attempt) {
    const HANDLE log = CreateFileW(Environment(L"VKTEST_STAND_IN_LOG").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                   nullptr, OPEN_ALWAYS, 0, nullptr);
    if (log == INVALID_HANDLE_VALUE) {
      Sleep(10);
      continue;
    }
    DWORD written = 0;
    WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(log);
    break;
  }
  const std::wstring hold = Environment(L"VKTEST_STAND_IN_HOLD");
  while (!hold.empty() && GetFileAttributesW(hold.c_str()) != INVALID_FILE_ATTRIBUTES) Sleep(20);
  return 0;
}
