// Settings > Gamepad Settings of the real Launcher.exe as a player sees it (CTest runs it under Japanese), with the
// stand-in dinput8.dll's controller, and the same killed while OK saves, as a crash or a power cut ends it.
#include <iostream>
#include <random>

#include "gamepad/actions.h"
#include "gamepad_fixture.h"

namespace testing_support {
namespace {

using GamepadSettingsAsPlayerSees = InstalledLauncher;
using std::chrono::steady_clock;

// The stored values, A to RSTICK_VERT, and the type: button 3 in A over type 5's defaults; types 0 and 5 chosen.
const std::pair<std::wstring, int> States[] = {{L"2 2 0 3 -X X -Y Y 9 8 6 7 4 5 10 11 POV Z POV RZ", 5},
                                               {L"0 1 2 3 POV POV POV POV 7 6 Z -Z 4 5 8 9 X -RX Y -RY", 0},
                                               {L"1 2 0 3 -X X -Y Y 9 8 6 7 4 5 10 11 POV Z POV RZ", 5}};

// Owned and modal, its texts in Japanese; the controller taken up and button 3 captured on the dialog's own timer;
// Enter saves its Japanese name in a new, UTF-16 file. Then, with the game's own sections in the file, each opening
// shows what the file holds and OK saves the other type: two saves let finish give both states' bytes and a save's
// time, and 60 are killed, one in each 60th of 1.3 times that. Last, Esc and the close box save nothing.
TEST_F(GamepadSettingsAsPlayerSees, OpensModalCapturesAButtonAndAKillNeverHalfSaves) {
  const std::wstring folder = Install(L"controller"), pad = L"ロジクール Logitech ゲームパッド";  // type 5
  ASSERT_TRUE(CopyFileW(ArtefactPath(L"VKTEST_DINPUT8_STAND_IN").c_str(), (folder + L"\\dinput8.dll").c_str(), 0));
  SetEnvironmentVariableW(L"VKTEST_DINPUT_PAD", pad.c_str());
  SetEnvironmentVariableW(L"VKTEST_DINPUT_BUTTON", L"3");
  RemoveJoypadFolders();
  HWND main = nullptr, gamepad = nullptr;
  const auto openGamepadSettings = [&] {
    launcher_ = StartProgram(folder + L"\\Launcher.exe", L"");
    main = DialogOf(launcher_);
    PostMessageW(main, WM_COMMAND, IDM_GAMEPAD_SETTINGS, 0);
    return (gamepad = DialogOf(launcher_, main)) != nullptr;
  };
  ASSERT_TRUE(openGamepadSettings()) << "Settings > Gamepad Settings showed no dialog";
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(WindowText(gamepad) + L"|" + WindowText(GetDlgItem(gamepad, IDCANCEL)) + L"|" +
                ListEntries(gamepad, IDC_GAMEPAD_TYPE),
            L"パッド設定|キャンセル|パッドタイプ - 1 -|パッドタイプ - 2 -|パッドタイプ - 3 -|パッドタイプ - 4 -|"
            L"パッドタイプ - 5 -|パッドタイプ - 6 -");
  const auto selected = [&](int id) { return SendDlgItemMessageW(gamepad, id, CB_GETCURSEL, 0, 0); };
  ASSERT_TRUE(WaitUntil([&] { return selected(IDC_GAMEPAD_TYPE) == 5; })) << "the controller was not taken up";
  for (WORD key : {VK_TAB, VK_TAB, VK_TAB}) PressKey(gamepad, key);
  EXPECT_TRUE(WaitUntil([&] { return selected(IDC_ACTION_A) == 2; })) << "button 3 did not land in A";
  PressKey(gamepad, VK_RETURN);  // OK is the default button
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(gamepad) && IsWindowEnabled(main); }));
  EXPECT_EQ(RunToEnd(launcher_), 0u);
  const std::vector<std::wstring> head = {L"ProductName=" + pad, L"ProductType=5"};
  ASSERT_EQ(ConfigLines(), Section(head, States[0].first));

  std::vector<std::wstring> lines = Section(head, States[0].first, {L"[GRAPHICS]", L"Width=1920", L"Vsync=1"});
  lines.insert(lines.end(), {L"[AUDIO]", L"Music=70", L"Voice=100"});
  ASSERT_TRUE(WriteConfig(lines));
  constexpr int Kills = 60;
  std::mt19937 random(20240607);
  std::string bytes[3] = {ReadFileBytes(ConfigPath())};
  steady_clock::duration saveTime{};
  int from = 0, counts[3] = {};  // as before, as saved, other
  for (int run = -2; run < Kills + 2; ++run) {
    ASSERT_TRUE(openGamepadSettings());
    std::vector<LRESULT> shown, expected;  // the action lists, then the type list
    std::wistringstream values(States[from].first);
    for (std::wstring value; values >> value;)  // buttons are stored counted from 0, as the lists count
      expected.push_back(iswdigit(value[0]) ? std::stoi(value) : std::ranges::find(InputNames, value) - InputNames);
    expected.push_back(States[from].second);
    for (int id = IDC_ACTION_A; id <= IDC_GAMEPAD_TYPE; ++id) shown.push_back(selected(id));
    EXPECT_EQ(shown, expected) << "state " << from;
    const int to = from == 1 ? 2 : 1;
    const HWND typeList = GetDlgItem(gamepad, IDC_GAMEPAD_TYPE);
    SendMessageW(typeList, CB_SETCURSEL, States[to].second, 0);
    PostMessageW(gamepad, WM_COMMAND, MAKEWPARAM(IDC_GAMEPAD_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(typeList));
    if (run >= Kills) {  // Esc, then the close box: the choice is not saved
      if (run == Kills) PressKey(gamepad, VK_ESCAPE);
      else PostMessageW(gamepad, WM_SYSCOMMAND, SC_CLOSE, 0);
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(gamepad); }));
      EXPECT_EQ(RunToEnd(launcher_), 0u);
      EXPECT_EQ(ReadFileBytes(ConfigPath()), bytes[from]) << "closed without OK, yet saved";
      continue;
    }
    PostMessageW(gamepad, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(gamepad, IDOK)));  // BN_CLICKED
    const auto okPosted = steady_clock::now();
    if (run < 0) {  // the dialog hides once the save is done
      while (IsWindowVisible(gamepad) && steady_clock::now() < okPosted + 60s) std::this_thread::yield();
      saveTime = std::max(saveTime, steady_clock::now() - okPosted);
      EXPECT_EQ(RunToEnd(launcher_), 0u);
      bytes[from = to] = ReadFileBytes(ConfigPath());
      continue;
    }
    const int slot = run * 37 % Kills;  // every one once, in an order that jumps about
    const auto delay = saveTime * 13 * (slot * 1000 + int(random() % 1000)) / (Kills * 10000);
    std::this_thread::sleep_until(okPosted + delay - 3ms);  // spinning all along slows the save down
    while (steady_clock::now() < okPosted + delay) {}
    TerminateProcess(launcher_.process.get(), 1);
    ASSERT_EQ(launcher_.WaitForExit(), 1u);
    const std::string left = ReadFileBytes(ConfigPath());
    const int outcome = left == bytes[from] ? 0 : left == bytes[to] ? 1 : 2;
    ++counts[outcome];
    from = outcome == 1 ? to : outcome == 0 ? from : 1;
    if (outcome == 2) WriteConfigBytes(bytes[1]);
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ConfigPath()).parent_path()))
      EXPECT_TRUE(entry.path().filename() == L"config.ini" || entry.path().filename() == L"config.ini.new")
          << entry.path().filename();
  }
  std::cout << "config.ini after " << Kills << " kills within " << saveTime * 13 / 10 / 1us << " us of OK: as-before "
            << counts[0] << ", as-saved " << counts[1] << ", other " << counts[2] << std::endl;
  EXPECT_EQ(counts[2], 0) << "left neither as it was nor as saved";
  EXPECT_GT(counts[0], 0) << "no kill came before the save changed the file";
  EXPECT_GT(counts[1], 0) << "no kill came after the save was done";
  RemoveJoypadFolders();
}

}  // namespace
}  // namespace testing_support
