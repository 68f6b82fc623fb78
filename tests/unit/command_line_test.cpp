#include "launcher/command_line.h"

#include <gtest/gtest.h>

namespace {

struct CommandLineCase {
  const wchar_t* commandLine;
  const wchar_t* arguments;
  GameBuild build;
  bool mediaCenter;
};

constexpr GameBuild None = GameBuild::None, DX9 = GameBuild::DirectX9, DX10 = GameBuild::DirectX10;

constexpr CommandLineCase Cases[] = {
    // command line                                   arguments              build  "-mce"
    {L"",                                             L"",                   None,  false},
    {L"Launcher.exe",                                 L"",                   None,  false},
    {L"\"C:\\Games\\VARKOLD\\Launcher.exe\"",          L"",                   None,  false},
    {L"Launcher.exe -dx9",                            L"-dx9",               DX9,   false},
    {L"Launcher.exe -dx10",                           L"-dx10",              DX10,  false},
    {L"Launcher.exe -mce",                            L"-mce",               None,  true},
    {L"Launcher.exe -dx9 -mce",                       L"-dx9 -mce",          DX9,   true},
    {L"Launcher.exe -mce -dx10",                      L"-mce -dx10",         DX10,  true},
    {L"Launcher.exe -dx10 -dx9",                      L"-dx10 -dx9",         DX9,   false},
    {L"Launcher.exe -dx9x",                           L"-dx9x",              DX9,   false},
    {L"Launcher.exe x-dx10y",                         L"x-dx10y",            DX10,  false},
    {L"Launcher.exe -mcex",                           L"-mcex",              None,  true},
    {L"Launcher.exe /dx9 -DX10 -MCE -Dx9",            L"/dx9 -DX10 -MCE -Dx9", None, false},
    {L"Launcher.exe \t  -dx10",                       L"-dx10",              DX10,  false},
    // The program's own path is not an argument, however it is written.
    {L"\"C:\\VARKOLD-dx9 -mce\\Launcher.exe\"",        L"",                   None,  false},
    {L"\"C:\\VARKOLD-dx9\\Launcher.exe\" -dx10",       L"-dx10",              DX10,  false},
    {L"C:\\VARKOLD-dx10-mce\\Launcher.exe",            L"",                   None,  false},
    {L"C:\\VARKOLD-dx10\\Launcher.exe\t-mce",          L"-mce",               None,  true},
    {L"\"C:\\Spiele\\Launcher.exe\"-dx9",              L"-dx9",               DX9,   false},
    // A quote that never closes leaves nothing to search.
    {L"\"C:\\VARKOLD -dx9\\Launcher.exe",              L"",                   None,  false},
};

TEST(CommandLine, ArgumentsAndSwitches) {
  for (const CommandLineCase& c : Cases) {
    SCOPED_TRACE(testing::Message() << "command line: " << testing::PrintToString(std::wstring(c.commandLine)));
    EXPECT_EQ(CommandLineArguments(c.commandLine), c.arguments);
    const LaunchRequest request = ParseCommandLine(c.commandLine);
    EXPECT_EQ(request.build, c.build);
    EXPECT_EQ(request.mediaCenter, c.mediaCenter);
  }
}

}  // namespace
