#!/usr/bin/env bash
# two-monitors.sh ROOT BUILD TEST.exe[:FILTER]...
#
# Runs test programs with a second monitor: DUMMY1 of the dummy X server,
# switched on to the right of DUMMY0, in a prefix of their own without
# Wine's virtual desktop, which is one monitor whatever X shows. Wine reads
# the monitors when its desktop process starts, so the monitor comes first.
# Runs under test.sh's session (DISPLAY); the monitor is switched off again
# at the end, for the tests that expect one. QUIL_SHOW_ALL=1 prints each
# program's whole output, not only its results and failures.
root=$1 build=$2
shift 2
. "$root/scripts/session.sh"
mode=1024x768b
second_off() {
  xrandr --output DUMMY1 --off
  xrandr --delmode DUMMY1 $mode
  xrandr --rmmode $mode
}
trap 'stop_session; second_off 2>/dev/null' EXIT
xrandr --newmode $mode 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync 2>/dev/null
xrandr --addmode DUMMY1 $mode 2>/dev/null
xrandr --output DUMMY1 --mode $mode --right-of DUMMY0 || { echo "FAIL: no second monitor"; exit 1; }
# Asking the server for its outputs makes it probe them again; until then
# Wine may still be given one monitor.
xrandr -q >/dev/null

create_temp_prefix "$build"
"$QUIL_WINE" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f </dev/null >/dev/null 2>&1
# The setting is read when the desktop process starts: the old one must be
# gone before the next program starts a new one.
wineserver-stable -k
wineserver-stable -w
wineserver-stable -p </dev/null >/dev/null 2>&1

status=0
out=$(mktemp "${TMPDIR:-/tmp}/two-monitors.XXXXXX")
for test in "$@"; do
  program=${test%%:*} filter=*
  [ "$program" != "$test" ] && filter=${test#*:}
  echo "== $(basename "$program") --gtest_filter=$filter"
  "$QUIL_WINE" "$program" --gtest_filter="$filter" </dev/null >"$out" 2>&1 || status=1
  # A filter that matches no test must not pass as a road that applied.
  grep -qE '^\[  PASSED  \] [1-9]' "$out" || { echo "FAIL: no test of $(basename "$program") ran"; status=1; }
  grep -E '^\[ +(OK|FAILED|PASSED|SKIPPED) +\]|Failure|Expected|Which is|actual' "$out" | tr -d '\r'
  [ -n "$QUIL_SHOW_ALL" ] && cat "$out"
done
rm -f "$out"
exit $status
