#!/usr/bin/env bash
# Builds Launcher.exe and starts it under Wine in a throwaway prefix, from a
# demo install folder with stand-in game builds beside it. Arguments are handed
# to the launcher ("-dx9", "-dx10", "-mce"). Installs whatever is missing (root).
set -euo pipefail
source "$(dirname "$0")/lib/environment.sh"
trap cleanup_environment EXIT

install_packages
choose_wine
build_preset windows
[ "$WINE_PRESET" = windows ] || build_preset "$WINE_PRESET"
make_wine_prefix
ensure_display
export LC_ALL=${LC_ALL:-C.UTF-8}

demo="$WINEPREFIX/drive_c/Games/VARKOLD"
mkdir -p "$demo"
build="$REPO_ROOT/build/$WINE_PRESET"
cp "$build/Launcher.exe" "$demo/"
cp "$build/tests/game_stand_in.exe" "$demo/VKDDX9.exe"
cp "$build/tests/game_stand_in.exe" "$demo/VKDDX10.exe"
export VKTEST_FIXTURE_LOG='C:\Games\VARKOLD\started.log'

log "starting C:\\Games\\VARKOLD\\Launcher.exe $*"
set +e
"$REPO_ROOT/tools/lib/wine-exec.sh" 'C:\Games\VARKOLD\Launcher.exe' "$@"
code=$?
set -e
wine_server -w
log "Launcher.exe exited with code $code"
if [ -f "$demo/started.log" ]; then
  log "started by the launcher (file, arguments, working folder):"
  cat "$demo/started.log" >&2
else
  log "no game build was started"
fi
