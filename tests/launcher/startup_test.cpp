// The real Launcher.exe started as a player, a store or Media Center would, and the text of its one failure box.
#include "platform/system_error.h"
#include "resource.h"
#include "test_support.h"

namespace testing_support {
namespace {

using StartUp = InstalledLauncher;

// The folder's name holds every switch, blanks and non-ASCII letters. Without a build switch the player's way out of
// the main dialog decides; before Windows 6 its DirectX 10 button is grey and starts nothing (Wine reports the version
// that its settings for the exe name give). Media Center's shell inherits the launcher's folder, which a game start
// makes current. A caller may give the arguments alone as the command line.
TEST_F(StartUp, EachBuildGetsItsSwitchesAndTheLaunchersFolder) {
  constexpr wchar_t Settings[] = L"Software\\Wine\\AppDefaults\\Launcher.exe";
  const std::wstring folder = Install(L"VARKOLD -dx9 -dx10 -mce Ärger 日本語");
  const std::wstring elsewhere = MakeTempFolder(L"vk-elsewhere");
  const std::vector<Started> dx9 = {{L"VKDDX9.exe", L"-dx9", folder}};
  const struct {
    const wchar_t* arguments;
    std::vector<Started> started;
    void (*act)(HWND dialog) = nullptr;  // what the player does in the main dialog
    bool named = true;                   // the command line begins with the program's path
    bool xp = false;
  } cases[] = {
      {L"", dx9, [](HWND d) { ClickControl(d, IDC_RUN_DIRECTX9); }},
      {L"", {{L"VKDDX10.exe", L"-dx10", folder}}, [](HWND d) { ClickControl(d, IDC_RUN_DIRECTX10); }},
      {L"", {}, [](HWND d) { PressKey(d, VK_ESCAPE); }},
      {L"", {}, [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},  // the close box
      {L"", {}, [](HWND d) { ClickControl(d, IDC_RUN_DIRECTX10), PressKey(d, VK_ESCAPE); }, true, true},
      {L"-mce", {{L"ehshell.exe", L"", elsewhere}}, [](HWND d) { ClickControl(d, IDCANCEL); }},
      {L"-dx9", dx9},
      {L"-dx10", {{L"VKDDX10.exe", L"-dx10", folder}}},
      {L"-dx9 -mce", {{L"VKDDX9.exe", L"-dx9 -mce", folder}, {L"ehshell.exe", L"", folder}}},
      {L"-mce -dx10", {{L"VKDDX10.exe", L"-dx10 -mce", folder}, {L"ehshell.exe", L"", folder}}},
      {L"-dx9", dx9, nullptr, false},
  };
  for (const auto& c : cases) {
    ClearLog();
    if (c.xp) RegSetKeyValueW(HKEY_CURRENT_USER, Settings, L"Version", REG_SZ, L"winxp", sizeof(L"winxp"));
    launcher_ = StartProgram(folder + L"\\Launcher.exe", c.arguments, elsewhere, 0, c.named);
    if (c.act) {
      const HWND dialog = DialogOf(launcher_);
      EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_RUN_DIRECTX10)), !c.xp);
      c.act(dialog);
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, Settings, L"Version");
    EXPECT_EQ(c.act ? launcher_.WaitForExit() : RunToEnd(launcher_), 0u) << c.arguments;  // a Close now would race
    EXPECT_EQ(StartedSoFar(c.started.size()), c.started) << c.arguments;
  }
}

