#!/usr/bin/env bash
# Builds the benchmarks (bench/README.md), runs them under Wine in a throwaway
# prefix as tools/run-tests.sh does, and prints their figures as markdown for
# docs/performance.md; builds and notes go to standard error. The defaults (21
# runs, 60 s idle windows, 10 s per search loop) take about ten minutes.
#
#   bench/run-benchmarks.sh [--runs N] [--idle-seconds S] [--search-seconds S]
set -euo pipefail
source "$(dirname "$0")/../tools/lib/environment.sh"
trap cleanup_environment EXIT

runs=21 idle_seconds=60 search_seconds=10
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=${2:?} ;;
    --idle-seconds) idle_seconds=${2:?} ;;
    --search-seconds) search_seconds=${2:?} ;;
    *) echo "usage: $0 [--runs N] [--idle-seconds S] [--search-seconds S]" >&2; exit 2 ;;
  esac
  shift 2
done

# A program of the build under Wine, without the carriage returns of its text output.
run() { "$REPO_ROOT/tools/lib/wine-exec.sh" "$@" | tr -d '\r'; }
imports() { i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ { print $3 }' | sort -f | paste -sd, -; }

install_packages
choose_wine
# The shipped 32-bit exe for its size; what runs, from the build that Wine runs here.
[ "$WINE_PRESET" = windows ] || build_preset windows --target Launcher >&2
build_preset "$WINE_PRESET" --target Launcher launcher_bench minimal_dialog gamepad_dialog_floor \
  controller_search_bench >&2
prepare_wine_session
# Wine shows the launcher's English texts under C, and the gamepad floor sets those.
export LC_ALL=C.UTF-8
cd "$REPO_ROOT"

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
[ -n "$XVFB_PID" ] && display=Xvfb || display="display $DISPLAY"
echo "Measured on $(. /etc/os-release && echo "$PRETTY_NAME"), $(nproc) processors ($cpu), $display,"
echo "$("${WINELOADER:-wine}" --version), preset $WINE_PRESET; load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "Shipped 32-bit Launcher.exe: $(stat -c %s build/windows/Launcher.exe) bytes, importing"
echo "$(imports build/windows/Launcher.exe | sed 's/,/, /g')."
echo
echo "### Launcher.exe beside its floors"
echo
run "build/$WINE_PRESET/bench/launcher_bench.exe" "$runs" "$idle_seconds"
echo
echo "### Looking for a controller while none is attached"
echo
run "build/$WINE_PRESET/bench/controller_search_bench.exe" "$search_seconds"
echo
echo "Load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)."
