// config.ini as players, editors and crashes leave it: generated junk read
// into the program's own gamepad dialog, and what OK and Cancel leave of it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gamepad/actions.h"
#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/gamepad_types.h"
#include "gamepad/joypad_config.h"
#include "gamepad_dialog_fixture.h"
#include "joypad_file.h"
#include "resource.h"
#include "test_process.h"

namespace gamepad_testing {
namespace {

using Bytes = std::vector<uint8_t>;
using testing_support::ConfigFilePath;
using testing_support::ReadFileBytes;

// A small generator of its own, so that the files do not depend on the
// standard library's distributions.
class Lcg {
 public:
  explicit Lcg(uint64_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state_ >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

 private:
  uint64_t state_;
};

constexpr const wchar_t* OwnKeys[] = {L"ProductName", L"ProductType", L"A", L"B", L"X", L"Y", L"LEFT", L"RIGHT",
                                      L"UP", L"DOWN", L"START", L"BACK", L"LT", L"RT", L"LB", L"RB",
                                      L"LSTICK_PUSH", L"RSTICK_PUSH", L"LSTICK_HORZ", L"RSTICK_HORZ",
                                      L"LSTICK_VERT", L"RSTICK_VERT"};
constexpr const wchar_t* OtherKeys[] = {L"Custom", L"Width", L"\u00dcberKey", L"A B", L"AA", L"Vol\u00fcme", L"ProductNam"};
constexpr const wchar_t* Sections[] = {L"JOYPAD", L"joypad", L"JoyPad", L"GRAPHICS", L"Sound \u00fc", L"JOYPAD2",
                                       L"\u30b2\u30fc\u30e0"};
constexpr const wchar_t* OddValues[] = {
    L"32",     L"-1",       L"00",           L"+5",          L"\"5\"",  L"'X'",   L"\"POV",  L"pov",
    L"x",      L"-rz",      L"\u0416",       L"\u30b2\u30fc\u30e0", L"\u00e95", L"5 junk", L"POV POV",
    L"1\t2",   L"9999999999", L"-2147483649", L"0x10",      L"=",      L"[JOYPAD]", L"\u00a05"};
constexpr const wchar_t* ProductNames[] = {L"Logitech", L"Logitech Dual Action", L"logitech", L"Dual",
                                           L"Generic USB Joystick", L"\u30b2\u30fc\u30e0\u30d1\u30c3\u30c9"};

constexpr wchar_t AttachedController[] = L"Logitech Dual Action";

std::wstring Letters(Lcg& random, int length) {
  static constexpr wchar_t Alphabet[] = L"abcXYZ019 _-;=[]\u00e9\u00fc\u0416\u30b2";
  std::wstring text;
  for (int i = 0; i < length; ++i) text += Alphabet[random.Below(sizeof(Alphabet) / sizeof(wchar_t) - 1)];
  return text;
}

std::wstring Value(Lcg& random) {
  switch (random.Below(6)) {
    case 0:
    case 1:
      return InputNames[random.Below(InputNameCount)];  // a list name: buttons then stand one too high
    case 2: {
      const int index = static_cast<int>(random.Below(InputNameCount));
      return index < CapturedButtonCount ? std::to_wstring(index) : std::wstring(InputNames[index]);
    }
    case 3:
      return random.Pick(OddValues);
    case 4:
      return Letters(random, 257 + static_cast<int>(random.Below(700)));  // longer than any buffer
    default:
      return L"";
  }
}

std::wstring Spaces(Lcg& random) { return random.OneIn(3) ? std::wstring(random.Below(3) + 1, random.OneIn(2) ? L' ' : L'\t') : L""; }

std::wstring Line(Lcg& random) {
  switch (random.Below(12)) {
    case 0:
    case 1:
      return L"[" + std::wstring(random.Pick(Sections)) + L"]";
    case 2:
      return random.Pick({L"[JOYPAD", L"[]", L"[ JOYPAD ]", L"[JOYPAD] trailing"});
    case 3:
    case 4:
    case 5: {
      std::wstring key = random.Pick(OwnKeys);
      if (random.OneIn(4)) CharLowerW(key.data());
      if (key == L"ProductName") return key + Spaces(random) + L"=" + Spaces(random) + random.Pick(ProductNames);
      if (key == L"ProductType") return key + L"=" + random.Pick({L"0", L"3", L"5", L"6", L"-1", L"x", L"2 ", L""});
      return Spaces(random) + key + Spaces(random) + L"=" + Spaces(random) + Value(random) + Spaces(random);
    }
    case 6:
      return std::wstring(random.Pick(OtherKeys)) + L"=" + Value(random);
    case 7:
      return L"; " + Letters(random, static_cast<int>(random.Below(40)));
    case 8:
      return Spaces(random);
    case 9:
      return Letters(random, static_cast<int>(random.Below(300)));
    case 10: {
      std::wstring line = std::wstring(random.Pick(OwnKeys)) + L"=" + Value(random);
      line.insert(random.Below(static_cast<uint32_t>(line.size()) + 1), 1, L'\0');
      return line;
    }
    default:
      return std::wstring(random.Pick(OwnKeys));  // a key without a value
  }
}

enum class Encoding { Utf16Bom, Utf16NoBom, Utf8Bom, Utf8NoBom, Ansi, Count };

Bytes Encode(const std::wstring& text, Encoding encoding) {
  Bytes bytes;
  auto narrow = [&](UINT codePage) {
    const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    const size_t start = bytes.size();
    bytes.resize(start + static_cast<size_t>(size));
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                        reinterpret_cast<char*>(bytes.data() + start), size, nullptr, nullptr);
  };
  switch (encoding) {
    case Encoding::Utf16Bom:
      bytes = {0xFF, 0xFE};
      [[fallthrough]];
    case Encoding::Utf16NoBom:
      for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
      }
      break;
    case Encoding::Utf8Bom:
      bytes = {0xEF, 0xBB, 0xBF};
      narrow(CP_UTF8);
      break;
    case Encoding::Utf8NoBom:
      narrow(CP_UTF8);
      break;
    default:
      narrow(CP_ACP);
  }
  return bytes;
}

// One generated config.ini: random bytes, or lines of every sort in one of
// the encodings, with CR LF, LF, CR or mixed line ends.
Bytes GenerateFile(Lcg& random) {
  if (random.OneIn(8)) {
    Bytes bytes(random.Below(1500));
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random.Below(256));
    // Wine reads one byte past the end of a UTF-16 file of odd length: its
    // last character is undefined there. Such files are whole characters.
    if (bytes.size() >= 2 && random.OneIn(3)) {
      bytes[0] = 0xFF, bytes[1] = 0xFE;
      bytes.resize(bytes.size() & ~size_t{1});
    }
    return bytes;
  }
  const int lineEnds = static_cast<int>(random.Below(4));
  std::wstring text;
  if (!random.OneIn(5)) text = L"[JOYPAD]\r\n";  // most files have the section
  const int lines = static_cast<int>(random.Below(40));
  for (int i = 0; i < lines; ++i) {
    text += Line(random);
    const int end = lineEnds == 3 ? static_cast<int>(random.Below(3)) : lineEnds;
    text += end == 0 ? L"\r\n" : end == 1 ? L"\n" : L"\r";
  }
  return Encode(text, static_cast<Encoding>(random.Below(static_cast<uint32_t>(Encoding::Count))));
}

