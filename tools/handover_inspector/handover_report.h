// What the launcher hands a game build, as the game sees it: its own file
// name, the switches on its command line, its working folder, the "Language"
// registry value and the "JOYPAD" section of config.ini. Only reads.
#pragma once

#include <string>
#include <string_view>

// The arguments of a full command line, split off the program name as Windows
// does (a quoted name runs to the closing quote, an unquoted one to the first
// blank or tab), without the blanks that separate them. Kept raw: quotes and
// inner blanks as they came.
std::wstring_view RawArguments(std::wstring_view commandLine);

// The whole report, lines ended by LF, for this process as it was started.
std::wstring HandoverReport();
