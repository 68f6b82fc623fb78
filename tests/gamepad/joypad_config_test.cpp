// The "JOYPAD" section of config.ini: real files in the test prefix's
// Documents folder, read into the real gamepad dialog and written back by OK.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gamepad/actions.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/joypad_config.h"
#include "gamepad_dialog_fixture.h"
#include "joypad_file.h"
#include "platform/unique_handle.h"
#include <shlobj.h>
#include "resource.h"
#include "test_process.h"

namespace gamepad_testing {
namespace {

using testing_support::ConfigFilePath;
using testing_support::ConfigIsUtf16;
using testing_support::ConfigLines;
using testing_support::ReadFileBytes;
using testing_support::TextEncoding;
using testing_support::WriteConfigFile;

using Lines = std::vector<std::wstring>;

TEST(ConfigValueNames, TranslateButtonsOnlyAsWholeStrings) {
  const struct {
    const wchar_t* text;
    const wchar_t* inputName;  // after ConfigValueToInputName
    const wchar_t* configValue;  // after InputNameToConfigValue
  } cases[] = {
      {L"0", L"1", L"0"},          {L"1", L"2", L"0"},        {L"9", L"10", L"8"},   {L"31", L"32", L"30"},
      {L"32", L"32", L"31"},       {L"POV", L"POV", L"POV"},  {L"-RZ", L"-RZ", L"-RZ"},
      {L"00", L"00", L"00"},       {L" 1", L" 1", L" 1"},     {L"1 ", L"1 ", L"1 "},  {L"", L"", L""},
      {L"-1", L"-1", L"-1"},       {L"33", L"33", L"33"},     {L"pov", L"pov", L"pov"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    wchar_t text[ProfileValueCapacity];
    lstrcpynW(text, c.text, ProfileValueCapacity);
    EXPECT_EQ(ConfigValueToInputName(text), std::wstring(c.text) != c.inputName);
    EXPECT_EQ(std::wstring(text), c.inputName);
    lstrcpynW(text, c.text, ProfileValueCapacity);
    EXPECT_EQ(InputNameToConfigValue(text), std::wstring(c.text) != c.configValue);
    EXPECT_EQ(std::wstring(text), c.configValue);
  }
  int rows = 0;
  for (const ConfigValueName* row = ConfigValueNames; row->configValue; ++row, ++rows) {
    EXPECT_EQ(std::wstring(row->configValue), std::to_wstring(rows));
    EXPECT_EQ(std::wstring(row->inputName), InputNames[rows]);
  }
  EXPECT_EQ(rows, 32);
}

// The lines of the section a save writes, in order, for a type's defaults.
constexpr const wchar_t* Type0Stored[20] = {L"0", L"1", L"2", L"3", L"POV", L"POV", L"POV", L"POV", L"7", L"6",
                                            L"Z", L"-Z", L"4", L"5", L"8", L"9", L"X", L"-RX", L"Y", L"-RY"};
constexpr const wchar_t* Type4Stored[20] = {L"2", L"1", L"3", L"0", L"POV", L"POV", L"POV", L"POV", L"8", L"11",
                                            L"4", L"5", L"6", L"7", L"9", L"10", L"X", L"Z", L"Y", L"RZ"};
constexpr const wchar_t* Type5Stored[20] = {L"1", L"2", L"0", L"3", L"-X", L"X", L"-Y", L"Y", L"9", L"8",
                                            L"6", L"7", L"4", L"5", L"10", L"11", L"POV", L"Z", L"POV", L"RZ"};

Lines ActionLines(const wchar_t* const (&stored)[20]) {
  Lines lines;
  for (int i = 0; i < 20; ++i) lines.push_back(std::wstring(ActionControls[i].actionKey) + L"=" + stored[i]);
  return lines;
}

Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// What list 1024 and the twenty lists show, as "type=2 A=5 B=POV ...";
// "" for a list without a selection.
struct LoadCase {
  const char* what;
  bool file;
  Lines lines;                  // the file before (UTF-16)
  const wchar_t* controller;    // attached; nullptr: none
  int type;                     // selected in list 1024; -1: none
  const wchar_t* const shown[20];
  const wchar_t* recorded;      // RecordedProductName after loading
  Lines afterOk;                // the whole file after OK
};

const LoadCase LoadCases[] = {
    {"no file, no controller", false, {}, nullptr, 0,
     {L"1", L"2", L"3", L"4", L"POV", L"POV", L"POV", L"POV", L"8", L"7", L"Z", L"-Z", L"5", L"6", L"9", L"10", L"X",
      L"-RX", L"Y", L"-RY"},
     L"", Join({{L"[JOYPAD]"}, ActionLines(Type0Stored)})},

    // The stored name is the first word of the attached controller's: the file
    // belongs to it. Missing keys take the defaults of its type (5).
    {"stored name part of the controller's", true,
     {L"[JOYPAD]", L"ProductName=Logitech", L"ProductType=2", L"A=5", L"B=POV", L"X=-rz", L"LT=0", L"RT=31"},
     L"Logitech Dual Action", 2,
     {L"6", L"POV", L"-RZ", L"4", L"-X", L"X", L"-Y", L"Y", L"10", L"9", L"1", L"32", L"5", L"6", L"11", L"12", L"POV",
      L"Z", L"POV", L"RZ"},
     L"Logitech Dual Action",
     {L"[JOYPAD]", L"ProductName=Logitech Dual Action", L"ProductType=2", L"A=5", L"B=POV", L"X=-RZ", L"LT=0",
      L"RT=31", L"Y=3", L"LEFT=-X", L"RIGHT=X", L"UP=-Y", L"DOWN=Y", L"START=9", L"BACK=8", L"LB=4", L"RB=5",
      L"LSTICK_PUSH=10", L"RSTICK_PUSH=11", L"LSTICK_HORZ=POV", L"RSTICK_HORZ=Z", L"LSTICK_VERT=POV",
      L"RSTICK_VERT=RZ"}},

    // Letter case counts in the name: this file is another controller's.
    {"stored name not part of the controller's", true,
     {L"[JOYPAD]", L"ProductName=generic", L"ProductType=1", L"A=5", L"B=POV"},
     L"Generic USB Joystick", 4,
     {L"3", L"2", L"4", L"1", L"POV", L"POV", L"POV", L"POV", L"9", L"12", L"5", L"6", L"7", L"8", L"10", L"11", L"X",
      L"Z", L"Y", L"RZ"},
     L"Generic USB Joystick",
     Join({{L"[JOYPAD]", L"ProductName=Generic USB Joystick", L"ProductType=4"}, ActionLines(Type4Stored)})},

    // Without a controller nothing is recorded: the name and type stay as
    // stored, and missing keys take type 0's defaults whatever the type says.
    {"stored name, no controller", true,
     {L"[JOYPAD]", L"ProductName=Logitech Dual Action", L"ProductType=5", L"A=5", L"B=pov", L"START=", L"BACK=0"},
     nullptr, 5,
     {L"6", L"POV", L"3", L"4", L"POV", L"POV", L"POV", L"POV", L"8", L"1", L"Z", L"-Z", L"5", L"6", L"9", L"10", L"X",
      L"-RX", L"Y", L"-RY"},
     L"",
     {L"[JOYPAD]", L"ProductName=Logitech Dual Action", L"ProductType=5", L"A=5", L"B=POV", L"START=7", L"BACK=0",
      L"X=2", L"Y=3", L"LEFT=POV", L"RIGHT=POV", L"UP=POV", L"DOWN=POV", L"LT=Z", L"RT=-Z", L"LB=4", L"RB=5",
      L"LSTICK_PUSH=8", L"RSTICK_PUSH=9", L"LSTICK_HORZ=X", L"RSTICK_HORZ=-RX", L"LSTICK_VERT=Y",
      L"RSTICK_VERT=-RY"}},

    // A type outside 0..5 selects nothing and is written back as it was.
    {"type 7", true, {L"[JOYPAD]", L"ProductName=Pad", L"ProductType=7"}, L"Pad X", -1,
     {L"1", L"2", L"3", L"4", L"POV", L"POV", L"POV", L"POV", L"8", L"7", L"Z", L"-Z", L"5", L"6", L"9", L"10", L"X",
      L"-RX", L"Y", L"-RY"},
     L"Pad X", Join({{L"[JOYPAD]", L"ProductName=Pad X", L"ProductType=7"}, ActionLines(Type0Stored)})},
    {"type -1", true, {L"[JOYPAD]", L"ProductName=Pad", L"ProductType=-1"}, L"Pad", -1,
     {L"1", L"2", L"3", L"4", L"POV", L"POV", L"POV", L"POV", L"8", L"7", L"Z", L"-Z", L"5", L"6", L"9", L"10", L"X",
      L"-RX", L"Y", L"-RY"},
     L"Pad", Join({{L"[JOYPAD]", L"ProductName=Pad", L"ProductType=-1"}, ActionLines(Type0Stored)})},

    // "32" is no stored form of any input (buttons are stored 0 to 31), and
    // "Q" names nothing: no selection, and OK leaves both in the file.
    {"values that name no list item", true,
     {L"[JOYPAD]", L"A=32", L"B=Q", L"X=31", L"Y=POV2"}, nullptr, 0,
     {L"", L"", L"32", L"", L"POV", L"POV", L"POV", L"POV", L"8", L"7", L"Z", L"-Z", L"5", L"6", L"9", L"10", L"X",
      L"-RX", L"Y", L"-RY"},
     L"",
     {L"[JOYPAD]", L"A=32", L"B=Q", L"X=31", L"Y=POV2", L"LEFT=POV", L"RIGHT=POV", L"UP=POV", L"DOWN=POV",
      L"START=7", L"BACK=6", L"LT=Z", L"RT=-Z", L"LB=4", L"RB=5", L"LSTICK_PUSH=8", L"RSTICK_PUSH=9",
      L"LSTICK_HORZ=X", L"RSTICK_HORZ=-RX", L"LSTICK_VERT=Y", L"RSTICK_VERT=-RY"}},

    // An empty value counts as absent; two actions may hold the same input.
    {"empty values and shared inputs", true, {L"[JOYPAD]", L"ProductName=", L"A=", L"B=0", L"X=0"}, L"Pad", 0,
     {L"1", L"1", L"1", L"4", L"POV", L"POV", L"POV", L"POV", L"8", L"7", L"Z", L"-Z", L"5", L"6", L"9", L"10", L"X",
      L"-RX", L"Y", L"-RY"},
     L"",
     {L"[JOYPAD]", L"ProductName=", L"A=0", L"B=0", L"X=0", L"Y=3", L"LEFT=POV", L"RIGHT=POV", L"UP=POV",
      L"DOWN=POV", L"START=7", L"BACK=6", L"LT=Z", L"RT=-Z", L"LB=4", L"RB=5", L"LSTICK_PUSH=8", L"RSTICK_PUSH=9",
      L"LSTICK_HORZ=X", L"RSTICK_HORZ=-RX", L"LSTICK_VERT=Y", L"RSTICK_VERT=-RY"}},
};

class JoypadConfig : public GamepadSettingsTest {
 protected:
  std::wstring Shown() const {
    std::wstring text = L"type=" + std::to_wstring(SelectedIndex(IDC_GAMEPAD_TYPE)) + L" " + ActionSelections();
    return text;
  }
  static std::wstring Expected(int type, const wchar_t* const (&shown)[20]) {
    return L"type=" + std::to_wstring(type) + L" " + Assignments(shown);
  }
};

TEST_F(JoypadConfig, LoadsWhatTheFileHoldsForTheAttachedControllerAndOkWritesItBack) {
  for (const LoadCase& c : LoadCases) {
    SCOPED_TRACE(c.what);
    NextCase();
    if (c.file) {
      ASSERT_TRUE(WriteConfigFile(c.lines));
    }
    const std::vector<uint8_t> before = ReadFileBytes(ConfigFilePath());
    if (c.controller) input.Plug(c.controller);

    OpenSettingsDialog();
    EXPECT_EQ(Shown(), Expected(c.type, c.shown));
    EXPECT_EQ(GamepadDialog.RecordedProductName, std::wstring(c.recorded));
    if (c.type >= 0) {
      EXPECT_EQ(GamepadDialog.RecordedProductType, c.type);
    }
    // Loading writes nothing and creates no folder.
    EXPECT_EQ(ReadFileBytes(ConfigFilePath()), before);
    EXPECT_EQ(testing_support::FileExists(testing_support::MakerFolderPath()), c.file);

    Click(IDOK);
    EXPECT_EQ(ConfigLines(), c.afterOk);
    EXPECT_TRUE(ConfigIsUtf16());
  }
}

TEST_F(JoypadConfig, ANewFileHoldsTheRecordedControllerFirstThenTheActionsInOrder) {
  input.Plug(L"Logitech Dual Action");
  OpenSettingsDialog();
  TimerTick();  // the controller's first read records it
  Click(IDOK);
  EXPECT_TRUE(testing_support::FileExists(testing_support::GameFolderPath()));
  EXPECT_EQ(ConfigLines(),
            Join({{L"[JOYPAD]", L"ProductName=Logitech Dual Action", L"ProductType=5"}, ActionLines(Type5Stored)}));
  EXPECT_TRUE(ConfigIsUtf16());
}

// Only the keys of the section are written, each where it stands; a key that
// is new goes to the end of the section.
TEST_F(JoypadConfig, OtherSectionsKeysAndCommentsSurviveASave) {
  const struct {
    const char* what;
    TextEncoding encoding;
  } encodings[] = {{"UTF-16 file", TextEncoding::Utf16WithBom}, {"ANSI file", TextEncoding::Ansi}};
  for (const auto& e : encodings) {
    SCOPED_TRACE(e.what);
    NextCase();
    ASSERT_TRUE(WriteConfigFile({L"; written by the game", L"[GRAPHICS]", L"Width=1280", L"[JOYPAD]",
                                 L"; the player's note", L"B=3", L"Custom=yes", L"[SOUND]", L"Volume=7"},
                                e.encoding));
    OpenSettingsDialog();
    Click(IDOK);
    const Lines joypad = ActionLines(Type0Stored);
    Lines expected = {L"; written by the game", L"[GRAPHICS]", L"Width=1280", L"[JOYPAD]", L"; the player's note",
                      L"B=3", L"Custom=yes"};
    for (const std::wstring& line : joypad)
      if (line != L"B=1") expected.push_back(line);
    expected.insert(expected.end(), {L"[SOUND]", L"Volume=7"});
    EXPECT_EQ(ConfigLines(), expected);
    // An existing file keeps its encoding.
    EXPECT_EQ(ConfigIsUtf16(), e.encoding == TextEncoding::Utf16WithBom);
  }
}

// Product names outside the ANSI code page survive: a new file is UTF-16.
TEST_F(JoypadConfig, AJapaneseProductNameSurvivesASaveAndAReopening) {
  const std::wstring name = L"ゲームパッド Джойстик USB";
  input.Plug(name);
  OpenSettingsDialog();
  TimerTick();
  Select(IDC_ACTION_A, L"7");
  Click(IDOK);
  CloseDialog();
  EXPECT_TRUE(ConfigIsUtf16());
  const Lines lines = ConfigLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], L"ProductName=" + name);
  EXPECT_EQ(lines[3], L"A=6");

