# Shared by the tools: installs what the build and Wine need, and sets up a
# throwaway Wine prefix and, where there is no display, an Xvfb server.
# Sourced, not run. Everything is torn down by cleanup_environment.

REPO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

PACKAGES=(cmake make g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools
          googletest wine wine32:i386 wine64 xvfb xdotool x11-apps imagemagick
          python3 python3-pefile python3-pil fonts-dejavu-core)
# Japanese glyphs for the Japanese dialogs: without any, Wine searches every
# font for them on each repaint and the launcher hardly responds.
PACKAGES+=(fonts-vlgothic)

log() { printf '==> %s\n' "$*" >&2; }

# Installs the missing packages without questions (CI gives no standard input).
install_packages() {
  local missing=()
  local package
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q </dev/null
  apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}

# Builds a CMake preset: "windows" is the shipped 32-bit build. Further
# arguments go to the build (for example --target NAME...).
build_preset() {
  cd "$REPO_ROOT"
  # CMake picks the compiler once per build folder: after a change of the
  # toolchain files, the folder is configured anew.
  local fresh=
  [ -z "$(find cmake -name '*.cmake' -newer "build/$1/CMakeCache.txt" 2>/dev/null)" ] || fresh=--fresh
  cmake --preset "$1" $fresh >/dev/null
  cmake --build --preset "$@"
}

# Picks the Wine this machine can run. The shipped exe is 32-bit and runs
# under 32-bit Wine; a kernel without 32-bit support (ia32_emulation off)
# cannot start 32-bit Wine at all, and there the 64-bit build of the same
# sources runs under 64-bit Wine instead. Sets WINE_PRESET.
choose_wine() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export WINEARCH=win32
    WINE_PRESET=windows
    unset WINELOADER WINESERVER
  else
    log "this kernel cannot run 32-bit programs: tests run the 64-bit build under 64-bit Wine"
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    WINE_PRESET=windows-x64
  fi
}

wine_server() { "${WINESERVER:-wineserver}" "$@"; }

# A fresh prefix for this run only; never the user's own ~/.wine.
make_wine_prefix() {
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/varkold-wine.XXXXXX)
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  log "creating Wine prefix $WINEPREFIX ($WINEARCH)"
  "$REPO_ROOT/tools/lib/wine-exec.sh" wineboot -i </dev/null >/dev/null 2>&1
  wine_server -w
}

XVFB_PID=
# Starts Xvfb on a free display when there is no display to use.
ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local waited
    for waited in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      log "started Xvfb on $DISPLAY"
      return 0
    fi
  done
  log "could not start Xvfb"
  return 1
}

cleanup_environment() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wine_server -k 2>/dev/null || true
    wine_server -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}

# For tests, where no window manager runs: Wine draws title bars and frames
# itself (so they show in screenshots) and does not wait two seconds for a
# window manager each time a window is hidden.
windows_without_window_manager() {
  local value
  for value in Managed Decorated; do
    "$REPO_ROOT/tools/lib/wine-exec.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /d N /f \
      </dev/null >/dev/null 2>&1
  done
  wine_server -w
}

# What the tests, the benchmarks and the screenshots run in: a throwaway
# prefix with user folders of its own, Wine drawing its own window frames, and
# a display (Xvfb where there is none).
prepare_wine_session() {
  make_wine_prefix
  keep_user_folders_in_prefix
  windows_without_window_manager
  ensure_display
}

# Wine links the prefix's Documents, Desktop, ... folders to the Unix home
# (~/Documents, or ~ itself). The game's config.ini goes to Documents, so the
# throwaway prefix gets real folders of its own instead: nothing a test or the
# demo writes there lands in your home, or in another prefix's.
keep_user_folders_in_prefix() {
  local folder
  for folder in "$WINEPREFIX"/drive_c/users/*/*; do
    [ -L "$folder" ] || continue
    rm "$folder" && mkdir "$folder"
  done
}
