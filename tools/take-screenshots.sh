#!/usr/bin/env bash
# Takes the pictures of the launcher that docs/ keeps and the README shows:
# the main dialog, the gamepad settings, and the boxes that say a setting could
# not be saved, in English and German (docs/pictures/<name>-<en|de>.png), and
# the two dialogs in English at 144 DPI (<name>-en-144dpi.png). The
# launcher runs under Wine in a throwaway prefix on an Xvfb server of its own,
# as in the tests, so that every machine draws the same. Installs what is
# missing (root). Run it after changing a dialog, and commit the pictures.
set -euo pipefail
source "$(dirname "$0")/lib/environment.sh"
trap cleanup_environment EXIT

install_packages
choose_wine
build_preset "$WINE_PRESET"
unset DISPLAY  # a server of its own, whatever display the caller has
prepare_wine_session

build="$REPO_ROOT/build/$WINE_PRESET"
mkdir -p "$WINEPREFIX/drive_c/Games/VARKOLD" "$WINEPREFIX/drive_c/pictures" "$REPO_ROOT/docs/pictures"
cp "$build/Launcher.exe" "$WINEPREFIX/drive_c/Games/VARKOLD/"
for language in en:C.UTF-8 de:de_DE.UTF-8; do
  log "pictures in the display language ${language%%:*}"
  LC_ALL=${language#*:} "$REPO_ROOT/tools/lib/wine-exec.sh" "$build/tools/dialog_screenshots.exe" \
    'C:\Games\VARKOLD\Launcher.exe' 'C:\pictures' "-${language%%:*}" </dev/null
done
log "the two dialogs in English at 144 DPI"
"$REPO_ROOT/tools/lib/wine-exec.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  </dev/null >/dev/null 2>&1
LC_ALL=C.UTF-8 "$REPO_ROOT/tools/lib/wine-exec.sh" "$build/tools/dialog_screenshots.exe" \
  'C:\Games\VARKOLD\Launcher.exe' 'C:\pictures' -en-144dpi </dev/null
rm "$WINEPREFIX"/drive_c/pictures/*-not-saved-en-144dpi.bmp  # the boxes are the same text, only larger
wine_server -w
for picture in "$WINEPREFIX"/drive_c/pictures/*.bmp; do
  # No date or other metadata: the same dialogs give the same files.
  convert "$picture" -alpha off -strip "$REPO_ROOT/docs/pictures/$(basename "${picture%.bmp}").png"
done
log "pictures written to docs/pictures"
