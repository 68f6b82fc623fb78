#include "launcher/media_center.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

void StartMediaCenter() {
  std::vector<wchar_t> path(65536);
  if (ExpandEnvironmentStringsW(MediaCenterShellPath, path.data(), static_cast<DWORD>(path.size())) == 0)
    return;
  ShellExecuteW(nullptr, L"open", path.data(), nullptr, nullptr, SW_SHOWNORMAL);
}
