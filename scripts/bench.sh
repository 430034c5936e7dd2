#!/usr/bin/env bash
# A measurement, not a test: builds quillora.exe (the 32-bit build where this
# machine runs it, otherwise the 64-bit one, and says which) and the
# minimal tray program (bench/MinimalTray.cpp), runs both side by side under
# the same Wine on a private Xorg dummy display, and prints one table with
# each figure beside the minimal program's and their ratio.
#
#   scripts/bench.sh              the whole table (about three minutes)
#   QUIL_BENCH_IDLE=10 scripts/bench.sh    a shorter idle window (seconds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

launch_runs=${QUIL_BENCH_LAUNCHES:-7}
idle_seconds=${QUIL_BENCH_IDLE:-60}
curve_runs=1000
burst_pairs=1000 # 2,000 hot-key commands, and one more that ends the burst
foreground_events=1000

"$root/scripts/install-deps.sh"
source "$root/scripts/session.sh"
choose_build
[ "$build" = win32 ] || echo "bench: the 64-bit build: $cannot_run_reason" >&2
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" --target quillora QuilHook minimal_tray quilbench >/dev/null

bin=$root/build/$build/bin
benchbin=$root/build/$build/bench
quil_exe=$bin/quillora.exe
mini_exe=$benchbin/minimal_tray.exe
driver=$benchbin/quilbench.exe
quil_class=TVX_QUILWND
mini_class=QUIL_MINIMAL_TRAY

