#include "launcher/media_center.h"

#include <windows.h>

#include <vector>

#include "platform/shell_functions.h"

namespace {

// Where Media Center's shell lives on every Windows that has it.
constexpr wchar_t MediaCenterShellPath[] = L"%SystemRoot%\\ehome\\ehshell.exe";

}  // namespace

void StartMediaCenter() {
  std::vector<wchar_t> path(65536);
  const DWORD length = ExpandEnvironmentStringsW(MediaCenterShellPath, path.data(), static_cast<DWORD>(path.size()));
  // 0 is a failure; a length past the buffer means nothing usable was written.
  if (length == 0 || length > path.size()) return;
  platform::ShellExecuteW(nullptr, L"open", path.data(), nullptr, nullptr, SW_SHOWNORMAL);
}
