#pragma once

#include "launcher/command_line.h"

// One row of the game builds: the executable (found in the launcher's folder)
// and the switch string it is started with.
struct GameBuildRow {
  GameBuild build;
  bool mediaCenter;
  const wchar_t* executable;
  const wchar_t* switches;
};

// The row for a build, or nullptr for GameBuild::None.
const GameBuildRow* FindGameBuild(GameBuild build, bool mediaCenter);

// Starts the executable from the launcher's own folder, with that folder as
// working folder, and returns once the game process has ended. A failed start
// is reported in the failure box before it returns.
void LaunchGame(const wchar_t* executable, const wchar_t* switches);
