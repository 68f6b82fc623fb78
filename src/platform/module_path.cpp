#include "platform/module_path.h"

#include <vector>

std::wstring ModuleFilePath(HMODULE module) {
  // MAX_PATH is only the common case: paths may be up to 32,767 characters.
  constexpr DWORD LongestPath = 32768;
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameW(module, buffer.data(), size);
    if (length == 0) return {};
    // A cut-off name fills the buffer (XP leaves it unterminated and reports
    // no error, later systems report ERROR_INSUFFICIENT_BUFFER).
    if (length < size && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
      return std::wstring(buffer.data(), length);
    if (size >= LongestPath) return {};
    buffer.resize(size * 2);
  }
}

std::wstring FolderOfPath(std::wstring_view path) {
  const size_t lastSeparator = path.find_last_of(L"\\/");
  if (lastSeparator != std::wstring_view::npos) return std::wstring(path.substr(0, lastSeparator + 1));
  // "C:Launcher.exe": the drive alone.
  if (path.size() >= 2 && path[1] == L':') return std::wstring(path.substr(0, 2));
  return {};
}
