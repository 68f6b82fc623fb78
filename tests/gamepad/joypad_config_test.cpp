// The "JOYPAD" section of config.ini, read when the dialog opens and written by OK, and config.ini files as players,
// editors and crashes leave them.
#include <cstdint>

#include "gamepad/controller_input.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/joypad_config.h"
#include "gamepad_fixture.h"
#include "platform/system_error.h"

namespace testing_support {
namespace {

using JoypadConfig = GamepadDialogTest;

// Type defaults as the game reads them: buttons counted from 0.
const std::wstring Type0Stored = L"0 1 2 3 POV POV POV POV 7 6 Z -Z 4 5 8 9 X -RX Y -RY";

// The bytes the profile functions leave in a file that held `before` after writing each "key=value" line of section
// JOYPAD among lines (a value it holds already changes nothing), or taking out each bare "key" there, one call each.
std::string AfterWrites(const std::string& before, const std::vector<std::wstring>& lines) {
  static const std::wstring file = MakeTempFolder(L"vk-profile") + L"\\config.ini";
  WriteFileBytes(file, before);
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
  bool joypad = false;
  for (const std::wstring& line : lines) {
    const size_t equals = line.find(L'=');
    const wchar_t* const value = equals == line.npos ? nullptr : line.c_str() + equals + 1;
    if (line.starts_with(L'[')) joypad = line == L"[JOYPAD]";
    else if (joypad) WritePrivateProfileStringW(L"JOYPAD", line.substr(0, equals).c_str(), value, file.c_str());
  }
  return ReadFileBytes(file);
}

// OK writes each key where it stands and appends the missing ones, the bytes a save in place would leave, and the file
// opens again as it was shown. A copy that a crash left beside config.ini is never read, and the save replaces it.
TEST_F(JoypadConfig, OpeningShowsWhatTheFileHoldsAndOkWritesItBack) {
  const struct {
    const char* what;
    std::vector<std::wstring> file;  // none: no file
    const wchar_t* controller;       // attached; nullptr: none
    int type;                        // list 1024; -1: no selection
    std::wstring shown;
    std::vector<std::wstring> afterOk;
    bool ansi = false;  // the file in the ANSI code page, as the game makes it
  } cases[] = {
      {"no file, no controller", {}, nullptr, 0, TypeDefaults(0), Section({}, Type0Stored)},
      // The stored name is part of the controller's: its file; missing keys take its type's defaults; all else stays.
      {"stored name part of the controller's",
       {L"; the game's", L"[SOUND]", L"Volume=7", L"[JOYPAD]", L"Custom=yes", L"ProductName=Logitech",
        L"ProductType=2", L"A=5", L"B=pov", L"X=-rz", L"Y=31", L"LEFT=0"},
       L"ロジクール Logitech Dual Action", 2, L"6 POV -RZ 32 1 X -Y Y 10 9 7 8 5 6 11 12 POV Z POV RZ",
       Section({L"Custom=yes", L"ProductName=ロジクール Logitech Dual Action", L"ProductType=2"},
               L"5 POV -RZ 31 0 X -Y Y 9 8 6 7 4 5 10 11 POV Z POV RZ", {L"; the game's", L"[SOUND]", L"Volume=7"})},
      // Letter case counts: the file is another controller's.
      {"stored name not part of the controller's", {L"[JOYPAD]", L"ProductName=generic", L"ProductType=1", L"A=5"},
       L"Generic USB Joystick", 4, TypeDefaults(4),
       Section({L"ProductName=Generic USB Joystick", L"ProductType=4"},
               L"2 1 3 0 POV POV POV POV 8 11 4 5 6 7 9 10 X Z Y RZ")},
      // Nothing is recorded without a controller: name and type stay, and missing or empty keys take type 0's defaults.
      {"stored name, no controller",
       {L"[JOYPAD]", L"ProductName=Logitech Dual Action", L"ProductType=5", L"A=5", L"B=", L"X=0"}, nullptr, 5,
       L"6 2 1 4 POV POV POV POV 8 7 Z -Z 5 6 9 10 X -RX Y -RY",
       Section({L"ProductName=Logitech Dual Action", L"ProductType=5"}, L"5 1 0 " + Type0Stored.substr(6))},
      // A change of the type list that reports no selection (below) changes nothing.
      {"type outside 0..5", {L"[JOYPAD]", L"ProductName=Pad", L"ProductType=7"}, L"Pad X", -1, TypeDefaults(0),
       Section({L"ProductName=Pad X", L"ProductType=7"}, Type0Stored)},
      // "32" is no stored form (buttons are 0 to 31): it and "Q" select nothing, and OK leaves them in the file.
      {"an empty name, values that name nothing, shared inputs", {L"[JOYPAD]", L"ProductName=", L"A=32", L"B=Q",
       L"X=0", L"Y=0"}, L"Pad", 0, L"- - 1 1 " + TypeDefaults(0).substr(8),
       Section({L"ProductName="}, L"32 Q 0 0 " + Type0Stored.substr(8))},
      // Question marks stand for a Japanese name only where the code page made them: UTF-16 keeps names as they are.
      {"a UTF-16 file, question marks", {L"[JOYPAD]", L"ProductName=?????? Pro", L"ProductType=0", L"A=6"},
       L"ゲームパッド Pro", 0, TypeDefaults(0), Section({L"ProductName=ゲームパッド Pro", L"ProductType=0"}, Type0Stored)},
      // The code page keeps a Japanese name as question marks: still the controller's own, whose assignments stay.
      {"the game's ANSI file, a Japanese name",
       {L"[GRAPHICS]", L"Width=1920", L"[JOYPAD]", L"ProductName=ゲームパッド Pro", L"ProductType=0", L"A=6"},
       L"ゲームパッド Pro", 0, L"7" + TypeDefaults(0).substr(1),
       Section({L"ProductName=?????? Pro", L"ProductType=0"}, L"6" + Type0Stored.substr(1),
               {L"[GRAPHICS]", L"Width=1920"}), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    ASSERT_TRUE(c.file.empty() || WriteConfig(c.file, c.ansi));
    const std::string before = ReadFileBytes(ConfigPath());
    if (!c.file.empty()) WriteFileBytes(ConfigPath() + L".new", "[JOYPAD]\r\nA=31\r\n");
    if (c.controller) input.Plug(c.controller);
    Open();
    EXPECT_EQ(TypeShown(), c.type);
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_EQ(ReadFileBytes(ConfigPath()), before) << "opening wrote to the file";
    EXPECT_EQ(FileExists(MakerFolder()), !c.file.empty()) << "opening made the folders";
    if (c.type < 0)
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_GAMEPAD_TYPE, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_GAMEPAD_TYPE)));
    Press(IDOK);
    EXPECT_EQ(ConfigLines(), c.afterOk);
    EXPECT_EQ(ReadFileBytes(ConfigPath()), AfterWrites(c.file.empty() ? "\xFF\xFE" : before, c.afterOk))
        << "not as a save in place (into a new UTF-16 file)";
    EXPECT_FALSE(FileExists(ConfigPath() + L".new"));
    Open();
    EXPECT_EQ(std::pair(Shown(), TypeShown()), std::pair(c.shown, c.type)) << "reopened";
  }
}

