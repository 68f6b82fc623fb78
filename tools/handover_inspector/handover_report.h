// What the launcher hands a game build, as the game sees it: its own file
// name, the switches on its command line, its working folder, the "Language"
// registry value and the "JOYPAD" section of config.ini. Only reads.
#pragma once

#include <string>

// The whole report, lines ended by LF, for this process as it was started.
std::wstring HandoverReport();
