#!/usr/bin/env bash
# Installs what is missing, builds the portable code natively (with ASan and
# UBSan), the fuzz targets (Clang) and the Windows program for 32-bit and
# 64-bit Windows, and runs every test: the native ones directly, each fuzz
# target for a short fixed time (scripts/fuzz.sh runs long campaigns), the
# Windows ones under Wine on a private Xorg dummy display, for each build
# this machine can run (scripts/session.sh decides). The checks that only
# read the built files run for both builds in any case. Where the 32-bit
# program runs only under emulation, a smoke suite of it (the label
# smoke32, scripts/smoke32.sh) runs after the 64-bit suite instead of the
# whole 32-bit one; where it runs natively, after the 32-bit suite as well.
#
#   scripts/test.sh               everything
#   scripts/test.sh -R Gamma      arguments go to every ctest run
#   QUIL_PRESETS=win64 scripts/test.sh   only some of the builds
#   QUIL_JOBS=8 scripts/test.sh   tests run side by side (default: one per CPU)
#   QUIL_REPEAT=10 scripts/test.sh   each test runs up to ten times, until it
#                                    fails (catches tests that fail at random)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"
source "$root/scripts/session.sh"

presets=${QUIL_PRESETS:-native fuzz win32 win64}
jobs=$(nproc)
test_jobs=${QUIL_JOBS:-$jobs}
repeat=()
if [ -n "${QUIL_REPEAT:-}" ]; then
  repeat=(--repeat "until-fail:$QUIL_REPEAT")
fi
is_windows() { [ "$1" = win32 ] || [ "$1" = win64 ]; }
in_presets() { [[ " $presets " == *" $1 "* ]]; }

# The smoke suite needs both builds: its test programs are 64-bit, the
# program it starts is the win32 build's.
smoke32=OFF
if in_presets win32; then
  decide_win32_way
  case $win32_way in
  native) runs="the Windows suite runs" ;;
  emulated) runs="its programs are built, the checks that read the built files run, and the smoke suite after the 64-bit suite" ;;
  files) runs="its programs are built, and only the checks that read the built files run" ;;
  esac
  echo "== win32: $win32_way: $win32_way_reason: $runs."
  if [ "$win32_way" != files ] && in_presets win64; then
    smoke32=ON
  fi
fi

for preset in $presets; do
  options=()
  if is_windows "$preset"; then
    if runs_build "$preset"; then
      options=(-DQUIL_WINE_TESTS=ON)
    else
      # For win32 the line above has said it.
      options=(-DQUIL_WINE_TESTS=OFF)
    fi
  fi
  if [ "$preset" = win64 ]; then
    options+=(-DQUIL_SMOKE32=$smoke32)
  fi
  cmake --preset "$preset" "${options[@]}" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  # The release zip, which the package tests check. CPack's zip writer needs
  # a UTF-8 locale for the Japanese file names; a bare CI shell may have none.
  if is_windows "$preset"; then
    LC_ALL=C.UTF-8 cmake --build --preset "$preset" --target package
  fi
done

trap stop_session EXIT
trap 'exit 130' INT TERM

status=0
ran=()
for preset in $presets; do
  if is_windows "$preset" && runs_build "$preset"; then
    [ -n "$xorg_pid" ] || start_xorg
    create_temp_prefix "$preset"
    echo "== $preset tests, under $QUIL_WINE"
    ran+=("$preset (Windows suite)")
  else
    echo "== $preset tests"
    if is_windows "$preset"; then
      ran+=("$preset (file checks only)")
    else
      ran+=("$preset")
    fi
  fi
  # The smoke suite runs apart, in a prefix of its own.
  ctest --preset "$preset" -j "$test_jobs" "${repeat[@]}" -LE smoke32 "$@" || status=1
done

# Only where a test of the smoke suite is selected: the prefix alone takes
# two minutes under emulation. grep reads the whole list: with -q it would
# stop at the first match, ctest would die of SIGPIPE, and pipefail would
# skip the suite without a word.
if [ "$smoke32" = ON ] && ctest --preset win64 -N -L smoke32 "$@" | grep '^  Test *#' >/dev/null; then
  [ -n "$xorg_pid" ] || start_xorg
  echo "== win32 smoke suite ($win32_way), with the 64-bit test programs of win64"
  smoke_start=$SECONDS
  # Once, without QUIL_REPEAT: emulated, each start costs a minute.
  if [ "$win32_way" = emulated ]; then
    # smoke32.sh gives a failure there one more run (see there).
    QUIL_WIN32_WAY=emulated
    export QUIL_WIN32_WAY
    in_emulated_i386 "$root/scripts/smoke32.sh" "$@" || status=1
  else
    "$root/scripts/smoke32.sh" "$@" || status=1
  fi
  echo "== win32 smoke suite took $((SECONDS - smoke_start)) s; its tests:" \
    $(ctest --preset win64 -N -L smoke32 "$@" | sed -n 's/^  Test *#[0-9]*: //p')
  ran+=("win32 ($win32_way smoke suite)")
fi
echo "== ran: ${ran[*]}"
exit $status
