#!/usr/bin/env bash
# Times each output format of the native corvane-diff (Release) on the
# generated pair of 2 x 1,000,000 files in 100,000 folders, beside the default
# report, in one run: the best of three runs each, and the output's size.
#   scripts/bench-formats.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_BUILD:-$top/build}
"$top/scripts/setup.sh"
cmake -S "$top" -B "$out/bench" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF \
  -DCORVANE_BENCH=ON >/dev/null
cmake --build "$out/bench" --target corvane-diff write_generated_pair -j "$(nproc)"

pair=$out/bench-pair
mkdir -p "$pair"
[ -f "$pair/after.tvrec" ] ||
  "$out/bench/bench/compare/write_generated_pair" "$pair/before.tvrec" "$pair/after.tvrec"
diff=$out/bench/tools/corvane-diff
for format in report tree csv json html; do
  best=
  for round in 1 2 3; do
    start=$(date +%s.%N)
    code=0
    "$diff" --format "$format" "$pair/before.tvrec" "$pair/after.tvrec" > "$pair/out.$format" || code=$?
    end=$(date +%s.%N)
    [ "$code" -eq 1 ] || { echo "corvane-diff --format $format: exit code $code" >&2; exit 1; }
    best=$(python3 -c "import sys; a = float(sys.argv[1]) - float(sys.argv[2]); b = sys.argv[3]; print(min(a, float(b)) if b else a)" "$end" "$start" "$best")
  done
  printf '%-7s %.3f s  %12s bytes\n' "$format" "$best" "$(stat -c %s "$pair/out.$format")"
done
