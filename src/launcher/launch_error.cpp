#include "launcher/launch_error.h"

#include <shellapi.h>

#include "platform/system_error.h"

namespace {

// The same in every language: support knows the box by it.
constexpr wchar_t LaunchErrorTitle[] = L"LaunchGame Failed.";

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
  return ShellStartedFile(hInstApp) ? ERROR_GEN_FAILURE : static_cast<DWORD>(shellError);
}

void ShowLaunchError(DWORD code, const wchar_t* executable) {
  const std::wstring text = ErrorReasonText(code, SystemErrorText(code, executable));
  MessageBoxW(nullptr, text.c_str(), LaunchErrorTitle, MB_OK | MB_ICONERROR | MB_SYSTEMMODAL | MB_TOPMOST);
}
