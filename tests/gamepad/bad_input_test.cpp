// config.ini files as players, editors and crashes leave them.
#include "gamepad_test.h"

#include <cstdint>

#include "gamepad/gamepad_dialog_state.h"
#include "gamepad/joypad_config.h"
#include "resource.h"

namespace testing_support {
namespace {

using BadInput = GamepadDialogTest;

// A generator of its own: the files must not depend on the standard
// library's distributions.
struct Random {
  uint64_t state;
  uint32_t Below(uint32_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33) % n;
  }
  template <size_t N>
  std::wstring Pick(const wchar_t* const (&items)[N]) { return items[Below(N)]; }
};

// One section "JOYPAD" at most, and no "[]": the profile functions write a
// key into the first such section but delete it from any.
const wchar_t* const FirstHeaders[] = {L"[JOYPAD]", L"[joypad]", L"[ JOYPAD ]"};
const wchar_t* const Headers[] = {L"[GRAPHICS]", L"[JOYPAD", L"[Sound ü]"};
const wchar_t* const Values[] = {L"0",  L"5",  L"31", L"32",  L"1",   L"POV", L"pov",  L"-rz", L"X", L"-1", L"00",
                                 L"", L" 7", L"5 junk", L"ゲーム", L"Ж", L"\"3\"", L"0x10", L"=", L"[JOYPAD]"};
const wchar_t* const Names[] = {L"Logitech", L"Logitech Dual Action", L"logitech", L"Dual", L"ゲームパッド"};

// Lines of every sort, in UTF-16 or the ANSI code page, with CR LF or LF;
// now and then plain random bytes.
std::string GeneratedFile(Random& random) {
  std::string bytes;
  if (random.Below(8) == 0) {
    for (uint32_t n = random.Below(1500) & ~1u; n > 0; --n) bytes += static_cast<char>(random.Below(256));
    return bytes;
  }
  std::wstring text = random.Below(5) ? random.Pick(FirstHeaders) + L"\r\n" : L"";
  for (uint32_t lines = random.Below(40); lines > 0; --lines) {
    std::wstring key = random.Below(12) ? ActionKeys[random.Below(20)] : L"ProductType";
    if (random.Below(4) == 0) CharLowerW(key.data());
    switch (random.Below(8)) {
      case 0: text += random.Pick(Headers); break;
      case 1: text += L"ProductName=" + random.Pick(Names); break;
      case 2: text += L"; " + random.Pick(Values); break;
      case 3: text += key + L"=" + std::wstring(300, L'7'); break;
      case 4: text += std::wstring(L"Custom\0=1", 9); break;
      default: text += key + L"=" + random.Pick(Values);
    }
    text += random.Below(2) ? L"\r\n" : L"\n";
  }
  if (random.Below(2)) return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  bytes.resize(text.size() * 2);
  bytes.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

// The file as the profile functions write it, without the section's own
// keys: the same before and after OK, since OK writes nothing else.
std::string WithoutOwnKeys(const std::string& bytes) {
  static const std::wstring copy = MakeTempFolder(L"vk-copy") + L"\\config.ini";
  WriteFileBytes(copy, bytes);
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy.c_str());
  // A key written and taken out again: the file is rewritten and has the section.
  WritePrivateProfileStringW(L"JOYPAD", L"vk-probe", L"1", copy.c_str());
  WritePrivateProfileStringW(L"JOYPAD", L"vk-probe", nullptr, copy.c_str());
  for (const wchar_t* key : {L"ProductName", L"ProductType"}) WritePrivateProfileStringW(L"JOYPAD", key, nullptr, copy.c_str());
  for (const std::wstring& key : ActionKeys) WritePrivateProfileStringW(L"JOYPAD", key.c_str(), nullptr, copy.c_str());
  return ReadFileBytes(copy);
}

// Opening never writes; Cancel leaves the file byte for byte; OK writes only
// its own keys. The first files go through dialogs of their own, the others
// through the steps of opening and OK that touch the file (opening a dialog
// takes a quarter of a second under Wine, loading and saving milliseconds).
TEST_F(BadInput, GeneratedConfigFilesOpenAndOkWritesOnlyItsOwnKeys) {
  Random random{20261207};
  for (int file = 0; file < 200; ++file) {
    SCOPED_TRACE("generated file " + std::to_string(file));
    const std::string before = GeneratedFile(random);
    const bool ok = random.Below(4) > 0;
    ASSERT_TRUE(WriteConfigBytes(before));
    if (file < 12) {
      if (file % 2) input.Plug(L"Logitech Dual Action");
      Open();
      EXPECT_EQ(ReadFileBytes(ConfigPath()), before) << "opening wrote to the file";
      Press(ok ? IDOK : IDCANCEL);
      Close();
      if (ok) {
        EXPECT_TRUE(WithoutOwnKeys(before) == WithoutOwnKeys(ReadFileBytes(ConfigPath())));
      } else {
        EXPECT_EQ(ReadFileBytes(ConfigPath()), before) << "Cancel wrote to the file";
      }
      input.Reset();
      continue;
    }
    if (file == 12 || file == 106) {
      if (file == 106) input.Plug(L"Logitech Dual Action");
      Open();
    }
    GamepadDialog.RecordedProductName[0] = L'\0';  // as opening leaves it for the loader
    GamepadDialog.RecordedProductType = 0;
    LoadJoypadConfig(dialog);
    EXPECT_EQ(ReadFileBytes(ConfigPath()), before) << "opening wrote to the file";
    if (!ok) continue;
    SaveJoypadConfig(dialog);
    EXPECT_TRUE(WithoutOwnKeys(before) == WithoutOwnKeys(ReadFileBytes(ConfigPath()))) << "OK wrote more";
  }
}

}  // namespace
}  // namespace testing_support
