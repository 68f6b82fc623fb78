#include "launcher/game_launch.h"

#include <windows.h>

#include <string>

#include "launcher/launch_error.h"
#include "platform/module_path.h"
#include "platform/shell_functions.h"
#include "platform/unique_handle.h"

namespace {

// The game builds read these switches, so they are part of the contract with them.
constexpr GameBuildRow GameBuildTable[] = {
    // build                 "-mce"  executable        switch string
    {GameBuild::DirectX9,    false,  L"VKDDX9.exe",    L"-dx9"},
    {GameBuild::DirectX9,    true,   L"VKDDX9.exe",    L"-dx9 -mce"},
    {GameBuild::DirectX10,   false,  L"VKDDX10.exe",   L"-dx10"},
    {GameBuild::DirectX10,   true,   L"VKDDX10.exe",   L"-dx10 -mce"},
};

}  // namespace

const GameBuildRow* FindGameBuild(GameBuild build, bool mediaCenter) {
  for (const GameBuildRow& row : GameBuildTable)
    if (row.build == build && row.mediaCenter == mediaCenter) return &row;
  return nullptr;
}

void LaunchGame(const wchar_t* executable, const wchar_t* switches) {
  const std::wstring launcherFolder = FolderOfPath(ModuleFilePath());
  // The game is named without a folder: the current directory is where the
  // shell finds it, and the game finds its data relative to it.
  SetCurrentDirectoryW(launcherFolder.c_str());

  SHELLEXECUTEINFOW request = {};
  request.cbSize = sizeof(request);
  // The shell shows no box of its own: ours, with its reason, is the only one.
  request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  request.hwnd = nullptr;
  request.lpVerb = nullptr;
  request.lpFile = executable;
  request.lpParameters = switches;
  request.lpDirectory = launcherFolder.c_str();
  request.nShow = SW_SHOWNORMAL;

  const BOOL started = platform::ShellExecuteExW(&request);
  const DWORD lastError = GetLastError();
  const platform::unique_handle game(request.hProcess);
  if (!started || !ShellStartedFile(request.hInstApp)) {
    ShowLaunchError(LaunchErrorCode(lastError, request.hInstApp), executable);
    return;
  }
  if (game) WaitForSingleObject(game.get(), INFINITE);
}
