// The templates of the built Launcher.exe run in-process through the module
// handle that other tests use in place of the program's instance handle.
#include <gtest/gtest.h>

#include "launcher_resources.h"
#include "resource.h"

namespace testing_support {
namespace {

struct Opened {
  int controls = 0;
  bool hasMenu = false;
};

BOOL CALLBACK CountControls(HWND, LPARAM found) {
  ++reinterpret_cast<Opened*>(found)->controls;
  return TRUE;
}

// Ends at once with 42 after counting what the dialog manager created.
INT_PTR CALLBACK EndAtOnce(HWND dialog, UINT message, WPARAM, LPARAM parameter) {
  if (message != WM_INITDIALOG) return FALSE;
  Opened* opened = reinterpret_cast<Opened*>(parameter);
  EnumChildWindows(dialog, CountControls, reinterpret_cast<LPARAM>(opened));
  opened->hasMenu = GetMenu(dialog) != nullptr;
  EndDialog(dialog, 42);
  return FALSE;
}

INT_PTR CALLBACK DoNothing(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(ResourceModule, RunsTheDialogTemplatesModalAndModeless) {
  const HMODULE module = LauncherResourceModule();
  ASSERT_NE(module, nullptr);

  const struct {
    int dialog;
    int controls;
    bool hasMenu;
  } cases[] = {
      {IDD_MAIN_DIALOG, 4, true},
      {IDD_GAMEPAD_DIALOG, 23, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dialog);
    Opened opened;
    EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCEW(c.dialog), nullptr, EndAtOnce,
                              reinterpret_cast<LPARAM>(&opened)),
              42);
    EXPECT_EQ(opened.controls, c.controls);
    EXPECT_EQ(opened.hasMenu, c.hasMenu);

    HWND modeless = CreateDialogParamW(module, MAKEINTRESOURCEW(c.dialog), nullptr, DoNothing, 0);
    ASSERT_NE(modeless, nullptr);
    EXPECT_NE(GetDlgItem(modeless, c.dialog == IDD_MAIN_DIALOG ? IDC_RUN_DIRECTX9 : IDC_ACTION_A), nullptr);
    if (c.dialog == IDD_MAIN_DIALOG) {
      // The picture control found bitmap 103 through the same handle.
      const HWND picture = GetWindow(modeless, GW_CHILD);
      const auto shown = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
      BITMAP info = {};
      ASSERT_NE(shown, nullptr);
      ASSERT_TRUE(GetObjectW(shown, sizeof(info), &info));
      EXPECT_EQ(info.bmWidth, 499);
      EXPECT_EQ(info.bmHeight, 312);
    }
    DestroyWindow(modeless);
  }
}

}  // namespace
}  // namespace testing_support