work=$(mktemp -d /tmp/quil-bench.XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  stop_session
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "bench: starting a private display and a fresh Wine prefix" >&2
start_xorg
create_temp_prefix "$build"

# Wine's console output is in the ANSI code page; the figures are ASCII.
bench() { "$QUIL_WINE" "$driver" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# The Linux process of a Windows program started in this prefix.
unix_pid() {
  local name=$1 pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    # grep reads to the end: a grep -q that stops early lets SIGPIPE fail
    # the pipeline under pipefail, and the process would be passed over.
    { tr '\0' '\n' <"/proc/$pid/cmdline" | head -1 | grep -i "$name\$" >/dev/null; } 2>/dev/null || continue
    { tr '\0' '\n' <"/proc/$pid/environ" | grep -x "WINEPREFIX=$WINEPREFIX" >/dev/null; } 2>/dev/null || continue
    echo "$pid"
    return 0
  done
  return 1
}
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

echo "bench: launch to main window, median of $launch_runs" >&2
quil_launch=$(bench launch "\"$("$QUIL_WINE" winepath -w "$quil_exe")\"" "$quil_class" "$launch_runs")
mini_launch=$(bench launch "\"$("$QUIL_WINE" winepath -w "$mini_exe")\"" "$mini_class" "$launch_runs")

echo "bench: both resident, ${idle_seconds} s idle, Quillora with a schedule 3 h ahead" >&2
work_win=$("$QUIL_WINE" winepath -w "$work" | tr -d '\r')
bench schedule "$work_win" 10800 20
(cd "$work" && "$QUIL_WINE" "$quil_exe" </dev/null &>/dev/null) &
pids+=($!)
(cd "$work" && "$QUIL_WINE" "$mini_exe" </dev/null &>/dev/null) &
pids+=($!)
bench wait "$quil_class" 60 >/dev/null && bench wait "$mini_class" 60 >/dev/null
quil_pid=$(unix_pid quillora.exe)
mini_pid=$(unix_pid minimal_tray.exe)
sleep 5 # let both settle after start-up
quil_rss=$(status_kb "$quil_pid" RssAnon)
mini_rss=$(status_kb "$mini_pid" RssAnon)
quil_threads=$(status_kb "$quil_pid" Threads)
mini_threads=$(status_kb "$mini_pid" Threads)
quil_ticks=$(cpu_ticks "$quil_pid")
mini_ticks=$(cpu_ticks "$mini_pid")
sleep "$idle_seconds"
quil_idle=$(($(cpu_ticks "$quil_pid") - quil_ticks))
mini_idle=$(($(cpu_ticks "$mini_pid") - mini_ticks))

echo "bench: curve against SetDeviceGammaRamp, median of $curve_runs" >&2
read -r curve_us apply_us < <(bench curve "$curve_runs")

echo "bench: burst of $((2 * burst_pairs)) hot-key commands" >&2
quil_burst=$(bench burst "$quil_class" "$burst_pairs")
mini_burst=$(bench burst "$mini_class" "$burst_pairs")
quil_peak=$(status_kb "$quil_pid" VmHWM)
mini_peak=$(status_kb "$mini_pid" VmHWM)
quil_after=$(status_kb "$quil_pid" RssAnon)
mini_after=$(status_kb "$mini_pid" RssAnon)

# After the burst Quillora holds a ramp, the display shows it, and nothing
# resets it: each check finds it shown.
echo "bench: $foreground_events foreground changes in a burst" >&2
quil_ticks=$(cpu_ticks "$quil_pid")
mini_ticks=$(cpu_ticks "$mini_pid")
read -r fg_checks fg_applies < <(bench foreground "$quil_class" "$foreground_events")
quil_fg_ticks=$(($(cpu_ticks "$quil_pid") - quil_ticks))
mini_fg_ticks=$(($(cpu_ticks "$mini_pid") - mini_ticks))

# Started again with a change 6 s ahead and a 10 s fade; the window of
# measurement begins after the start-up has settled and ends after the fade.
echo "bench: a 10 s fade" >&2
bench close "$quil_class"
bench schedule "$work_win" 6 10s
(cd "$work" && "$QUIL_WINE" "$quil_exe" </dev/null &>/dev/null) &
pids+=($!)
bench wait "$quil_class" 60 >/dev/null
quil_pid=$(unix_pid quillora.exe)
sleep 2
fade_ticks=$(cpu_ticks "$quil_pid")
fade_applies=$(bench applies "$quil_class")
sleep 16
fade_ticks=$(($(cpu_ticks "$quil_pid") - fade_ticks))
fade_applies=$(($(bench applies "$quil_class") - fade_applies))

# The hot keys' hook has a thread of its own, and Wine gives every thread a
# stack for its own side of about a megabyte, all of it touched. Started
# once more without the hook: the memory of the rest, thread for thread
# against the minimal program.
echo "bench: resident without the hot-key hook (HookEnabled=0)" >&2
bench close "$quil_class"
for _ in $(seq 100); do kill -0 "$quil_pid" 2>/dev/null || break; sleep 0.1; done
"$QUIL_WINE" reg add 'HKCU\Software\Tessivo\Quil' /v HookEnabled /t REG_DWORD /d 0 /f </dev/null &>/dev/null
(cd "$work" && "$QUIL_WINE" "$quil_exe" </dev/null &>/dev/null) &
pids+=($!)
bench wait "$quil_class" 60 >/dev/null
quil_pid=$(unix_pid quillora.exe)
sleep 5
nohook_rss=$(status_kb "$quil_pid" RssAnon)
nohook_threads=$(status_kb "$quil_pid" Threads)

quil_size=$(stat -c %s "$quil_exe")
hook_size=$(stat -c %s "$bin/QuilHook.dll")
mini_size=$(stat -c %s "$mini_exe")

row() { printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }
echo
echo "| what | Quillora | minimal tray | ratio |"
echo "|---|---:|---:|---:|"
row "file size, bytes (exe + QuilHook.dll)" "$((quil_size + hook_size))" "$mini_size"
row "launch to main window, ms (median of $launch_runs)" "$quil_launch" "$mini_launch"
row "resident anonymous memory (RssAnon), KB; threads $quil_threads against $mini_threads" "$quil_rss" "$mini_rss"
row "RssAnon without the hot-key hook (HookEnabled=0), KB; threads $nohook_threads against $mini_threads" "$nohook_rss" "$mini_rss"
row "CPU ticks over ${idle_seconds} s idle (Quillora: a schedule 3 h ahead)" "$quil_idle" "$mini_idle"
row "burst of $((2 * burst_pairs)) hot-key commands, ms" "$quil_burst" "$mini_burst"
row "peak resident memory (VmHWM) after the burst, KB" "$quil_peak" "$mini_peak"
row "RssAnon after the burst, KB" "$quil_after" "$mini_after"
row "$foreground_events foreground changes: CPU ticks" "$quil_fg_ticks" "$mini_fg_ticks"
printf '| %s | %s | - | - |\n' "$foreground_events foreground changes: checks made, ramps applied" "$fg_checks, $fg_applies"
printf '| %s | %s | - | - |\n' "a 10 s fade: ramps applied, CPU ticks over the 16 s around it" "$fade_applies, $fade_ticks"
printf '| %s | %s | %s | %s |\n' "one curve against one SetDeviceGammaRamp, µs (median of $curve_runs)" \
  "$curve_us" "$apply_us" "$(awk -v a="$curve_us" -v b="$apply_us" 'BEGIN { printf "%.2f %%", 100 * a / b }')"
echo
echo "the $build build: quillora.exe $quil_size bytes, QuilHook.dll $hook_size bytes, minimal_tray.exe $mini_size bytes"
echo "$(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $("$QUIL_WINE" --version)"
