#include "launcher/launch_error.h"

#include <shellapi.h>

#include <cwchar>

#include "platform/unique_handle.h"

namespace {

struct ShellErrorRow {
  INT_PTR shellError;
  DWORD win32Error;
};

// SE_ERR_* results of the shell beside the Win32 errors they stand for.
constexpr ShellErrorRow ShellErrorTable[] = {
    {0,                        ERROR_NOT_ENOUGH_MEMORY},
    {SE_ERR_FNF,               ERROR_FILE_NOT_FOUND},
    {SE_ERR_PNF,               ERROR_PATH_NOT_FOUND},
    {SE_ERR_ACCESSDENIED,      ERROR_ACCESS_DENIED},
    {SE_ERR_OOM,               ERROR_NOT_ENOUGH_MEMORY},
    {ERROR_BAD_FORMAT,         ERROR_BAD_FORMAT},
    {SE_ERR_SHARE,             ERROR_SHARING_VIOLATION},
    {SE_ERR_ASSOCINCOMPLETE,   ERROR_NO_ASSOCIATION},
    {SE_ERR_DDETIMEOUT,        ERROR_DDE_FAIL},
    {SE_ERR_DDEFAIL,           ERROR_DDE_FAIL},
    {SE_ERR_DDEBUSY,           ERROR_DDE_FAIL},
    {SE_ERR_NOASSOC,           ERROR_NO_ASSOCIATION},
    {SE_ERR_DLLNOTFOUND,       ERROR_DLL_NOT_FOUND},
};

}  // namespace

DWORD LaunchErrorCode(DWORD lastError, HINSTANCE hInstApp) {
  if (lastError != ERROR_SUCCESS) return lastError;
  const INT_PTR shellError = reinterpret_cast<INT_PTR>(hInstApp);
  for (const ShellErrorRow& row : ShellErrorTable)
    if (row.shellError == shellError) return row.win32Error;
  // The shell claimed success yet started nothing we can name.
  return shellError > 32 ? ERROR_GEN_FAILURE : static_cast<DWORD>(shellError);
}

std::wstring SystemErrorText(DWORD code) {
  platform::unique_hlocal text;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(text.put()), 0,
      nullptr);
  if (length == 0 || !text) return {};
  return std::wstring(static_cast<const wchar_t*>(text.get()), length);
}

std::wstring LaunchErrorText(DWORD code, std::wstring_view systemText) {
  wchar_t codeLine[32];
  std::swprintf(codeLine, std::size(codeLine), L"(Errorcode:%04lx)", static_cast<unsigned long>(code));
  if (systemText.empty()) return codeLine;
  std::wstring text(systemText);
  text += L'\n';
  text += codeLine;
  return text;
}

void ShowLaunchError(DWORD code) {
  const std::wstring text = LaunchErrorText(code, SystemErrorText(code));
  MessageBoxW(nullptr, text.c_str(), LaunchErrorTitle, MB_OK | MB_ICONERROR | MB_SYSTEMMODAL | MB_TOPMOST);
}
