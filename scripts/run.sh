#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine on your display, in the
# private prefix of the build folder (build/win, or $CORVANE_BUILD/win).
# Without a display (DISPLAY not set) it does the program's main job instead,
# under the build folder's own Xvfb: snapshots of drive C: and of the
# registry before and after a small installer runs, and their comparisons,
# with screenshots and reports in build/win/demo (scripts/demo-run.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_BUILD:-$top/build}
build=$out/win

if [ -z "${DISPLAY:-}" ]; then
  exec "$top/scripts/demo-run.sh"
fi

"$top/scripts/setup.sh"

cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvane

. "$top/scripts/wine-env.sh"
export WINEPREFIX="$build/wineprefix"
# The prefix's server may be serving the tests' own X server: its virtual
# desktop must move to this display, so that server stops first.
if [ -f "$build/wine-display" ] && [ "$(cat "$build/wine-display")" != "$DISPLAY" ]; then
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -f "$build/wine-display" "$build/wineserver.pid"
fi
corvane_wine_prepare "$build"
status=0
wine "$build/app/corvane.exe" || status=$?
# Leave no server on this display behind for the tests.
wineserver -k 2>/dev/null || true
rm -f "$build/wineserver.pid"
exit $status
