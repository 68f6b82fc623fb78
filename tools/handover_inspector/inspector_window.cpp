#include "inspector_window.h"

#include "inspector_resource.h"
#include "platform/unique_handle.h"

namespace {

struct ReportWindow {
  std::wstring title;
  std::wstring text;  // lines ended by CR LF, as the edit control wants them
  HFONT font;
};

void OnInitDialog(HWND dialog, const ReportWindow& window) {
  SetWindowTextW(dialog, window.title.c_str());
  HWND report = GetDlgItem(dialog, IDC_REPORT);
  SendMessageW(report, WM_SETFONT, reinterpret_cast<WPARAM>(window.font), FALSE);
  // The default limit (about 30,000 characters) would cut a long command line.
  SendMessageW(report, EM_SETLIMITTEXT, 0, 0);
  SetWindowTextW(report, window.text.c_str());
  // Focus on Close, so that the report is not shown all selected.
  SetFocus(GetDlgItem(dialog, IDCANCEL));
}

INT_PTR CALLBACK ReportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog, *reinterpret_cast<const ReportWindow*>(lParam));
      return FALSE;  // we set the focus ourselves
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

// A fixed-width font, so that the labels and bytes line up.
HFONT CreateReportFont() {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
}

std::wstring WithCrLf(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (wchar_t c : text) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

using unique_hfont = platform::unique_any<platform::traits::null_is_none<HFONT, ::DeleteObject>>;

}  // namespace

void ShowReportWindow(HINSTANCE instance, const std::wstring& title, const std::wstring& report) {
  const unique_hfont font(CreateReportFont());
  const ReportWindow window{title, WithCrLf(report), font.get()};
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_INSPECTOR), nullptr, ReportDialogProc,
                  reinterpret_cast<LPARAM>(&window));
}
