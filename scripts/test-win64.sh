#!/usr/bin/env bash
# The Windows tests where the kernel cannot start 32-bit programs (so neither
# Wine's 32-bit loader): the same sources built for 64-bit Windows
# (cmake/mingw-x86_64.cmake) and run under Wine's 64-bit loader in the build
# folder's 64-bit prefix. Not the shipped program, and not a replacement for
# scripts/test.sh on a machine that runs the 32-bit build: what depends on the
# 32-bit program (the address-space marks, the view a 32-bit program gets of
# 64-bit Windows, the demonstration run, the release and its installer) is
# not run. Build output goes to build/win64 (or $CORVANE_BUILD/win64); extra
# arguments go to ctest (-R NAME, for example).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_BUILD:-$top/build}
build=$out/win64

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

# wine, wineserver and wineboot as Wine's 64-bit programs, first in the PATH.
loaders=$build/wine64-loaders
mkdir -p "$loaders"
for tool in wine:wine64 wineserver:wineserver64 wineboot:"wine64 wineboot"; do
  printf '#!/bin/sh\nexec /usr/lib/wine/%s "$@"\n' "${tool#*:}" > "$loaders/${tool%%:*}"
done
chmod +x "$loaders"/*
export PATH="$loaders:$PATH" CORVANE_WINE64=1
( . "$top/scripts/wine-env.sh"; corvane_wine_prepare "$build" )
ctest --test-dir "$build" --output-on-failure -E '^native_view_tests$' "$@"
