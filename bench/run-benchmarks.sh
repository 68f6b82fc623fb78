#!/usr/bin/env bash
# Runs the benchmarks of Launcher.exe in one go and prints their tables
# (markdown): the size and imports of the shipped 32-bit exe; start-up, opening the
# gamepad dialog, memory and idle CPU time of the build that Wine runs here,
# each beside gamepad_dialog_floor.exe and minimal_dialog.exe; and the cost of
# looking for a controller.
# Same set-up as tools/run-tests.sh: a throwaway Wine prefix, Xvfb when there
# is no display. Arguments go to launcher_bench (bench/README.md).
#
#   bench/run-benchmarks.sh [--runs N] [--idle-seconds S]
set -euo pipefail
source "$(dirname "$0")/../tools/lib/environment.sh"
trap cleanup_environment EXIT

imports() {
  i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ { print $3 }' | sort -f | paste -sd, - | sed 's/,/, /g'
}

# The wineserver of this run's prefix: it works in a folder named after the
# prefix's device and inode.
wineserver_pid() {
  local folder pid
  folder=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for pid in /proc/[0-9]*; do
    case "$(readlink "$pid/cwd" 2>/dev/null)" in
      */"$folder") echo "${pid#/proc/}"; return 0 ;;
    esac
  done
  return 1
}

install_packages
choose_wine
build_preset windows
[ "$WINE_PRESET" = windows ] || build_preset "$WINE_PRESET"
cd "$REPO_ROOT"

echo "Shipped 32-bit Launcher.exe: $(stat -c %s build/windows/Launcher.exe) bytes," \
     "importing $(imports build/windows/Launcher.exe)."
echo

make_wine_prefix
windows_without_window_manager
# The gamepad dialog reads config.ini from Documents: the prefix's own, not
# the Unix home that Wine links it to.
keep_user_folders_in_prefix
ensure_display
export LC_ALL=C.UTF-8
# One server for the whole run, so that its CPU time can be read.
wine_server -p
server=$(wineserver_pid) || { log "cannot find the wineserver of $WINEPREFIX"; exit 1; }

winpath() { echo "Z:$REPO_ROOT/$1" | tr / '\\'; }
bench=build/$WINE_PRESET/bench

# A controller for the gamepad dialog: a copy of Launcher.exe with the
# scripted DirectInput beside it as dinput8.dll, holding one pad at rest
# (tests/support/dinput8_stand_in.cpp).
# Wine reads DLL overrides only when it starts, so the override holds for
# the whole run; the other programs find no dinput8.dll beside them and load
# Wine's own.
controller="$WINEPREFIX/drive_c/controller"
mkdir -p "$controller"
cp "build/$WINE_PRESET/Launcher.exe" "build/$WINE_PRESET/tests/stand-ins/dinput8.dll" "$controller/"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dinput8=n,b"
echo "## Start-up, gamepad dialog, memory and idle CPU time ($WINE_PRESET build, $("${WINELOADER:-wine}" --version))"
echo
# Other work on the machine shows in the times: its load, before and after.
echo "Load average before: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) processors)."
echo
"$REPO_ROOT/tools/lib/wine-exec.sh" "$bench/launcher_bench.exe" \
  --launcher "$(winpath "build/$WINE_PRESET/Launcher.exe")" \
  --gamepad-floor "$(winpath "$bench/gamepad_dialog_floor.exe")" \
  --minimal "$(winpath "$bench/minimal_dialog.exe")" \
  --controller-launcher 'C:\controller\Launcher.exe' \
  --controller-env 'VKTEST_DINPUT_PAD=Logitech Dual Action' \
  --wineserver-pid "$server" "$@"
echo
echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)."
echo "(The scripted pad is type 6: its row shows it was read and taken up.)"
echo
echo "## Looking for a controller while none is attached (controller_search_bench)"
echo
"$REPO_ROOT/tools/lib/wine-exec.sh" "$bench/controller_search_bench.exe" 10