// The text as the profile functions decode it: by its byte-order mark, the
// ANSI code page without one.
std::wstring Decode(const Bytes& bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  UINT codePage = CP_ACP;
  size_t skip = 0;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) codePage = CP_UTF8, skip = 3;
  const auto* narrow = reinterpret_cast<const char*>(bytes.data() + skip);
  const int size = static_cast<int>(bytes.size() - skip);
  std::wstring text(static_cast<size_t>(MultiByteToWideChar(codePage, 0, narrow, size, nullptr, 0)), L'\0');
  MultiByteToWideChar(codePage, 0, narrow, size, text.data(), static_cast<int>(text.size()));
  return text;
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find_first_of(L"\r\n", start);
    lines.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return lines;
}

bool IsSpace(wchar_t c) { return c <= L' ' || c == 0x7F || c == 0xA0 || c == 0x3000 || c == 0x85; }

bool SameKey(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool IsOwnKey(std::wstring_view name) {
  for (const wchar_t* key : OwnKeys)
    if (SameKey(name, key)) return true;
  return false;
}

// The lines the profile functions keep as they stand when they rewrite a
// file: not blank, no NUL, no white space at either end or around the first
// "=", a section header ending in "]". Those of the section "JOYPAD" that
// carry one of the program's own keys are left out: OK may change them.
std::vector<std::wstring> LinesThatMustSurvive(const Bytes& bytes) {
  std::vector<std::wstring> kept;
  bool joypad = false;
  for (const std::wstring& line : SplitLines(Decode(bytes))) {
    if (line.empty() || line.find(L'\0') != std::wstring::npos || IsSpace(line.front()) || IsSpace(line.back()))
      continue;
    if (line.front() == L'[' && line.find(L']') != std::wstring::npos) {
      // The section is named by what stands between "[" and the last "]",
      // trimmed; a header is kept as it stands only in that form.
      std::wstring_view name(line);
      name = name.substr(1, name.rfind(L']') - 1);
      const bool trimmed = !name.empty() && !IsSpace(name.front()) && !IsSpace(name.back());
      while (!name.empty() && IsSpace(name.front())) name.remove_prefix(1);
      while (!name.empty() && IsSpace(name.back())) name.remove_suffix(1);
      // "[]" starts no section of its own: its lines stay in the one before.
      if (!name.empty()) joypad = SameKey(name, JoypadSection);
      if (trimmed && line.back() == L']') kept.push_back(line);
      continue;
    }
    const size_t equals = line.find(L'=');
    if (equals == 0) continue;
    if (equals != std::wstring::npos &&
        (IsSpace(line[equals - 1]) || (equals + 1 < line.size() && IsSpace(line[equals + 1]))))
      continue;
    if (joypad && IsOwnKey(std::wstring_view(line).substr(0, equals))) continue;
    kept.push_back(line);
  }
  return kept;
}

// Whether every line of part appears in whole, in the same order.
bool IsSubsequence(const std::vector<std::wstring>& part, const std::vector<std::wstring>& whole,
                   std::wstring* missing) {
  size_t at = 0;
  for (const std::wstring& line : part) {
    while (at < whole.size() && whole[at] != line) ++at;
    if (at == whole.size()) {
      *missing = line;
      return false;
    }
    ++at;
  }
  return true;
}

std::wstring ReadValue(const std::wstring& path, const wchar_t* key) {
  wchar_t text[ProfileValueCapacity] = L"";
  GetPrivateProfileStringW(JoypadSection, key, L"", text, ProfileValueCapacity, path.c_str());
  return text;
}

// The list name a stored value stands for, "" for none: buttons are stored
// from 0 and matched exactly; every other name is matched without regard to
// letter case, as the lists search.
std::wstring ListNameOf(const std::wstring& value) {
  for (int button = 0; button < CapturedButtonCount; ++button)
    if (value == std::to_wstring(button)) return InputNames[button];
  for (int index = CapturedButtonCount; index < InputNameCount; ++index)
    if (SameKey(value, InputNames[index])) return InputNames[index];
  return L"";
}

struct Expected {
  int type;
  std::wstring recorded;
  std::wstring shown;  // as ActionSelections() shows it
};

// What the dialog is to show for the file as the profile functions read it,
// with or without the attached controller.
Expected ExpectedDialog(const std::wstring& path, bool controller) {
  const std::wstring storedName = ReadValue(path, ProductNameKey);
  const bool recorded = controller && !storedName.empty();
  Expected expected{static_cast<int>(GetPrivateProfileIntW(JoypadSection, ProductTypeKey, 0, path.c_str())),
                    recorded ? AttachedController : L"", L""};
  const int defaultsType = recorded ? DetectGamepadType(AttachedController) : 0;
  const bool anotherControllers = recorded && std::wstring_view(AttachedController).find(storedName) == std::wstring_view::npos;
  if (anotherControllers) expected.type = defaultsType;
  if (expected.type < 0 || expected.type >= GamepadTypeCount) expected.type = -1;
  for (int i = 0; i < ActionCount; ++i) {
    const std::wstring value = anotherControllers ? L"" : ReadValue(path, ActionControls[i].actionKey);
    if (i) expected.shown += L' ';
    expected.shown += std::wstring(ActionControls[i].actionKey) + L'=' +
                      (value.empty() ? std::wstring(GamepadTypeDefaults[defaultsType][i].inputName) : ListNameOf(value));
  }
  return expected;
}

class JunkConfigFile : public GamepadSettingsTest {
 protected:
  void TearDown() override {
    if (!reference_.empty()) testing_support::RemoveTree(reference_.substr(0, reference_.rfind(L'\\')));
    reference_.clear();
    GamepadSettingsTest::TearDown();
  }

  // The writes OK is to make for what the dialog shows: the recorded
  // controller, then each action with a selection, in its stored form.
  std::vector<std::pair<std::wstring, std::wstring>> ExpectedWrites() const {
    std::vector<std::pair<std::wstring, std::wstring>> writes;
    if (GamepadDialog.RecordedProductName[0]) {
      writes.emplace_back(ProductNameKey, GamepadDialog.RecordedProductName);
      writes.emplace_back(ProductTypeKey, std::to_wstring(GamepadDialog.RecordedProductType));
    }
    for (const ActionControl* action = ActionControls; action->controlId; ++action) {
      const std::wstring shown = Selection(action->controlId);
      if (shown.empty()) continue;
      wchar_t stored[ProfileValueCapacity];
      lstrcpynW(stored, shown.c_str(), ProfileValueCapacity);
      InputNameToConfigValue(stored);
      writes.emplace_back(action->actionKey, stored);
    }
    return writes;
  }

  void PutFile(const Bytes& bytes) {
    ASSERT_TRUE(testing_support::WriteConfigFile({}));
    ASSERT_TRUE(testing_support::WriteTextFile(ConfigFilePath(), std::string(bytes.begin(), bytes.end())));
    // The profile functions may hold the last file of this name parsed.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ConfigFilePath().c_str());
  }

  void ExpectShown(const Expected& expected, const Bytes& before) const {
    EXPECT_EQ(SelectedIndex(IDC_GAMEPAD_TYPE), expected.type);
    EXPECT_EQ(GamepadDialog.RecordedProductName, expected.recorded);
    EXPECT_EQ(ActionSelections(), expected.shown);
    EXPECT_EQ(ReadFileBytes(ConfigFilePath()), before) << "opening wrote to the file";
  }

  // After OK: the file is what the same writes make of a copy of it, and the
  // lines that must survive did.
  void ExpectSavedOnly(const std::vector<std::pair<std::wstring, std::wstring>>& writes, const Bytes& before) {
    const Bytes after = ReadFileBytes(ConfigFilePath());
    if (reference_.empty()) reference_ = testing_support::MakeTempFolder(L"vk-junk-reference") + L"\\config.ini";
    ASSERT_TRUE(testing_support::WriteTextFile(reference_, std::string(before.begin(), before.end())));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, reference_.c_str());
    for (const auto& [key, value] : writes)
      WritePrivateProfileStringW(JoypadSection, key.c_str(), value.c_str(), reference_.c_str());
    const Bytes expected = ReadFileBytes(reference_);
    EXPECT_TRUE(after == expected) << "OK wrote something else than its own keys: " << after.size() << " bytes, not "
                                   << expected.size();

    const std::vector<std::wstring> mustSurvive = LinesThatMustSurvive(before);
    std::wstring missing;
    EXPECT_TRUE(IsSubsequence(mustSurvive, SplitLines(Decode(after)), &missing))
        << "lost: " << testing::PrintToString(missing);
    survivorsChecked_ += static_cast<int>(mustSurvive.size());
  }

  std::wstring reference_;
  int survivorsChecked_ = 0;
};

