// Runs a real dialog in-process the way the program does, modally, and lets a
// test act on it from inside its modal loop.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

// What RunModalDialog returns when the test left the dialog open: it is then
// ended from outside so that the test goes on.
inline constexpr INT_PTR LeftOpen = 0x7E57;

// Runs the template with DialogBoxParamW (no owner) and calls whileOpen once
// with the dialog, from a timer inside the dialog's own modal loop. Returns
// what DialogBoxParamW returns.
INT_PTR RunModalDialog(HINSTANCE module, int templateId, DLGPROC procedure,
                       const std::function<void(HWND dialog)>& whileOpen);

// Lets the dialog's modal loop handle what has been posted to it so far.
void PumpPostedMessages();

}  // namespace testing_support
