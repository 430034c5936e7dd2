# Sourced by run.sh, test.sh, bench.sh and screenshots.sh: says which
# Windows builds this machine runs, starts a private X server with the dummy
# video driver and Japanese Wine prefixes, and stops them on exit.
#
#   runs_build BUILD          0 when this machine runs BUILD's programs
#                             (win32 or win64); else sets cannot_run_reason
#   choose_build              sets build to win32 where it runs, otherwise win64
#   decide_win32_way          sets win32_way (native, emulated or files) and
#                             win32_way_reason, one line saying why
#   in_emulated_i386 CMD...   runs CMD where 32-bit programs run under
#                             qemu-i386-static (a private namespace)
#   start_xorg                sets DISPLAY to a free display in :90-:99
#   create_prefix DIR BUILD   a new prefix in DIR for BUILD's programs, with
#                             a persistent wineserver; sets WINEPREFIX and
#                             QUIL_WINE (the Wine loader of BUILD)
#   create_temp_prefix BUILD  the same in a new temporary folder, removed on stop
#   use_prefix DIR BUILD      an existing prefix
#   stop_session              stops what start_xorg and create_prefix started

session_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
xorg_pid=
started_prefixes=()
temporary_prefixes=()
cannot_run_reason=

# The Wine loader that runs a build's programs. Debian's wine-stable picks
# the 32-bit loader whenever wine32 is installed, so each is named.
wine_loader() {
  case $1 in
  win32) echo /usr/lib/wine/wine ;;
  win64) echo /usr/lib/wine/wine64 ;;
  *) echo "session: no such build: $1" >&2; return 1 ;;
  esac
}

# The one place that decides what this machine runs. 64-bit Wine runs
# everywhere; the 32-bit loader is a 32-bit Linux program, which a kernel
# built without 32-bit support refuses ("Exec format error").
runs_build() {
  local loader out
  loader=$(wine_loader "$1") || return 1
  [ "$1" = win64 ] && return 0
  if out=$("$loader" --version 2>&1); then
    return 0
  fi
  cannot_run_reason="the 32-bit Wine loader does not start here ($loader: ${out##*: }); this kernel runs no 32-bit programs"
  return 1
}

choose_build() {
  if runs_build win32; then build=win32; else build=win64; fi
}

# The binfmt_misc entry that hands every i386 ELF program to
# qemu-i386-static. F opens the interpreter when the entry is made, so it
# serves whatever the programs' mount namespace shows.
i386_binfmt_entry=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'

# Where the kernel runs no 32-bit code, qemu-i386-static runs the 32-bit
# Wine loader instead. Its entry goes into the binfmt_misc of a private user
# and mount namespace (kernel 6.7 and later give each user namespace a table
# of its own), never into the machine's own table. The namespace shares the
# files, /tmp with the X server's socket included, and ends with COMMAND.
in_emulated_i386() {
  unshare --user --map-root-user --mount sh -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc &&
    printf "%s" "$0" >/proc/sys/fs/binfmt_misc/register &&
    exec "$@"' "$i386_binfmt_entry" "$@"
}

# How the 32-bit build's programs run here: natively, emulated in the
# namespace above (each start then costs about a minute), or not at all,
# when only the checks that read the built files are left.
decide_win32_way() {
  local loader out
  loader=$(wine_loader win32)
  if runs_build win32; then
    win32_way=native
    win32_way_reason="the 32-bit Wine loader starts"
  elif [ ! -x /usr/bin/qemu-i386-static ]; then
    win32_way=files
    win32_way_reason="$cannot_run_reason, and qemu-i386-static is not installed"
  elif out=$(in_emulated_i386 "$loader" --version 2>&1); then
    win32_way=emulated
    win32_way_reason="$cannot_run_reason, but it starts under qemu-i386-static in a private namespace ($out)"
  else
    win32_way=files
    win32_way_reason="$cannot_run_reason, nor under qemu-i386-static in a private namespace (${out##*: })"
  fi
}

start_xorg() {
  local n
  for n in 90 91 92 93 94 95 96 97 98 99; do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    local log
    log=$(mktemp /tmp/quil-xorg.XXXXXX.log)
    Xorg ":$n" -config "$session_dir/xorg-dummy.conf" -noreset -nolisten tcp \
      -logfile "$log" </dev/null &>/dev/null &
    xorg_pid=$!
    local i
    for i in $(seq 1 100); do
      if DISPLAY=":$n" xrandr -q &>/dev/null; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$xorg_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xorg_pid" 2>/dev/null
    wait "$xorg_pid" 2>/dev/null
    xorg_pid=
    echo "session: Xorg did not start on :$n (log: $log)" >&2
  done
  echo "session: no X display could be started" >&2
  return 1
}

# Wine must see a Japanese locale when the prefix is created: the ANSI code
# page then is 932, as on a Japanese Windows.
wine_env() {
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

use_prefix() {
  export WINEPREFIX=$1 WINEARCH=$2
  QUIL_WINE=$(wine_loader "$2")
  export QUIL_WINE
  wine_env
  # Wine's helper processes go with the program, before the display does.
  started_prefixes+=("$WINEPREFIX")
}

create_prefix() {
  use_prefix "$1" "$2"
  mkdir -p "$WINEPREFIX"
  # A 64-bit prefix says it cannot find syswow64's rundll32: harmless.
  "$QUIL_WINE" wineboot -i </dev/null &>/dev/null
  local reg=$WINEPREFIX/quil-settings.reg
  # A crash exits at once with a backtrace instead of waiting in a dialog.
  # The virtual desktop: on bare X without a window manager every hide of a
  # visible window blocks for seconds. IPA fonts stand in for MS fonts.
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="shell"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"shell"="1024x768"' '' \
    | iconv -f UTF-8 -t CP932 >"$reg"
  printf '%s\r\n' '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' '"MS UI Gothic"="IPAPGothic"' \
    '"MS Shell Dlg"="IPAPGothic"' '' | iconv -f UTF-8 -t CP932 >>"$reg"
  "$QUIL_WINE" regedit /S "$("$QUIL_WINE" winepath -w "$reg" 2>/dev/null)" </dev/null &>/dev/null
  wineserver-stable -w
  # A persistent wineserver keeps the start of each program fast. Its output
  # must not hold any pipe that someone waits on.
  wineserver-stable -p </dev/null &>/dev/null
}

create_temp_prefix() {
  local dir
  dir=$(mktemp -d /tmp/quil-prefix.XXXXXX)
  temporary_prefixes+=("$dir")
  create_prefix "$dir" "$1"
}

stop_session() {
  local dir
  for dir in "${started_prefixes[@]}"; do
    WINEPREFIX=$dir wineserver-stable -k </dev/null &>/dev/null || true
  done
  started_prefixes=()
  for dir in "${temporary_prefixes[@]}"; do
    rm -rf "$dir"
  done
  temporary_prefixes=()
  if [ -n "$xorg_pid" ]; then
    kill "$xorg_pid" 2>/dev/null || true
    wait "$xorg_pid" 2>/dev/null || true
    xorg_pid=
  fi
}