// Each of the first files gets a dialog of its own, opened and closed as the
// player does; the others go through the one step of opening and the one of
// OK that touch the file, on a dialog opened once: opening a dialog takes a
// quarter of a second under Wine, loading and saving milliseconds.
constexpr int FilesInDialogsOfTheirOwn = 30;
constexpr int GeneratedFiles = 300;

// Every file opens; each list shows what the file's value names or nothing;
// Cancel leaves the file byte for byte; OK changes the program's own keys and
// nothing else. The profile functions rewrite the whole file on every write
// (byte for byte what a reference copy gets from the same writes); of the
// player's lines they keep every one that is already in their own form
// ("key=value" or a "[section]" header, trimmed, no NUL), in its order.
// Blank lines, white space around lines, "=" and section names, a "[]"
// header (whose lines belong to the section before), and whatever follows a
// NUL in a line are dropped.
TEST_F(JunkConfigFile, OpensShowsWhatItCanAndOkWritesOnlyItsOwnKeys) {
  Lcg random(20240607);
  int saved = 0, cancelled = 0, withController = 0;
  for (int n = 0; n < GeneratedFiles; ++n) {
    const Bytes before = GenerateFile(random);
    const bool controller = random.OneIn(3);
    const bool ok = !random.OneIn(4);
    const bool ownDialog = n < FilesInDialogsOfTheirOwn;
    SCOPED_TRACE("generated file " + std::to_string(n) + (controller ? ", controller" : "") +
                 (ok ? ", OK" : ", Cancel") + (ownDialog ? "" : ", reused dialog"));
    withController += controller;
    if (ownDialog) {
      NextCase();
      if (controller) input.Plug(AttachedController);
      PutFile(before);
      const Expected expected = ExpectedDialog(ConfigFilePath(), controller);
      OpenSettingsDialog();
      ASSERT_TRUE(IsWindow(dialog));
      ExpectShown(expected, before);
      const auto writes = ExpectedWrites();
      Click(ok ? IDOK : IDCANCEL);
      EXPECT_EQ(IsWindowVisible(dialog), FALSE);
      if (ok) {
        ExpectSavedOnly(writes, before);
        ++saved;
      } else {
        EXPECT_EQ(ReadFileBytes(ConfigFilePath()), before);
        ++cancelled;
      }
      continue;
    }
    if (n == FilesInDialogsOfTheirOwn) {
      NextCase();
      input.Plug(AttachedController);
      OpenSettingsDialog();
      ASSERT_TRUE(ControllerOpen());
    }
    PutFile(before);
    const Expected expected = ExpectedDialog(ConfigFilePath(), controller);
    // The state opening leaves for the loader: lists filled, nothing
    // selected or recorded; without a controller, none open.
    GamepadDialog.RecordedProductName[0] = L'\0';
    GamepadDialog.RecordedProductType = 0;
    SendDlgItemMessageW(dialog, IDC_GAMEPAD_TYPE, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (const ActionControl* action = ActionControls; action->controlId; ++action)
      SendDlgItemMessageW(dialog, action->controlId, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    auto device = std::move(GamepadDialog.ControllerDevice);
    if (controller) GamepadDialog.ControllerDevice = std::move(device);
    LoadJoypadConfig(dialog);
    if (!GamepadDialog.ControllerDevice) GamepadDialog.ControllerDevice = std::move(device);
    ExpectShown(expected, before);
    if (ok) {
      const auto writes = ExpectedWrites();
      SaveJoypadConfig(dialog);
      ExpectSavedOnly(writes, before);
      ++saved;
    }
  }
  // The generator reaches every path it is meant to.
  EXPECT_GT(saved, GeneratedFiles / 2);
  EXPECT_GT(cancelled, FilesInDialogsOfTheirOwn / 8);
  EXPECT_GT(withController, GeneratedFiles / 5);
  EXPECT_GT(survivorsChecked_, GeneratedFiles);
}

}  // namespace
}  // namespace gamepad_testing
