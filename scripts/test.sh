#!/usr/bin/env bash
# Installs what is missing, builds the portable code natively (with ASan and
# UBSan), the fuzz targets (Clang) and the Windows program, and runs every
# test: the native ones directly, each fuzz target for a short fixed time
# (scripts/fuzz.sh runs long campaigns), the Windows ones under Wine on a
# private Xorg dummy display.
#
#   scripts/test.sh               everything
#   scripts/test.sh -R Gamma      arguments go to both ctest runs
#   QUIL_PRESETS=win32 scripts/test.sh   only one of the two builds
#   QUIL_JOBS=8 scripts/test.sh   tests run side by side (default: one per CPU)
#   QUIL_REPEAT=10 scripts/test.sh   each test runs up to ten times, until it
#                                    fails (catches tests that fail at random)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"

presets=${QUIL_PRESETS:-native fuzz win32}
jobs=$(nproc)
test_jobs=${QUIL_JOBS:-$jobs}
repeat=()
if [ -n "${QUIL_REPEAT:-}" ]; then
  repeat=(--repeat "until-fail:$QUIL_REPEAT")
fi

for preset in $presets; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
# The release zip, which the package tests check. CPack's zip writer needs a
# UTF-8 locale for the Japanese file names; a bare CI shell may have none.
if [[ " $presets " == *" win32 "* ]]; then
  LC_ALL=C.UTF-8 cmake --build --preset win32 --target package
fi

source "$root/scripts/session.sh"
trap stop_session EXIT
trap 'exit 130' INT TERM

status=0
for preset in $presets; do
  if [ "$preset" = win32 ]; then
    start_xorg
    create_temp_prefix
  fi
  echo "== $preset tests"
  ctest --preset "$preset" -j "$test_jobs" "${repeat[@]}" "$@" || status=1
done
exit $status
