// The hand-over inspector: started in place of a game build (as VKDDX9.exe
// or VKDDX10.exe), it shows what the launcher handed over and what the game
// would read. It changes nothing.
//
//   VKDDX9.exe [switches]               shows the report in a window
//   VKDDX9.exe ... /dump <file>         writes it to the file (UTF-8), no window
//   VARKOLD_HANDOVER_REPORT=<file>      the same, for a build that the launcher
//                                       starts (it hands over fixed switches)
//
// Exit code 0; 1 when the report file cannot be written.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "handover_report.h"
#include "inspector_window.h"
#include "platform/unique_handle.h"

namespace {

constexpr wchar_t DumpSwitch[] = L"/dump";
constexpr wchar_t DumpVariable[] = L"VARKOLD_HANDOVER_REPORT";

// The file named after /dump on our command line, else in the environment.
std::wstring DumpFile() {
  int count = 0;
  platform::unique_hlocal argv(CommandLineToArgvW(GetCommandLineW(), &count));
  const auto* arguments = static_cast<wchar_t* const*>(argv.get());
  for (int i = 1; arguments && i + 1 < count; ++i)
    if (lstrcmpiW(arguments[i], DumpSwitch) == 0) return arguments[i + 1];

  const DWORD size = GetEnvironmentVariableW(DumpVariable, nullptr, 0);
  if (size == 0) return {};
  std::wstring file(size, L'\0');
  file.resize(GetEnvironmentVariableW(DumpVariable, file.data(), size));
  return file;
}

bool WriteUtf8(const std::wstring& path, const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
  platform::unique_file file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) &&
         written == utf8.size();
}

std::wstring WindowTitle() {
  std::wstring full(32768, L'\0');
  full.resize(GetModuleFileNameW(nullptr, full.data(), static_cast<DWORD>(full.size())));
  return full.substr(full.find_last_of(L"\\/") + 1) + L" - VARKOLD hand-over inspector";
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::wstring report = HandoverReport();
  const std::wstring dumpFile = DumpFile();
  if (!dumpFile.empty()) return WriteUtf8(dumpFile, report) ? 0 : 1;
  ShowReportWindow(instance, WindowTitle(), report);
  return 0;
}
