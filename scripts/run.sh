#!/usr/bin/env bash
# Installs what is missing, builds Quillora and runs it under Wine, with the
# arguments given here (scripts/run.sh /E file.qlr applies a gamma file once).
# It runs on your X display when there is one, otherwise on a private Xorg
# display of its own. The Wine prefix is kept between runs, so presets and
# settings stay (QUIL_WINEPREFIX chooses another).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
here=$(pwd)

"$root/scripts/install-deps.sh"
(cd "$root" && cmake --preset win32 >/dev/null &&
  cmake --build --preset win32 --target quillora QuilHook quilrun)

source "$root/scripts/session.sh"
trap stop_session EXIT
trap 'exit 130' INT TERM

if [ -n "${DISPLAY:-}" ] && xdpyinfo &>/dev/null; then
  echo "run: on your display $DISPLAY"
else
  start_xorg
  echo "run: no X display of yours; Quillora runs on the private display $DISPLAY."
  echo "     See it with: DISPLAY=$DISPLAY import -window root shot.png  (a screenshot),"
  echo "     or attach a VNC viewer through: x11vnc -display $DISPLAY"
fi

prefix=${QUIL_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/quillora/wineprefix}
if [ -f "$prefix/system.reg" ]; then
  export WINEPREFIX=$prefix WINEARCH=win32
  wine_env
  # Wine's helper processes go with the program, before the display does.
  prefix_started=1
else
  echo "run: creating the Wine prefix $prefix"
  create_prefix "$prefix"
fi

bin=$root/build/win32/bin
cd "$here"
# quilrun starts quillora.exe with its path quoted, as Explorer does: the
# program reads its arguments only after a quoted path.
wine-stable "$bin/quilrun.exe" "$(winepath-stable -w "$bin/quillora.exe")" "$@"
