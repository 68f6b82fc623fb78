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

// "A=1 B=2 ..." for the twenty actions of a gamepad type as listed in the
// table the lists are checked against.
std::wstring Assignments(const wchar_t* const (&inputs)[20]);

}  // namespace gamepad_testing
