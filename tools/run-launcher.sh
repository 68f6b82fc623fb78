#!/usr/bin/env bash
# Builds Launcher.exe and starts it under Wine in a throwaway prefix, from a
# demo install folder with the hand-over inspector standing in for the two game
# builds: started by the launcher, it shows in a window what it was handed.
# Arguments are handed to the launcher ("-dx9", "-dx10", "-mce"). Installs
# whatever is missing (root). Meant for a person: it needs a display.
set -euo pipefail
source "$(dirname "$0")/lib/environment.sh"

if [ -z "${DISPLAY:-}" ]; then
  echo "No display: run this from a desktop session, or start 'Xvfb :1 &' and run 'DISPLAY=:1 $0' to run it headless." >&2
  exit 2
fi
trap cleanup_environment EXIT

install_packages
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "Cannot open the display $DISPLAY: is its X server running, and may this user use it (xhost)?" >&2
  exit 2
fi
choose_wine
build_preset windows
[ "$WINE_PRESET" = windows ] || build_preset "$WINE_PRESET"
make_wine_prefix
keep_user_folders_in_prefix
export LC_ALL=${LC_ALL:-C.UTF-8}

demo="$WINEPREFIX/drive_c/Games/VARKOLD"
mkdir -p "$demo"
build="$REPO_ROOT/build/$WINE_PRESET"
cp "$build/Launcher.exe" "$demo/"
cp "$build/tools/handover_inspector.exe" "$demo/VKDDX9.exe"
cp "$build/tools/handover_inspector.exe" "$demo/VKDDX10.exe"
# The inspector shows its window only when it writes no report file.
unset VARKOLD_HANDOVER_REPORT

log "starting C:\\Games\\VARKOLD\\Launcher.exe $*"
log "a game build started by it shows what it was handed in its own window; close that to end the launcher"
set +e
"$REPO_ROOT/tools/lib/wine-exec.sh" 'C:\Games\VARKOLD\Launcher.exe' "$@"
code=$?
set -e
wine_server -w
log "Launcher.exe exited with code $code"
