#include "launcher/startup.h"

#include <commctrl.h>

#include "launcher/command_line.h"
#include "launcher/game_launch.h"
#include "launcher/media_center.h"
#include "platform/instance_handle.h"
#include "platform/unique_handle.h"
#include "resource.h"
#include "ui/main_dialog.h"

namespace {

// One launcher per user session: its existence marks a running launcher.
constexpr wchar_t SingleInstanceMutexName[] = L"MRV_GHT_LAUNCHER";

// Lets the player pick the build in the main dialog. A dialog that cannot be
// created counts as Close.
GameBuild ChooseGameBuild() {
  const INT_PTR result = DialogBoxParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr,
                                         MainDialogProc, 0);
  switch (result) {
    case IDC_RUN_DIRECTX9: return GameBuild::DirectX9;
    case IDC_RUN_DIRECTX10: return GameBuild::DirectX10;
    default: return GameBuild::None;
  }
}

}  // namespace

int RunLauncher(HINSTANCE instance) {
  InstanceHandle = instance;

  // Held until we return, the game's whole run included. Another launcher
  // ends silently; should the mutex fail otherwise, we go on unguarded.
  const platform::unique_handle guard(CreateMutexW(nullptr, FALSE, SingleInstanceMutexName));
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  InitCommonControls();

  const LaunchRequest request = ParseCommandLine(GetCommandLineW());
  // Media Center started us and gets control back when we are done, whatever
  // the player chose.
  const bool MediaCenterRequested = request.mediaCenter;
  const GameBuild build = request.build != GameBuild::None ? request.build : ChooseGameBuild();

  if (const GameBuildRow* row = FindGameBuild(build, MediaCenterRequested))
    LaunchGame(row->executable, row->switches);
  if (MediaCenterRequested) StartMediaCenter();
  return 0;
}
