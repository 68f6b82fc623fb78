#include "dialog_runner.h"

#include <string_view>
#include <utility>

namespace testing_support {
namespace {

const std::function<void(HWND)>* PendingAction = nullptr;

BOOL CALLBACK FindDialogOfThread(HWND window, LPARAM found) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring_view(className) != L"#32770") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Acts once the dialog is on screen: the modal loop shows it only when it
// first runs out of messages, and a timer may come before that.
void CALLBACK ActOnDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialogOfThread, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog || !IsWindowVisible(dialog) || !PendingAction) return;
  KillTimer(nullptr, timer);
  const auto* action = std::exchange(PendingAction, nullptr);
  (*action)(dialog);
  // EndDialog hides the dialog at once; one still visible was left open.
  if (IsWindow(dialog) && IsWindowVisible(dialog)) EndDialog(dialog, LeftOpen);
}

}  // namespace

INT_PTR RunModalDialog(HINSTANCE module, int templateId, DLGPROC procedure,
                       const std::function<void(HWND)>& whileOpen) {
  PendingAction = &whileOpen;
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, ActOnDialog);
  const INT_PTR result = DialogBoxParamW(module, MAKEINTRESOURCEW(templateId), nullptr, procedure, 0);
  KillTimer(nullptr, timer);
  PendingAction = nullptr;
  return result;
}

void PumpPostedMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    HWND dialog = GetAncestor(message.hwnd, GA_ROOT);
    if (dialog && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace testing_support
