// The main dialog of the real Launcher.exe as a player uses it, with the
// mouse and keyboard, under Xvfb.
#include <gtest/gtest.h>

#include "installed_launcher.h"
#include "resource.h"

namespace testing_support {
namespace {

using MainDialogAsPlayerUses = InstalledLauncher;

// The run buttons start their build; Close, Esc and the close box start none.
TEST_F(MainDialogAsPlayerUses, EachWayOutStartsWhatThePlayerChose) {
  const std::wstring folder = Install(L"ways out");
  const struct {
    const char* what;
    void (*act)(HWND dialog);
    std::vector<std::wstring> started;
  } cases[] = {
      {"DirectX 9 button", [](HWND d) { ClickControl(d, IDC_RUN_DIRECTX9); }, {L"VKDDX9.exe -dx9"}},
      {"DirectX 10 button", [](HWND d) { ClickControl(d, IDC_RUN_DIRECTX10); }, {L"VKDDX10.exe -dx10"}},
      {"Close button", [](HWND d) { ClickControl(d, IDCANCEL); }, {}},
      {"Esc key", [](HWND d) { PressKey(d, VK_ESCAPE); }, {}},
      {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearLog();
    const HWND dialog = OpenMainDialog(folder);
    ASSERT_NE(dialog, nullptr);
    c.act(dialog);
    EXPECT_EQ(launcher_.WaitForExit(), 0u);
    std::vector<std::wstring> started;
    for (const Started& s : StartedSoFar(c.started.size())) started.push_back(s.fileName + L" " + s.arguments);
    EXPECT_EQ(started, c.started);
  }
}

// Wine reports the Windows version that its settings for the exe name.
TEST_F(MainDialogAsPlayerUses, TheDirectX10ButtonIsGreyBeforeWindows6) {
  constexpr wchar_t Settings[] = L"Software\\Wine\\AppDefaults\\Launcher.exe";
  platform::unique_hkey key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Settings, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"winxp"), sizeof(L"winxp"));
  const HWND dialog = OpenMainDialog(Install(L"xp"));
  RegDeleteTreeW(HKEY_CURRENT_USER, Settings);
  RegDeleteKeyW(HKEY_CURRENT_USER, Settings);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_DIRECTX10)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_DIRECTX9)));
  EXPECT_EQ(RunToEnd(launcher_), 0u);
}

}  // namespace
}  // namespace testing_support
