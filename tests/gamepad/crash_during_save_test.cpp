// The real Launcher.exe killed while OK saves the gamepad settings: config.ini
// must be left as it was or as fully saved, never empty or half written.
#include <iostream>
#include <random>

#include "gamepad/actions.h"
#include "gamepad_fixture.h"

namespace testing_support {
namespace {

using KilledDuringSave = InstalledLauncher;
using std::chrono::steady_clock;

// The file records the attached controller, so OK writes all 22 keys, among
// the game's own sections. Each run switches it between two types; two saves
// let finish give both states' bytes and how long a save takes, and the runs
// after them are killed one in each 60th of 1.3 times that.
TEST_F(KilledDuringSave, LeavesConfigIniAsItWasOrAsSaved) {
  const std::wstring folder = Install(L"killed"), pad = L"USB TWIN PAD Adapter";  // type 3 by its name
  ASSERT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_DINPUT8_STAND_IN").c_str(), (folder + L"\\dinput8.dll").c_str(), 0));
  SetEnvironmentVariableW(L"VKTEST_DINPUT_PAD", pad.c_str());
  const int types[2] = {0, 5};
  const std::wstring stored[2] = {L"0 1 2 3 POV POV POV POV 7 6 Z -Z 4 5 8 9 X -RX Y -RY",
                                  L"1 2 0 3 -X X -Y Y 9 8 6 7 4 5 10 11 POV Z POV RZ"};
  std::vector<std::wstring> lines =
      Section({L"ProductName=" + pad, L"ProductType=0"}, stored[0], {L"[GRAPHICS]", L"Width=1920", L"Vsync=1"});
  lines.insert(lines.end(), {L"[AUDIO]", L"Music=70", L"Voice=100"});
  RemoveJoypadFolders();
  ASSERT_TRUE(WriteConfig(lines));
  constexpr int Kills = 60;
  std::mt19937 random(20240607);
  std::string bytes[2];
  steady_clock::duration saveTime{};
  int from = 0, counts[3] = {};  // as before, as saved, other
  std::ostringstream others;
  for (int run = -2; run < Kills; ++run) {
    const HWND main = OpenMainDialog(folder);
    PostMessageW(main, WM_COMMAND, IDM_GAMEPAD_SETTINGS, 0);
    HWND gamepad = nullptr;
    WaitUntil([&] {
      for (HWND window : ProcessWindows(launcher_.id)) gamepad = GetWindow(window, GW_OWNER) == main ? window : gamepad;
      return gamepad != nullptr;
    });
    WaitForInputIdle(launcher_.process.get(), 60000);
    std::vector<LRESULT> shown, expected;  // the action lists, then the type list
    std::wistringstream values(stored[from]);
    for (std::wstring value; values >> value;)  // buttons are stored counted from 0, as the lists count
      expected.push_back(iswdigit(value[0]) ? std::stoi(value) : std::ranges::find(InputNames, value) - InputNames);
    expected.push_back(types[from]);
    for (int id = IDC_ACTION_A; id <= IDC_GAMEPAD_TYPE; ++id)
      shown.push_back(SendDlgItemMessageW(gamepad, id, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(shown, expected) << "state " << from;
    const HWND typeList = GetDlgItem(gamepad, IDC_GAMEPAD_TYPE);
    SendMessageW(typeList, CB_SETCURSEL, types[1 - from], 0);
    PostMessageW(gamepad, WM_COMMAND, MAKEWPARAM(IDC_GAMEPAD_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(typeList));
    PostMessageW(gamepad, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(gamepad, IDOK)));  // BN_CLICKED
    const auto okPosted = steady_clock::now();
    if (run < 0) {  // the dialog hides once the save is done
      while (IsWindowVisible(gamepad) && steady_clock::now() < okPosted + 60s) std::this_thread::yield();
      saveTime = std::max(saveTime, steady_clock::now() - okPosted);
      EXPECT_EQ(RunToEnd(launcher_), 0u);
      bytes[from = 1 - from] = ReadFileBytes(ConfigPath());
      continue;
    }
    const int slot = run * 37 % Kills;  // every one once, in an order that jumps about
    const auto delay = saveTime * 13 * (slot * 1000 + int(random() % 1000)) / (Kills * 10000);
    std::this_thread::sleep_until(okPosted + delay - 3ms);  // spinning all along slows the save down
    while (steady_clock::now() < okPosted + delay) {}
    TerminateProcess(launcher_.process.get(), 1);
    ASSERT_EQ(WaitForSingleObject(launcher_.process.get(), 60000), WAIT_OBJECT_0);
    const std::string left = ReadFileBytes(ConfigPath());
    const int outcome = left == bytes[from] ? 0 : left == bytes[1 - from] ? 1 : 2;
    ++counts[outcome];
    from = outcome == 0 ? from : outcome == 1 ? 1 - from : 0;
    if (outcome == 2) others << " " << left.size() << "B@" << delay / 1us << "us", WriteConfigBytes(bytes[0]);
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ConfigPath()).parent_path()))
      EXPECT_TRUE(entry.path().filename() == L"config.ini" || entry.path().filename() == L"config.ini.new")
          << entry.path().filename();
  }
  std::cout << "config.ini after " << Kills << " kills within " << saveTime * 13 / 10 / 1us << " us of OK: as-before "
            << counts[0] << ", as-saved " << counts[1] << ", other " << counts[2] << others.str() << std::endl;
  EXPECT_EQ(counts[2], 0) << "left neither as it was nor as saved";
  EXPECT_GT(counts[0], 0) << "no kill came before the save changed the file";
  EXPECT_GT(counts[1], 0) << "no kill came after the save was done";
  RemoveJoypadFolders();
}

}  // namespace
}  // namespace testing_support
