#include "platform/system_error.h"

#include <cwchar>

#include "platform/unique_handle.h"

DWORD LastFailure() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : DWORD{ERROR_GEN_FAILURE};
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

std::wstring ErrorReasonText(DWORD code, std::wstring_view systemText) {
  wchar_t codeLine[32];
  std::swprintf(codeLine, std::size(codeLine), L"(Errorcode:%04lx)", static_cast<unsigned long>(code));
  if (systemText.empty()) return codeLine;
  std::wstring text(systemText);
  text += L'\n';
  text += codeLine;
  return text;
}

void ShowFailureBox(HWND owner, const wchar_t* title, std::wstring_view what, DWORD code) {
  std::wstring text(what);
  text += L"\n\n";
  text += ErrorReasonText(code, SystemErrorText(code));
  MessageBoxW(owner, text.c_str(), title, MB_OK | MB_ICONERROR);
}
