// Which build the command line asks for.
#include <gtest/gtest.h>

#include <string>

#include "launcher/command_line.h"

namespace {

constexpr GameBuild None = GameBuild::None, DX9 = GameBuild::DirectX9, DX10 = GameBuild::DirectX10;

TEST(CommandLine, SwitchesAreCaseSensitiveSubstringsOfTheArgumentsAndDirectX9Wins) {
  const struct {
    const wchar_t* commandLine;
    GameBuild build;
    bool mediaCenter;
  } cases[] = {
      {L"Launcher.exe", None, false},
      {L"Launcher.exe -dx9 -mce", DX9, true},
      {L"Launcher.exe -mce -dx10", DX10, true},
      {L"Launcher.exe -dx10 -dx9", DX9, false},
      {L"Launcher.exe -dx9window x-mcex", DX9, true},
      {L"Launcher.exe \"a -dx10\"", DX10, false},
      {L"Launcher.exe /dx9 -DX10 -MCE -Dx9", None, false},
      {L"", None, false},
      // The launcher's own path is not searched, however it is written.
      {L"\"C:\\VARKOLD -dx9 -mce\\Launcher.exe\"", None, false},
      {L"C:\\VARKOLD-dx9\\Launcher.exe\t-dx10", DX10, false},
      {L"\"C:\\Spiele\\Launcher.exe\"-dx9", DX9, false},
      {L"\"C:\\VARKOLD -dx9\\Launcher.exe", None, false},  // a quote that never closes
      {L"-dx9\\Launcher.exe -mce", None, true},             // in a folder "-dx9" under the current one
      {L"-dx9/Launcher.exe -dx10", DX10, false},
      // Started with the arguments alone, without the program's path.
      {L"-dx9", DX9, false},
      {L"-mce\t-dx10", DX10, true},
      {L"\"-dx10\"", DX10, false},
  };
  for (const auto& c : cases) {
    const LaunchRequest request = ParseCommandLine(c.commandLine);
    EXPECT_EQ(std::pair(request.build, request.mediaCenter), std::pair(c.build, c.mediaCenter))
        << testing::PrintToString(std::wstring(c.commandLine));
  }
}

}  // namespace