// What another program does while OK saves: called with each message to the lists of RSTICK_HORZ (asked for its text
// once the keys before it are in the copy) and LSTICK_VERT (the next).
std::function<void(int id, UINT message)> DuringSave;
WNDPROC ListProcedure = nullptr;
LRESULT CALLBACK WatchedList(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (DuringSave) DuringSave(GetDlgCtrlID(list), message);
  return CallWindowProcW(ListProcedure, list, message, wParam, lParam);
}
DWORD WINAPI CloseAfterAMoment(void* file) {
  Sleep(300);
  return CloseHandle(file);
}

// OK when config.ini is held open past the second of retries, read-only, a later key's write into the copy is refused
// (the copy free again for the next key: only a save that stops leaves config.ini alone), a file stands for its folder,
// or there is no Documents folder (the query then hands back a relative path: no config.ini there is touched). One box
// says where and why; config.ini as it was, no copy left, the dialog open with the player's choices and capturing.
// Cancel then writes nothing; OK once the cause is gone, or with config.ini held for just 0.3 s, saves and closes.
TEST_F(JoypadConfig, ASaveThatFailsIsReportedAndTheDialogStaysOpen) {
  static constexpr wchar_t Folders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  const std::wstring current = MakeTempFolder(L"vk-current");
  const std::wstring planted = current + L"\\docs\\MORVANE\\VARKOLD\\config.ini";
  wchar_t documents[MAX_PATH] = L"", folder[MAX_PATH] = L"";
  DWORD size = sizeof(documents);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Folders, L"Personal", RRF_RT_ANY | RRF_NOEXPAND, nullptr, documents, &size),
            0);
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::pair<std::wstring, DWORD> cases[] = {
      {L"held", ERROR_SHARING_VIOLATION}, {L"read-only", ERROR_ACCESS_DENIED}, {L"later key", ERROR_SHARING_VIOLATION},
      {L"folder", ERROR_PATH_NOT_FOUND},  {L"no Documents", ERROR_PATH_NOT_FOUND}};
  for (const auto& [blocked, reason] : cases) {
    SCOPED_TRACE(testing::PrintToString(blocked));
    TearDown();
    SetUp();
    ASSERT_TRUE(WriteConfig({L"[JOYPAD]", L"ProductName=Pad", L"ProductType=0", L"A=5"}));
    const std::string before = ReadFileBytes(ConfigPath());
    const bool stored = blocked != L"folder" && blocked != L"no Documents";
    if (blocked == L"read-only") SetFileAttributesW(ConfigPath().c_str(), FILE_ATTRIBUTE_READONLY);
    if (blocked == L"folder") RemoveJoypadFolders(), WriteFileBytes(MakerFolder(), "not a folder");
    if (blocked == L"no Documents") {
      std::filesystem::create_directories(std::filesystem::path(planted).parent_path());
      WriteFileBytes(planted, "[JOYPAD]\r\nA=9\r\n");
      SetCurrentDirectoryW(current.c_str());
      RegSetKeyValueW(HKEY_CURRENT_USER, Folders, L"Personal", REG_SZ, L"docs", sizeof(L"docs"));
    }
    input.Plug(L"Pad", FakeInput::Held({4}));
    Open();
    for (const int id : {IDC_ACTION_RSTICK_HORZ, IDC_ACTION_LSTICK_VERT})
      ListProcedure = WNDPROC(SetWindowLongPtrW(GetDlgItem(dialog, id), GWLP_WNDPROC, LONG_PTR(WatchedList)));
    Tick();  // the first read: the pad is the recorded one, or brings type 0
    platform::unique_file holder, copyTaken;
    if (blocked == L"held")
      holder.reset(CreateFileW(ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (blocked == L"later key") DuringSave = [&](int id, UINT message) {
      if (id == IDC_ACTION_RSTICK_HORZ && message == CB_GETLBTEXT)
        copyTaken.reset(CreateFileW((ConfigPath() + L".new").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
      if (id == IDC_ACTION_LSTICK_VERT && message == CB_GETCURSEL) copyTaken.reset();
    };
    Select(IDC_ACTION_B, L"7");
    const std::wstring set = Shown();
    bool closed = true;
    const auto okPressed = std::chrono::steady_clock::now();
    const std::wstring box = AnswerBox(dialog, [&] { closed = Press(IDOK); });
    EXPECT_TRUE(blocked != L"held" || std::chrono::steady_clock::now() - okPressed > 900ms) << "not tried again";
    DuringSave = nullptr;
    RegSetKeyValueW(HKEY_CURRENT_USER, Folders, L"Personal", REG_EXPAND_SZ, documents, size);
    SetCurrentDirectoryW(folder);
    const std::wstring where = blocked == L"no Documents" ? L"There is no Documents folder." : ConfigPath();
    EXPECT_EQ(box, L"Gamepad Settings\nThe gamepad settings could not be saved.\n\n" + where + L"\n\n" +
                       ErrorReasonText(reason, SystemErrorText(reason)));
    EXPECT_FALSE(closed);
    EXPECT_EQ(Shown(), set);
    EXPECT_EQ(set.substr(0, 2), stored ? L"6 " : L"1 ") << "A as stored, else type 0's";
    EXPECT_FALSE(FileExists(ConfigPath() + L".new")) << "the copy was left behind";
    Focus(IDC_ACTION_A);
    Tick();
    EXPECT_EQ(Selection(IDC_ACTION_A), L"4") << "no capture after the failed save";
    holder.reset();
    if (blocked == L"folder" || blocked == L"held") {
      if (blocked == L"folder") RemoveJoypadFolders();
      DuringSave = [&](int id, UINT message) {
        if (blocked != L"held" || id != IDC_ACTION_RSTICK_HORZ || message != CB_GETLBTEXT) return;
        const HANDLE held = CreateFileW(ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        CloseHandle(CreateThread(nullptr, 0, CloseAfterAMoment, held, 0, nullptr));
      };
      EXPECT_TRUE(Press(IDOK));
      DuringSave = nullptr;
      EXPECT_EQ(ConfigLines(), Section({L"ProductName=Pad", L"ProductType=0"}, L"3 6 " + Type0Stored.substr(4)));
      continue;
    }
    EXPECT_TRUE(Press(IDCANCEL));
    EXPECT_EQ(ReadFileBytes(ConfigPath()), before);
    EXPECT_EQ(ReadFileBytes(planted), blocked == L"no Documents" ? "[JOYPAD]\r\nA=9\r\n" : "");
    SetFileAttributesW(ConfigPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

using BadInput = GamepadDialogTest;

// A file as players, editors and crashes leave them, from a generator of our own: random bytes, or lines of every sort
// in UTF-16 or the ANSI code page. One section "JOYPAD" at most, and no "[]": the profile functions write a key into
// the first such section but delete it from any.
std::string GeneratedFile(uint64_t& seed) {
  const auto below = [&](uint64_t n) { return ((seed = seed * 6364136223846793005u + 1) >> 33) % n; };
  const std::wstring pieces[] = {L"0", L"5", L"31", L"32", L"POV", L"pov", L"-rz", L"X", L"-1", L"00", L" 7", L"",
                                 L"5 junk", L"ゲーム", L"\"3\"", L"Logitech", L"Logitech Dual Action",
                                 std::wstring(300, L'7'), L"[GRAPHICS]", L"[JOYPAD", L"; ", std::wstring(L"x\0=1", 4)};
  std::string bytes;
  for (size_t n = below(8) ? 0 : below(1500) & ~1u; n > 0; --n) bytes += char(below(256));
  std::wstring text = below(5) ? L"[JOYPAD]\r\n" : L"";
  for (size_t lines = bytes.empty() ? below(40) : 0; lines > 0; --lines) {
    const std::wstring key = below(12) ? ActionKeys[below(20)] : below(2) ? L"ProductName" : L"ProductType";
    text += (below(4) ? key + L"=" : L"") + pieces[below(std::size(pieces))] + (below(2) ? L"\r\n" : L"\n");
  }
  return bytes.empty() ? Encoded(text, below(2) == 0) : bytes;
}

// Each file goes through the steps of opening and OK that touch it, in one dialog (opening takes a quarter of a second
// under Wine); every other file with a controller attached.
TEST_F(BadInput, GeneratedConfigFilesOpenAndOkWritesOnlyItsOwnKeys) {
  // Without the section's own keys (a probe key makes the profile functions rewrite it), the file is the same after OK.
  std::vector<std::wstring> ownKeys = {L"[JOYPAD]", L"vk-probe=1", L"vk-probe", L"ProductName", L"ProductType"};
  ownKeys.insert(ownKeys.end(), ActionKeys.begin(), ActionKeys.end());
  uint64_t seed = 20261207;
  input.Plug(L"Logitech Dual Action");
  Open();
  for (int file = 0; file < 200; ++file) {
    SCOPED_TRACE("generated file " + std::to_string(file));
    const std::string before = GeneratedFile(seed);
    ASSERT_TRUE(WriteConfigBytes(before));
    input.devices[0].plugged = file % 2 == 0;
    GamepadDialogState state;  // the loader's, as opening leaves it
    InitControllerInput(dialog, state);
    LoadJoypadConfig(dialog, state);
    EXPECT_EQ(ReadFileBytes(ConfigPath()), before) << "opening wrote to the file";
    EXPECT_EQ(SaveJoypadConfig(dialog, state).error, DWORD{ERROR_SUCCESS});
    ReleaseControllerInput(state);
    EXPECT_EQ(AfterWrites(before, ownKeys), AfterWrites(ReadFileBytes(ConfigPath()), ownKeys)) << "OK wrote more";
  }
}

}  // namespace
}  // namespace testing_support
