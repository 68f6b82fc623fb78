#include "platform/shell_functions.h"

#include "platform/on_demand_library.h"
#include "platform/system_error.h"

namespace platform {

namespace {

on_demand_library Shell(L"shell32.dll");
on_demand_function<decltype(&::ShellExecuteExW)> ShellExecuteExFunction(Shell, "ShellExecuteExW");
on_demand_function<decltype(&::ShellExecuteW)> ShellExecuteFunction(Shell, "ShellExecuteW");
on_demand_function<decltype(&::SHGetFolderPathW)> GetFolderPathFunction(Shell, "SHGetFolderPathW");

HINSTANCE ShellError(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

}  // namespace

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* request) {
  if (const auto function = ShellExecuteExFunction.get()) return function(request);
  request->hInstApp = ShellError(SE_ERR_DLLNOTFOUND);
  return FALSE;
}

HINSTANCE ShellExecuteW(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* directory, int show) {
  if (const auto function = ShellExecuteFunction.get()) return function(owner, verb, file, parameters, directory, show);
  return ShellError(SE_ERR_DLLNOTFOUND);
}

HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, wchar_t* path) {
  if (const auto function = GetFolderPathFunction.get()) return function(owner, folder, token, flags, path);
  return HRESULT_FROM_WIN32(LastFailure());
}

}  // namespace platform
