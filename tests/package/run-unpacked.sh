#!/bin/sh
# run-unpacked.sh WINE ZIP BINDIR
#
# The zip unpacked into a folder with a Japanese name and its quillora.exe
# started from there, as a user double-clicks it: it must stay resident,
# load the QuilHook.dll that lies beside it, and end on its menu's exit
# command with exit code 0. Runs under test.sh's Wine session.
wine=$1 zip=$2 bindir=$3
# Wine takes its ANSI code page, 932, from the Japanese locale.
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
dir=$(mktemp -d "${TMPDIR:-/tmp}/package-run.XXXXXX")
trap 'rm -rf "$dir"' EXIT
target="$dir/ガンマ 展開先"
mkdir "$target" && unzip -q "$zip" -d "$target" || { echo "FAIL: cannot unpack $zip"; exit 1; }
folder=$(ls -d "$target"/quillora-*-win*)

# Started from its own folder, as Explorer starts it; nothing may hold
# CTest's output pipes.
cd "$folder" || exit 1
"$wine" "$bindir/quilrun.exe" "$("$wine" winepath -w "$folder/quillora.exe")" \
  </dev/null >/dev/null 2>&1 &
resident=$!

status=0
# The main window comes before the resident start-up loads the library, so
# the modules are asked for again until it shows up (20 s at most).
expected="$("$wine" winepath -w "$folder" 2>/dev/null)\\QuilHook.dll"
tries=0
while :; do
  modules=$("$wine" "$bindir/quilwin.exe" modules TVX_QUILWND </dev/null 2>/dev/null |
    tr -d '\r' | iconv -f CP932 -t UTF-8)
  printf '%s\n' "$modules" | grep -qiF "$expected" && break
  tries=$((tries + 1))
  if [ $tries -ge 80 ]; then
    printf 'FAIL: the program did not load %s; its modules:\n%s\n' "$expected" "$modules"
    status=1
    break
  fi
  sleep 0.25
done
# "クイロラを終了する"
"$wine" "$bindir/quilwin.exe" post TVX_QUILWND 0x111 40005 0 </dev/null >/dev/null 2>&1
wait "$resident"
rc=$?
[ $rc = 0 ] || { echo "FAIL: the program ended with $rc"; status=1; }
[ $status = 0 ] && printf 'unpacked into "%s": resident, QuilHook.dll loaded from beside it, ended with 0\n' "$target"
exit $status
