#include "platform/system_error.h"

#include <algorithm>
#include <cwchar>

#include "platform/unique_handle.h"

DWORD LastFailure() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : DWORD{ERROR_GEN_FAILURE};
}

namespace {

// FormatMessageW, told to ignore inserts, leaves "%1" (or "%1!s!") where a
// name belongs, and "%%" for a percent sign. Filling the places ourselves
// rather than handing FormatMessageW arguments keeps a text we do not know
// from reading arguments it was never given.
std::wstring FillInserts(std::wstring_view text, std::wstring_view insert) {
  std::wstring filled;
  for (size_t at = 0; at < text.size(); ++at) {
    const bool escape = text[at] == L'%' && at + 1 < text.size();
    if (escape && text[at + 1] == L'%') {
      filled += text[++at];
    } else if (escape && text[at + 1] >= L'1' && text[at + 1] <= L'9') {
      size_t end = std::min(text.find_first_not_of(L"0123456789", at + 1), text.size());
      if (end < text.size() && text[end] == L'!') end = std::min(text.find(L'!', end + 1), text.size() - 1) + 1;
      if (insert.empty()) return {};
      filled += insert;
      at = end - 1;
    } else {
      filled += text[at];
    }
  }
  return filled;
}

}  // namespace

std::wstring SystemErrorText(DWORD code, std::wstring_view insert) {
  platform::unique_hlocal text;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
  if (length == 0 || !text) return {};
  return FillInserts(std::wstring_view(static_cast<const wchar_t*>(text.get()), length), insert);
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

void ShowFailureBox(HWND owner, const wchar_t* title, std::wstring_view what, DWORD code,
                    std::wstring_view insert) {
  std::wstring text(what);
  text += L"\n\n";
  text += ErrorReasonText(code, SystemErrorText(code, insert));
  MessageBoxW(owner, text.c_str(), title, MB_OK | MB_ICONERROR);
}
