# Sourced by run.sh and test.sh: starts a private X server with the dummy
# video driver and a 32-bit Japanese Wine prefix, and stops both on exit.
#
#   start_xorg            sets DISPLAY to a free display in :90-:99
#   create_prefix DIR     a new prefix in DIR, with a persistent wineserver
#   create_temp_prefix    the same in a new temporary folder, removed on stop
#   stop_session          stops what start_xorg and create_prefix started

session_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
xorg_pid=
prefix_started=
prefix_temporary=

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

create_prefix() {
  export WINEPREFIX=$1 WINEARCH=win32
  wine_env
  mkdir -p "$WINEPREFIX"
  wineboot-stable -i </dev/null &>/dev/null
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
  wine-stable regedit /S "$(winepath-stable -w "$reg" 2>/dev/null)" </dev/null &>/dev/null
  wineserver-stable -w
  # A persistent wineserver keeps the start of each program fast. Its output
  # must not hold any pipe that someone waits on.
  wineserver-stable -p </dev/null &>/dev/null
  prefix_started=1
}

create_temp_prefix() {
  prefix_temporary=$(mktemp -d /tmp/quil-prefix.XXXXXX)
  create_prefix "$prefix_temporary"
}

stop_session() {
  if [ -n "$prefix_started" ]; then
    wineserver-stable -k </dev/null &>/dev/null || true
    prefix_started=
  fi
  if [ -n "$prefix_temporary" ]; then
    rm -rf "$prefix_temporary"
    prefix_temporary=
  fi
  if [ -n "$xorg_pid" ]; then
    kill "$xorg_pid" 2>/dev/null || true
    wait "$xorg_pid" 2>/dev/null || true
    xorg_pid=
  fi
}
