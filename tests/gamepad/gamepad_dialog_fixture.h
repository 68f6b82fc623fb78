// Runs the real gamepad dialog template 109 from the built exe, with a small
// dialog procedure that does what the gamepad dialog does around the
// controller: it opens the controller layer, fills the lists and forwards
// activation and device notifications. Ticks are driven by the test, and
// DirectInput is the scripted fake.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <string>

#include "fake_direct_input.h"
#include "platform/direct_input.h"

namespace gamepad_testing {

class GamepadDialogTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates dialog 109 (controller layer first, then the lists, then
  // CaptureEnabled becomes 1) and activates it as showing it would. It stays
  // hidden: Wine takes seconds to destroy a shown window without a window
  // manager, and focus and activation work all the same.
  void OpenDialog(bool activate = true);
  // Creates dialog 109 with the program's own GamepadDialogProc: background
  // and resources from the built exe (or, given, from another module), timer
  // 999 running but ticking only when a test pumps messages or calls
  // TimerTick. Hidden as above.
  void OpenSettingsDialog(HINSTANCE resources = nullptr, bool activate = true);
  // One WM_TIMER of the dialog's timer, through the dialog procedure.
  void TimerTick(int count = 1);
  // What a click on a button of the dialog sends, then what that posted
  // (closing) is handled.
  void Click(int id);
  // The player picks a gamepad type: the selection and its notification.
  void ChooseType(int typeIndex);
  // For table-driven tests: ends this case's dialog and checks, starts afresh.
  void NextCase();
  void CloseDialog();

  // One tick of the dialog's 16 ms timer.
  void Tick(int count = 1);
  // Windows announces a new HID device to the dialog.
  void AnnounceHidArrival();
  void SendDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* data);

  // The text selected in a list; "" when nothing is selected.
  std::wstring Selection(int controlId) const;
  void Select(int controlId, const wchar_t* name) const;
  void SelectType(int typeIndex) const;
  int SelectedIndex(int controlId) const;
  void Focus(int controlId) const;
  // The twenty action lists' selections, in ActionControls order.
  std::wstring ActionSelections() const;

  int Enumerations() const { return input.CountCalls(fake_dinput::Method::EnumDevices); }
  bool ControllerOpen() const;
  std::wstring ControllerName() const;

  fake_dinput::FakeInputSystem input;
  HWND dialog = nullptr;

 private:
  DirectInputFactoryFunction savedFactory_ = nullptr;
  HINSTANCE savedInstance_ = nullptr;
};

// The program's own gamepad dialog over a config.ini in the test prefix's
// Documents folder, which each case starts without.
class GamepadSettingsTest : public GamepadDialogTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// Handles what has been posted so far, up to the dialog's closing, as the
// modal loop does: it ends after WM_CLOSE. (Past that point the gamepad
// dialog and the dialog manager pass WM_CLOSE and IDCANCEL back and forth for
// as long as the window lives; the modal loop destroys it first.)
void PumpUntilClosed(HWND dialog);

// "A=1 B=2 ..." for the twenty actions of a gamepad type as listed in the
// table the lists are checked against.
std::wstring Assignments(const wchar_t* const (&inputs)[20]);

}  // namespace gamepad_testing
