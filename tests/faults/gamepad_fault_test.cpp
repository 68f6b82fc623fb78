// Faults around the gamepad dialog: a Documents folder that is missing,
// read-only or whose config.ini another program holds, and DirectInput
// failing at every step or losing its controller mid-capture.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dialog_runner.h"
#include "gamepad/actions.h"
#include "gamepad/controller_input.h"
#include "gamepad/controller_search.h"
#include "gamepad/gamepad_dialog.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad_dialog_fixture.h"
#include "joypad_file.h"
#include "launcher/startup.h"
#include "launcher_resources.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "test_process.h"

namespace gamepad_testing {
namespace {

using fake_dinput::DirectInputObject;
using fake_dinput::Method;
using fake_dinput::StateWith;
using testing_support::ConfigFilePath;
using testing_support::ConfigLines;
using testing_support::DocumentsFolder;
using testing_support::FileExists;
using testing_support::ReadFileBytes;
using testing_support::WriteConfigFile;

constexpr HRESULT InputLost = static_cast<HRESULT>(DIERR_INPUTLOST);
constexpr HRESULT Unplugged = static_cast<HRESULT>(DIERR_UNPLUGGED);

// ---------------------------------------------------------------------------
// The Documents folder and config.ini

const wchar_t* const UserShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Puts back the registry's Documents folder, the folder itself and the
// current folder whatever a case did to them.
class DocumentsGuard {
 public:
  DocumentsGuard() : documents_(DocumentsFolder()) {
    RegOpenKeyExW(HKEY_CURRENT_USER, UserShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key_.put());
    RegQueryValueExW(key_.get(), L"Personal", nullptr, &type_, reinterpret_cast<BYTE*>(personal_), &size_);
    GetCurrentDirectoryW(MAX_PATH, current_);
  }
  ~DocumentsGuard() {
    RegSetValueExW(key_.get(), L"Personal", 0, type_, reinterpret_cast<const BYTE*>(personal_), size_);
    CreateDirectoryW(documents_.c_str(), nullptr);
    SetFileAttributesW(documents_.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    SetCurrentDirectoryW(current_);
  }
  void PointDocumentsAt(const wchar_t* path) const {
    RegSetValueExW(key_.get(), L"Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                   static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)));
  }
  const std::wstring& documents() const { return documents_; }

 private:
  std::wstring documents_;
  platform::unique_hkey key_;
  DWORD type_ = REG_EXPAND_SZ;
  wchar_t personal_[MAX_PATH] = L"";
  DWORD size_ = sizeof(personal_);
  wchar_t current_[MAX_PATH] = L"";
};

class DocumentsFault : public GamepadSettingsTest {};

const std::vector<std::wstring> StoredLines = {L"; the player's own", L"[JOYPAD]", L"A=4", L"B=5", L"[OTHER]",
                                               L"K=1"};

// Under Wine a process run as root may write a read-only file (Windows
// refuses it); what shuts every writer out is another handle that shares
// nothing, as the game or an editor may hold. Whatever happens, the dialog
// returns 1; a file that cannot be written stays byte for byte as it was,
// no Documents folder is made up, and no config.ini turns up in the current
// folder or the root of its drive.
TEST_F(DocumentsFault, OkClosesTheDialogAndLosesNothingWhereTheFileCannotBeWritten) {
  enum class Outcome { Unchanged, Saved, NoDocuments };
  struct Case {
    const char* what;
    bool file;  // StoredLines in config.ini before opening
    bool heldFromOpening;  // another handle shares nothing from before opening until the end
    std::function<void(DocumentsGuard&)> beforeOpening;
    std::function<platform::unique_file()> whileOpen;  // a handle held until the dialog has closed
    Outcome outcome;
    const wchar_t* shownA;  // list A after opening
    const wchar_t* notCreated;  // a folder that must not appear; nullptr: none
  };
  auto holdWithoutSharing = [] {
    return platform::unique_file(CreateFileW(ConfigFilePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
  };
  auto nothing = [] { return platform::unique_file(); };
  const std::wstring documents = DocumentsFolder();
  const Case cases[] = {
      {"Documents folder removed", false, false, [](DocumentsGuard& g) { RemoveDirectoryW(g.documents().c_str()); },
       nothing, Outcome::NoDocuments, L"1", documents.c_str()},
      {"Documents pointing at a missing folder", false, false,
       [](DocumentsGuard& g) { g.PointDocumentsAt(L"C:\\nowhere\\Documents"); }, nothing, Outcome::NoDocuments,
       L"1", L"C:\\nowhere"},
      {"Documents pointing at a missing drive", false, false,
       [](DocumentsGuard& g) { g.PointDocumentsAt(L"Q:\\Documents"); }, nothing, Outcome::NoDocuments, L"1",
       nullptr},
      // The folder attribute stops nobody, on Windows either.
      {"Documents folder read-only", false, false,
       [](DocumentsGuard& g) { SetFileAttributesW(g.documents().c_str(), FILE_ATTRIBUTE_READONLY); }, nothing,
       Outcome::Saved, L"1", nullptr},
      {"config.ini held without sharing while OK is pressed", true, false, [](DocumentsGuard&) {},
       holdWithoutSharing, Outcome::Unchanged, L"5", nullptr},
      {"config.ini read-only and held without sharing", true, false,
       [](DocumentsGuard&) { SetFileAttributesW(ConfigFilePath().c_str(), FILE_ATTRIBUTE_READONLY); },
       holdWithoutSharing, Outcome::Unchanged, L"5", nullptr},
      // Nothing can be read: the lists show the defaults, and OK cannot
      // write them over the player's file either.
      {"config.ini held without sharing from before opening", true, true, [](DocumentsGuard&) {}, nothing,
       Outcome::Unchanged, L"1", nullptr},
  };
  const std::wstring current = testing_support::MakeTempFolder(L"vk-current-folder");
  const std::wstring root = current.substr(0, 3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NextCase();
    if (c.file) {
      ASSERT_TRUE(WriteConfigFile(StoredLines));
    }
    const std::vector<uint8_t> before = ReadFileBytes(ConfigFilePath());
    platform::unique_file heldFromOpening;
    if (c.heldFromOpening) heldFromOpening = holdWithoutSharing();
    {
      DocumentsGuard guard;
      SetCurrentDirectoryW(current.c_str());
      c.beforeOpening(guard);
      platform::unique_file held;
      std::wstring shownA;
      InstanceHandle = testing_support::LauncherResourceModule();
      const INT_PTR result =
          testing_support::RunModalDialog(InstanceHandle, IDD_GAMEPAD_DIALOG, GamepadDialogProc, [&](HWND d) {
            dialog = d;
            shownA = Selection(IDC_ACTION_A);
            Select(IDC_ACTION_B, L"POV");
            held = c.whileOpen();
            Click(IDOK);
            dialog = nullptr;
          });
      EXPECT_EQ(result, 1);
      EXPECT_EQ(shownA, c.shownA);
      if (c.notCreated) {
        EXPECT_FALSE(FileExists(c.notCreated)) << "created a Documents folder";
      }
    }
    SetFileAttributesW(ConfigFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
    heldFromOpening.reset();
    for (const std::wstring& folder : {current, root.substr(0, 2)}) {
      EXPECT_FALSE(FileExists(folder + L"\\config.ini")) << testing::PrintToString(folder);
      EXPECT_FALSE(FileExists(folder + L"\\MORVANE")) << testing::PrintToString(folder);
    }
    switch (c.outcome) {
      case Outcome::Unchanged:
        EXPECT_EQ(ReadFileBytes(ConfigFilePath()), before);
        break;
      case Outcome::NoDocuments:
        EXPECT_FALSE(FileExists(testing_support::MakerFolderPath()));
        break;
      case Outcome::Saved: {
        const auto lines = ConfigLines();
        ASSERT_EQ(lines.size(), 21u);
        EXPECT_EQ(lines[2], L"B=POV");
        EXPECT_EQ(GetFileAttributesW(DocumentsFolder().c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "restored";
        break;
      }
    }
  }
  testing_support::RemoveTree(current);
}

// ---------------------------------------------------------------------------
// DirectInput

class ControllerFault : public GamepadSettingsTest {
 protected:
  // Ticks the dialog's timer; returns the most calls of DirectInput that one
  // tick made.
  size_t TicksWithMostCalls(int count) {
    size_t most = 0;
    for (int i = 0; i < count; ++i) {
      const size_t before = input.Calls().size();
      TimerTick();
      most = std::max(most, input.Calls().size() - before);
    }
    return most;
  }
};

// Opening a controller takes 15 calls (6 axes); a failed read at most the
// read, every bounded re-acquisition and the release. A tick never takes
// more, whatever DirectInput answers.
constexpr size_t MostCallsPerTick = 20;
// Longer than the slow safety search's period: a controller that failed once
// is found again.
constexpr int FaultTicks = 600;

constexpr wchar_t Pad[] = L"Logitech Dual Action";  // gamepad type 5: "B" defaults to "3"

// Every call the fake can fail, failing once or for ever, with a controller
// held at button 7 and the focus in list "B". Afterwards the dialog has
// either captured "7" (with the controller's type's defaults in the other
// lists) or kept what it loaded; OK saves either; nothing is left alive.
TEST_F(ControllerFault, EachFailingCallLeavesTheDialogUsableAndOkSaves) {
  struct Case {
    Method method;
    int device;  // DirectInputObject or the pad (0)
    HRESULT failure;
    bool forever;
    bool captured;   // "B" shows "7"
    bool recorded;   // the pad's name and type are saved
  };
  const Case cases[] = {
      {Method::DirectInput8Create, DirectInputObject, E_OUTOFMEMORY, false, false, false},
      {Method::DirectInput8Create, DirectInputObject, E_OUTOFMEMORY, true, false, false},
      {Method::EnumDevices, DirectInputObject, E_FAIL, false, true, true},
      {Method::EnumDevices, DirectInputObject, E_FAIL, true, false, false},
      {Method::CreateDevice, 0, DIERR_DEVICENOTREG, false, true, true},
      {Method::CreateDevice, 0, DIERR_DEVICENOTREG, true, false, false},
      {Method::GetCapabilities, 0, E_FAIL, false, true, true},
      {Method::GetCapabilities, 0, E_FAIL, true, false, false},
      // A controller whose set-up failed stays open and nameless as long as
      // DirectInput keeps it.
      {Method::SetDataFormat, 0, E_FAIL, false, false, false},
      {Method::SetDataFormat, 0, E_FAIL, true, false, false},
      {Method::SetCooperativeLevel, 0, E_HANDLE, false, true, false},
      {Method::SetCooperativeLevel, 0, E_HANDLE, true, true, false},
      {Method::EnumObjects, 0, E_FAIL, false, true, false},
      {Method::EnumObjects, 0, E_FAIL, true, true, false},
      {Method::SetProperty, 0, DIERR_UNSUPPORTED, false, true, true},
      {Method::SetProperty, 0, DIERR_UNSUPPORTED, true, true, true},
      {Method::GetDeviceInfo, 0, E_FAIL, false, true, false},
      {Method::GetDeviceInfo, 0, E_FAIL, true, true, false},
      {Method::GetDeviceState, 0, E_FAIL, false, true, true},
      {Method::GetDeviceState, 0, E_FAIL, true, false, false},
      {Method::GetDeviceState, 0, InputLost, true, false, false},
      {Method::Acquire, 0, E_FAIL, false, true, true},
      {Method::Acquire, 0, E_FAIL, true, false, false},
      {Method::Acquire, 0, InputLost, true, false, false},
      {Method::Acquire, 0, Unplugged, true, false, false},
      {Method::Unacquire, 0, E_FAIL, false, true, true},
      {Method::Unacquire, 0, E_FAIL, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(fake_dinput::MethodName(c.method)) + (c.forever ? " fails for ever" : " fails once"));
    NextCase();
    ASSERT_TRUE(WriteConfigFile({L"[JOYPAD]", L"A=9", L"B=POV"}));
    const int pad = input.Plug(Pad);
    input.SetStates(pad, {StateWith({7})});
    if (c.forever)
      input.ScriptResultForever(c.method, c.device, c.failure);
    else
      input.ScriptResults(c.method, c.device, {c.failure});

    OpenSettingsDialog();
    Focus(IDC_ACTION_B);
    const size_t most = TicksWithMostCalls(FaultTicks);
    // Enumerating takes 15 to 70 ms on Windows: a controller that never
    // reads is not looked for again every other tick.
    EXPECT_LE(Enumerations(), 2 + FaultTicks / ControllerSearchSchedule::SafetySearchPeriod);
    SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
    AnnounceHidArrival();
    EXPECT_LE(std::max(most, TicksWithMostCalls(10)), MostCallsPerTick);

    const int type = c.recorded ? 5 : 0;
    EXPECT_EQ(Selection(IDC_ACTION_B), c.captured ? L"7" : L"POV");
    // A controller taken up brings its type's defaults; otherwise "A" keeps
    // what the file holds.
    EXPECT_EQ(Selection(IDC_ACTION_A), c.recorded ? GamepadTypeDefaults[type][0].inputName : L"10");
    EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), type);
    Click(IDOK);
    const auto lines = ConfigLines();
    ASSERT_EQ(lines.size(), c.recorded ? 23u : 21u);
    EXPECT_EQ(lines[1], c.recorded ? L"A=1" : L"A=9");
    EXPECT_EQ(lines[2], c.captured ? L"B=6" : L"B=POV");
    // Keys the file lacked follow those it had.
    if (c.recorded) {
      EXPECT_EQ(lines[3], L"ProductName=" + std::wstring(Pad));
      EXPECT_EQ(lines[4], L"ProductType=5");
    }
    // TearDown: no DirectInput object left alive, no unexpected call.
  }
}

// The controller goes between a press and the next tick, or while a list is
// dropped down: the lists keep what they show, the search goes on at its
// slow pace, and the controller plugged in again is taken up where it left
// off (it is the recorded one: no defaults replace the lists).
TEST_F(ControllerFault, AControllerUnpluggedMidCaptureChangesNothingAndComesBack) {
  const struct {
    const char* what;
    bool droppedDown;
  } cases[] = {{"between a press and the next tick", false}, {"while the list is dropped down", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    NextCase();
    const int pad = input.Plug(Pad);
    OpenSettingsDialog();
    TimerTick();  // the first read records the pad and its type's defaults
    Select(IDC_ACTION_X, L"-RZ");
    Focus(IDC_ACTION_B);
    if (c.droppedDown) SendDlgItemMessageW(dialog, IDC_ACTION_B, CB_SHOWDROPDOWN, TRUE, 0);
    const std::wstring shown = ActionSelections();

    input.SetStates(pad, {StateWith({7})});
    input.Unplug(pad);
    const int searches = Enumerations();
    EXPECT_LE(TicksWithMostCalls(300), MostCallsPerTick);
    EXPECT_FALSE(ControllerOpen());
    EXPECT_EQ(ActionSelections(), shown);
    EXPECT_LE(Enumerations() - searches, 3) << "the search runs at its slow pace";
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_ACTION_B));

    input.Replug(pad);
    AnnounceHidArrival();
    TimerTick(2);  // opened, then read
    EXPECT_TRUE(ControllerOpen());
    EXPECT_EQ(Selection(IDC_ACTION_B), L"7");
    EXPECT_EQ(Selection(IDC_ACTION_X), L"-RZ") << "the recorded pad brings no defaults";
    if (c.droppedDown) SendDlgItemMessageW(dialog, IDC_ACTION_B, CB_SHOWDROPDOWN, FALSE, 0);
    Click(IDOK);
    const auto lines = ConfigLines();
    ASSERT_EQ(lines.size(), 23u);
    EXPECT_EQ(lines[1], L"ProductName=" + std::wstring(Pad));
    EXPECT_EQ(lines[4], L"B=6");
    EXPECT_EQ(lines[5], L"X=-RZ");
  }
}

}  // namespace
}  // namespace gamepad_testing
