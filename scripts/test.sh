#!/usr/bin/env bash
# Installs what is missing, builds the portable code natively (with ASan and
# UBSan), the fuzz targets (Clang) and the Windows program for 32-bit and
# 64-bit Windows, and runs every test: the native ones directly, each fuzz
# target for a short fixed time (scripts/fuzz.sh runs long campaigns), the
# Windows ones under Wine on a private Xorg dummy display, for each build
# this machine can run (scripts/session.sh decides). The checks that only
# read the built files run for both builds in any case.
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

for preset in $presets; do
  options=()
  if is_windows "$preset"; then
    if runs_build "$preset"; then
      options=(-DQUIL_WINE_TESTS=ON)
    else
      options=(-DQUIL_WINE_TESTS=OFF)
      echo "== $preset: the Windows suite does not run on this machine: $cannot_run_reason."
      echo "   Its programs are built, and the checks that read the built files run."
    fi
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
  ctest --preset "$preset" -j "$test_jobs" "${repeat[@]}" "$@" || status=1
done
echo "== ran: ${ran[*]}"
exit $status
