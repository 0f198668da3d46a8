#!/usr/bin/env bash
# Generates a tree of FILES files (default 100,000) in folders of 100, maps it
# as drive W: of the Windows build's Wine prefix and prints the files per
# second of a snapshot walk against a bare FindFirstFile walk.
#   scripts/bench-walk.sh [FILES]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_BUILD:-$top/build}
files=${1:-100000}
"$top/scripts/setup.sh"
cmake -S "$top" -B "$out/win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DCORVANE_BENCH=ON >/dev/null
cmake --build "$out/win" --target fs_walk_bench -j "$(nproc)"

tree="$out/bench-tree-$files"
if [ ! -f "$tree/.complete" ]; then
  rm -rf "$tree"
  python3 - "$tree" "$files" <<'PY'
import os, sys
root, total = sys.argv[1], int(sys.argv[2])
per_folder = 100
for i in range(0, total, per_folder):
    d = os.path.join(root, "area%02d" % (i // 10000), "folder%05d" % (i // per_folder))
    os.makedirs(d, exist_ok=True)
    for j in range(min(per_folder, total - i)):
        with open(os.path.join(d, "file%06d.dat" % (i + j)), "wb") as f:
            f.write(b"x" * ((i + j) % 97))
open(os.path.join(root, ".complete"), "w").close()
PY
fi
"$top/scripts/with-drive" W "$tree" "$out/win/bench/snapshot/fs_walk_bench.exe" W 'C:\walk-bench.tvrec' 3
