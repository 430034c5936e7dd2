#!/usr/bin/env bash
# Long fuzzing campaigns. Builds the "fuzz" preset (Clang, libFuzzer, ASan,
# UBSan) and runs the targets one after another, each from its committed
# corpus plus what earlier runs found (build/fuzz/tests/fuzz/found/<target>).
#
#   scripts/fuzz.sh                               every target for an hour
#   scripts/fuzz.sh -runs=10000000 config_file_fuzz
#   scripts/fuzz.sh -max_total_time=600 gamma_file_fuzz command_line_fuzz
#
# Options starting with "-" go to libFuzzer. A crash leaves its input as
# crash-* in the current folder and stops the campaign with its status;
# replay it with build/fuzz/tests/fuzz/<target> crash-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

options=()
targets=()
for arg in "$@"; do
  case $arg in
    -*) options+=("$arg") ;;
    *) targets+=("$arg") ;;
  esac
done
((${#options[@]})) || options=(-max_total_time=3600)
((${#targets[@]})) || targets=(gamma_file_fuzz config_file_fuzz command_line_fuzz resident_presets_fuzz curve_fuzz)

"$root/scripts/install-deps.sh"
cmake -S "$root" --preset fuzz >/dev/null
cmake --build "$root/build/fuzz" -j "$(nproc)"

for target in "${targets[@]}"; do
  found="$root/build/fuzz/tests/fuzz/found/$target"
  mkdir -p "$found"
  echo "== $target ${options[*]}"
  "$root/build/fuzz/tests/fuzz/$target" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
    "${options[@]}" "$found" "$root/tests/fuzz/corpus/$target"
done
