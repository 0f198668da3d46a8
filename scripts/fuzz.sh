#!/usr/bin/env bash
# Fuzzes the snapshot readers for about a minute in all: every fuzz target of
# the native build folder given ($1, configured with CORVANE_FUZZ) gets an
# equal share of the time, starting from the valid files its seed program
# writes and from the corpus kept in the build folder by earlier runs.
# Exits non-zero when a target crashes or breaks one of its checks.
set -euo pipefail
build=${1:?usage: fuzz.sh NATIVE_BUILD_FOLDER}
total_seconds=${CORVANE_FUZZ_SECONDS:-50}

cmake --build "$build" --target help | grep -o '[a-z_]*_\(fuzz\|seeds\)$' | sort -u |
  xargs -r cmake --build "$build" -j 2 --target >/dev/null

targets=("$build"/fuzz/*_fuzz)
[ -x "${targets[0]}" ] || { echo "fuzz.sh: no fuzz targets in $build/fuzz" >&2; exit 1; }
share=$(( total_seconds / ${#targets[@]} ))
[ "$share" -ge 1 ] || share=1

for target in "${targets[@]}"; do
  name=$(basename "$target" _fuzz)
  work="$build/fuzz/$name"
  rm -rf "$work/seeds"
  mkdir -p "$work/seeds" "$work/corpus" "$work/crashes"
  "$build/fuzz/${name}_seeds" "$work/seeds"
  echo "fuzzing $name for $share s"
  "$target" -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$work/crashes/" \
    "$work/corpus" "$work/seeds" >"$work/log.txt" 2>&1 || {
    echo "fuzz.sh: $name failed; see $work/log.txt and $work/crashes/" >&2
    tail -n 40 "$work/log.txt" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$work/log.txt" | sed "s/^/  $name /"
done