  // Reopened with the same controller, the file is its own: "7" stays.
  OpenSettingsDialog();
  EXPECT_EQ(GamepadDialog.RecordedProductName, name);
  TimerTick();
  EXPECT_EQ(Selection(IDC_ACTION_A), L"7");
}

// Under Wine a process run as root writes even read-only files; what makes a
// file unwritable for everyone is another program holding it open without
// sharing it for writing (as the game may). A folder that cannot be made:
// "MORVANE" is a read-only file.
TEST_F(JoypadConfig, AFileOrFolderThatCannotBeWrittenLosesNothingAndTheDialogCloses) {
  const Lines lines = {L"[JOYPAD]", L"ProductName=Pad", L"A=5"};
  {
    SCOPED_TRACE("file in use, read-only");
    ASSERT_TRUE(WriteConfigFile(lines));
    SetFileAttributesW(ConfigFilePath().c_str(), FILE_ATTRIBUTE_READONLY);
    const std::vector<uint8_t> before = ReadFileBytes(ConfigFilePath());
    const platform::unique_file held(CreateFileW(ConfigFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    input.Plug(L"Pad");
    OpenSettingsDialog();
    TimerTick();
    Select(IDC_ACTION_A, L"9");
    Click(IDOK);
    EXPECT_EQ(ReadFileBytes(ConfigFilePath()), before);
  }
  {
    SCOPED_TRACE("folder cannot be made");
    NextCase();
    const std::wstring maker = testing_support::MakerFolderPath();
    ASSERT_TRUE(testing_support::WriteTextFile(maker, "not a folder"));
    SetFileAttributesW(maker.c_str(), FILE_ATTRIBUTE_READONLY);
    OpenSettingsDialog();
    Click(IDOK);
    EXPECT_FALSE(testing_support::FileExists(ConfigFilePath()));
    const std::vector<uint8_t> kept = ReadFileBytes(maker);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "not a folder");
  }
}

// Where Windows cannot say where Documents is, the folder query may hand back
// a relative or empty path: no config.ini is read or written from the current
// folder or the root of its drive.
TEST_F(JoypadConfig, WithoutADocumentsFolderLoadsTheDefaultsAndSavesNothing) {
  const wchar_t* const ShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  platform::unique_hkey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.put()),
            ERROR_SUCCESS);
  DWORD type = 0;
  wchar_t saved[MAX_PATH] = L"";
  DWORD savedSize = sizeof(saved);
  ASSERT_EQ(RegQueryValueExW(key.get(), L"Personal", nullptr, &type, reinterpret_cast<BYTE*>(saved), &savedSize),
            ERROR_SUCCESS);

