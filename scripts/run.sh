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
source "$root/scripts/session.sh"
choose_build
if [ "$build" = win32 ]; then
  echo "run: the 32-bit program (build/win32)"
else
  echo "run: the 64-bit program (build/win64): $cannot_run_reason"
fi
(cd "$root" && cmake --preset "$build" >/dev/null &&
  cmake --build --preset "$build" --target quillora QuilHook quilrun)

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

# A prefix of each architecture: a 32-bit prefix does not run 64-bit programs.
prefix=${QUIL_WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/quillora/wineprefix-$build}
if [ -f "$prefix/system.reg" ]; then
  use_prefix "$prefix" "$build"
else
  echo "run: creating the Wine prefix $prefix"
  create_prefix "$prefix" "$build"
fi

bin=$root/build/$build/bin
cd "$here"
# quilrun starts quillora.exe with its path quoted, as Explorer does: the
# program reads its arguments only after a quoted path.
"$QUIL_WINE" "$bin/quilrun.exe" "$("$QUIL_WINE" winepath -w "$bin/quillora.exe")" "$@"