// All but one end at once with 0, without a window or a game; the one left hands over to Media Center after its game.
TEST_F(StartUp, OneOfTenLaunchersRunsAndWaitsForItsGame) {
  const std::wstring exe = Install(L"ten at once") + L"\\Launcher.exe";
  for (const std::wstring arguments : {L"-dx9 -mce", L""}) {
    ClearLog();
    HoldGames();
    std::vector<RunningProcess> launchers(10);
    for (RunningProcess& launcher : launchers) launcher = StartProgram(exe, arguments, {}, CREATE_SUSPENDED);
    for (const RunningProcess& launcher : launchers) ResumeThread(launcher.suspendedThread.get());
    const auto running = [&] { return std::ranges::count_if(launchers, [](auto& l) { return !l.HasEnded(); }); };
    ASSERT_TRUE(WaitUntil([&] { return running() == 1; }));
    const auto survivor = std::ranges::find_if(launchers, [](auto& l) { return !l.HasEnded(); });
    for (const RunningProcess& launcher : launchers) EXPECT_TRUE(!launcher.HasEnded() || launcher.WaitForExit() == 0);
    EXPECT_EQ(StartedSoFar(arguments.empty() ? 0 : 1).size(), arguments.empty() ? 0u : 1u);
    EXPECT_EQ(WaitUntil([&] { return !ProcessWindows(survivor->id).empty(); }, arguments.empty() ? 60s : 0ms),
              arguments.empty()) << "the dialog, only without a switch";
    EXPECT_FALSE(survivor->HasEnded());
    EXPECT_TRUE(platform::unique_handle(OpenMutexW(SYNCHRONIZE, FALSE, L"MRV_GHT_LAUNCHER"))) << "known by its mutex";
    Release();
    EXPECT_EQ(RunToEnd(*survivor), 0u);
    const std::vector<Started> started = StartedSoFar(arguments.empty() ? 0 : 2);
    EXPECT_EQ(started.size(), arguments.empty() ? 0u : 2u);
    EXPECT_TRUE(arguments.empty() || started[1].fileName == L"ehshell.exe");
  }
}

// A missing or a damaged build: one box, the launcher's, the system's reason naming the build; Media Center follows.
TEST_F(StartUp, AFailedStartIsReportedInOneBoxThenMediaCenterFollows) {
  const std::wstring folder = Install(L"no games", false);
  WriteFileBytes(folder + L"\\VKDDX10.exe", "MZ");
  const std::tuple<const wchar_t*, std::wstring, std::wstring> cases[] = {  // arguments, the reason's part, code
      {L"-dx9 -mce", SystemErrorText(ERROR_FILE_NOT_FOUND), L"\n(Errorcode:0002)"},
      {L"-dx10 -mce", L"VKDDX10.exe", L"\n(Errorcode:00c1)"}};  // "%1 is not a valid Win32 application."
  for (const auto& [arguments, reason, codeLine] : cases) {
    ClearLog();
    launcher_ = StartProgram(folder + L"\\Launcher.exe", arguments);
    std::vector<HWND> boxes;
    ASSERT_TRUE(WaitUntil([&] { return !(boxes = ProcessWindows(launcher_.id)).empty(); }));
    ASSERT_EQ(WindowText(boxes[0]), L"LaunchGame Failed.") << "a box before the launcher's";
    const std::wstring text = WindowText(GetDlgItem(boxes[0], 0xFFFF));
    EXPECT_TRUE(text.find(reason) != text.npos && text.ends_with(codeLine) && text.find(L'%') == text.npos)
        << testing::PrintToString(text);
    EXPECT_TRUE(StartedSoFar().empty()) << "nothing may start before the box is dismissed";
    PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
    EXPECT_EQ(launcher_.WaitForExit(), 0u);
    EXPECT_EQ(StartedSoFar(1).at(0).fileName, L"ehshell.exe");
  }
  // Every box's reason: a long code is not cut, one without system text shows; a failure without reason is one.
  EXPECT_EQ(ErrorReasonText(0x80070002, L"x"), L"x\n(Errorcode:80070002)");
  EXPECT_EQ(ErrorReasonText(0x2000FFFF, SystemErrorText(0x2000FFFF)), L"(Errorcode:2000ffff)");
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(LastFailure(), DWORD{ERROR_GEN_FAILURE});
}

}  // namespace
}  // namespace testing_support
