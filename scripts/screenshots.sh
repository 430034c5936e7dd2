#!/usr/bin/env bash
# Pictures of Quillora for the README and the guide: starts the program under
# Wine on a private Xorg display (fresh Japanese prefix, 1024x768 virtual
# desktop), opens the tray menu, the creation dialog, the settings dialog and
# the monitor settings one after the other, and saves each, cropped to its
# window, as
#   docs/screenshot-menu.png, docs/screenshot-create.png,
#   docs/screenshot-settings.png, docs/screenshot-monitors.png
# Run it again whenever the user interface changes, and look at the pictures
# before committing them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
# Wine's own fonts: without its Marlett the caption's close button shows an
# "r". Only the pictures need them; the tests run without.
if ! dpkg-query -W -f='${Status}' fonts-wine 2>/dev/null | grep -q 'install ok installed'; then
  apt-get install -y -qq --no-install-recommends fonts-wine >/dev/null
fi
source "$root/scripts/session.sh"
choose_build
[ "$build" = win32 ] || echo "screenshots: the 64-bit build: $cannot_run_reason"
(cd "$root" && cmake --preset "$build" >/dev/null &&
  cmake --build --preset "$build" --target quillora QuilHook quilrun quilwin package_files)

resident=
finish() {
  if [ -n "$resident" ]; then
    # "クイロラを終了する", then the program is given time to end on its own.
    quilwin post TVX_QUILWND 0x111 40005 0 || true
    wait "$resident" 2>/dev/null || true
  fi
  stop_session
}
trap finish EXIT
trap 'exit 130' INT TERM
start_xorg
create_temp_prefix "$build"
# The caption buttons' glyphs come from Marlett, which this Wine finds only
# in the prefix's own font folder.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

bin=$root/build/$build/bin
docs=$root/docs
quilwin() { "$QUIL_WINE" "$bin/quilwin.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# Crops the root window to the rectangle "left top width height".
shoot() {
  local name=$1 left top width height
  read -r left top width height <<<"$2"
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$docs/$name"
  echo "screenshots: docs/$name (${width}x${height} at $left,$top)"
}

# The sample configuration's folder: the program starts as a user would
# start it from the unpacked zip.
cd "$root/build/$build/package-files"
"$QUIL_WINE" "$bin/quilrun.exe" "$("$QUIL_WINE" winepath -w "$bin/quillora.exe")" </dev/null &>/dev/null &
resident=$!

# Every window opens at the cursor.
quilwin cursor 520 260
# A right click on the tray icon, as the icon reports it.
quilwin post TVX_QUILWND 1025 0 0x204
shoot screenshot-menu.png "$(quilwin rect '#32768')"
quilwin post '#32768' 0x100 0x1B 0

missing=0
# Opens a dialog by its menu command, pictures it and closes it again with
# its cancel command. Both dialogs place themselves at the cursor.
# A further command (quilwin's arguments) may set the dialog up first.
dialog_shot() {
  local command=$1 caption=$2 name=$3 rect
  shift 3
  quilwin cursor 380 200
  quilwin post TVX_QUILWND 0x111 "$command" 0
  if ! rect=$(quilwin rect '#32770' "$caption"); then
    echo "screenshots: the dialog \"$caption\" did not open; no $name" >&2
    missing=1
    return
  fi
  if [ $# -gt 0 ]; then
    quilwin "$@"
    rect=$(quilwin rect '#32770' "$caption")
  fi
  echo "screenshots: \"$caption\" at $rect (left top width height), cursor at 380 200"
  shoot "$name" "$rect"
  quilwin post '#32770' 0x111 2 0
}
# Dark level 12 and gamma 0.8: a preview the display refuses, so that the
# line under the controls says so.
dialog_shot 40008 'ガンマ設定の作成' screenshot-create.png scroll 'ガンマ設定の作成' 1013 12 1006 6554
# With preset 2 selected, so that its editing controls are enabled.
dialog_shot 40010 '常駐ガンマ設定' screenshot-settings.png select '常駐ガンマ設定' 1013 2
# Wine's one monitor, selected, following the common ramp.
dialog_shot 40013 'モニターごとの設定' screenshot-monitors.png
exit $missing
