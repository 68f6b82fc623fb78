#!/usr/bin/env bash
# Runs the benchmarks of Launcher.exe in one go and prints their tables
# (markdown): the sizes of the shipped 32-bit build; start-up, opening the
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

# The size of one section of a PE file, in bytes (0 when it has none).
section_size() {
  local size
  size=$("$OBJDUMP" -h "$1" | awk -v name="$2" '$2 == name { print $3 }')
  echo $((16#${size:-0}))
}

# Every DWARF section together: debugging information linked in from the
# static runtime libraries.
debug_size() {
  local total=0 size
  for size in $("$OBJDUMP" -h "$1" | awk '$2 ~ /^\.debug_/ { print $3 }'); do
    total=$((total + 16#$size))
  done
  echo $total
}

imports() {
  "$OBJDUMP" -p "$1" | awk '/DLL Name:/ { print $3 }' | sort -f | paste -sd, - | sed 's/,/, /g'
}

print_sizes() {
  local preset=$1 stripped
  stripped=$(mktemp)
  echo "| File | bytes | .rsrc | .debug_* | stripped (strip) | imports |"
  echo "|---|---|---|---|---|---|"
  local file
  for file in "build/$preset/Launcher.exe" "build/$preset/bench/launcher_without_resources.exe" \
              "build/$preset/bench/gamepad_dialog_floor.exe" "build/$preset/bench/minimal_dialog.exe"; do
    "$STRIP" -o "$stripped" "$file"
    echo "| $file | $(stat -c %s "$file") | $(section_size "$file" .rsrc) | $(debug_size "$file") |" \
         "$(stat -c %s "$stripped") | $(imports "$file") |"
  done
  rm -f "$stripped"
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

echo "## Size of the shipped 32-bit build"
echo
OBJDUMP=i686-w64-mingw32-objdump STRIP=i686-w64-mingw32-strip print_sizes windows
echo
echo "The resources of build/windows/Launcher.exe:"
echo
python3 "$REPO_ROOT/bench/resource_sizes.py" build/windows/Launcher.exe
if [ "$WINE_PRESET" != windows ]; then
  echo
  echo "The $WINE_PRESET build that the figures below come from:"
  echo
  OBJDUMP=x86_64-w64-mingw32-objdump STRIP=x86_64-w64-mingw32-strip print_sizes "$WINE_PRESET"
fi
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