  const std::wstring current = testing_support::MakeTempFolder(L"vk-current-folder");
  {
    wchar_t savedCurrent[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, savedCurrent);
    SetCurrentDirectoryW(current.c_str());
    // Put back whatever happens: later tests need the real Documents folder.
    struct Restore {
      HKEY key;
      DWORD type;
      const wchar_t* value;
      DWORD size;
      const wchar_t* currentFolder;
      ~Restore() {
        RegSetValueExW(key, L"Personal", 0, type, reinterpret_cast<const BYTE*>(value), size);
        SetCurrentDirectoryW(currentFolder);
      }
    } restore{key.get(), type, saved, savedSize, savedCurrent};
    static constexpr char PlantedBytes[] = "\xFF\xFE[\0J\0O\0Y\0P\0A\0D\0]\0\r\0\n\0A\0=\0\x35\0\r\0\n\0";
    const std::string planted(PlantedBytes, sizeof(PlantedBytes) - 1);

    // Where the folder query's leftovers would lead: the current folder, and
    // the root of the current drive.
    const struct {
      const wchar_t* documents;
      std::wstring makerFolder;
    } cases[] = {
        {L"docs\\here", current + L"\\docs\\here\\MORVANE"},
        {L"", current.substr(0, 2) + L"\\MORVANE"},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(c.documents)));
      RegSetValueExW(key.get(), L"Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.documents),
                     static_cast<DWORD>((wcslen(c.documents) + 1) * sizeof(wchar_t)));
      const std::wstring planting = c.makerFolder + L"\\VARKOLD";
      SHCreateDirectoryExW(nullptr, planting.c_str(), nullptr);
      ASSERT_TRUE(testing_support::WriteTextFile(planting + L"\\config.ini", planted));

      OpenSettingsDialog();
      EXPECT_EQ(Selection(IDC_ACTION_A), L"1") << "read a config.ini it should not know";
      Click(IDOK);
      CloseDialog();
      const std::vector<uint8_t> after = ReadFileBytes(planting + L"\\config.ini");
      EXPECT_EQ(std::string(after.begin(), after.end()), planted);
      testing_support::RemoveTree(c.makerFolder);
    }
  }
  testing_support::RemoveTree(current);
  EXPECT_FALSE(testing_support::DocumentsFolder().empty());
}

}  // namespace
}  // namespace gamepad_testing
