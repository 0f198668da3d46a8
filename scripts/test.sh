#!/usr/bin/env bash
# Builds both builds and runs every test: the native build of the portable core
# (clang, AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzz
# targets), the native benchmarks, and the Windows build under Wine; then the
# demonstration run and the release, built and checked.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_BUILD:-$top/build}
jobs=$(nproc)

"$top/scripts/setup.sh"

echo "== native build (sanitizers)"
cmake -S "$top" -B "$out/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCORVANE_SANITIZE=ON -DCORVANE_FUZZ=ON -DCORVANE_WERROR=ON >/dev/null
cmake --build "$out/native" -j "$jobs"

echo "== native benchmarks (optimised)"
cmake -S "$top" -B "$out/bench" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF \
  -DCORVANE_BENCH=ON -DCORVANE_WERROR=ON >/dev/null
cmake --build "$out/bench" -j "$jobs"

echo "== windows build"
cmake -S "$top" -B "$out/win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_BENCH=ON -DCORVANE_WERROR=ON >/dev/null
cmake --build "$out/win" -j "$jobs"

echo "== native tests"
ctest --test-dir "$out/native" --output-on-failure -j "$jobs"

if [ -x "$top/scripts/fuzz.sh" ]; then
  echo "== fuzzing the snapshot readers"
  "$top/scripts/fuzz.sh" "$out/native"
fi

# Wine starts the 32-bit program through its 32-bit loader, which a kernel
# without IA-32 emulation refuses ("Exec format error"). On such a machine the
# Windows tests run in the 64-bit stand-in build (scripts/test-win64.sh), and
# what needs the 32-bit program itself is not run: the run says so in its
# last lines and still builds the release. CORVANE_REQUIRE_WINE=1 makes that
# a failure.
if ! wine --version >/dev/null 2>&1; then
  echo "== windows tests under Wine, in the 64-bit stand-in build (scripts/test-win64.sh)"
  "$top/scripts/test-win64.sh"
  echo "== the release, built (scripts/package.sh)"
  "$top/scripts/package.sh" "$out/release-unchecked" >/dev/null
  echo "== NOT RUN: the 32-bit program under Wine, the demonstration run, the release and installer checks"
  echo "   this machine cannot start 32-bit programs (wine --version: $(wine --version 2>&1 | tail -n 1))"
  [ "${CORVANE_REQUIRE_WINE:-0}" = 1 ] && exit 1
  exit 0
fi

echo "== windows tests under Wine"
# Start the prefixes' servers and their services with output to files before
# ctest runs, so no test's pipes are inherited by them: the 32-bit prefix of
# most tests, and the 64-bit one where the program meets 64-bit Windows.
( . "$top/scripts/wine-env.sh"; corvane_wine_prepare "$out/win" )
( export CORVANE_WINE64=1; . "$top/scripts/wine-env.sh"; corvane_wine_prepare "$out/win" )
ctest --test-dir "$out/win" --output-on-failure

echo "== the demonstration run (scripts/run.sh without a display)"
# The program's main job end to end, as scripts/run.sh does it on a machine
# without a display: snapshots through the windows around a real installer,
# both comparisons in the window, corvane-diff's reports.
env -u DISPLAY "$top/scripts/run.sh"

echo "== the release, installed and uninstalled under Wine (tests/release/check-release.sh)"
# scripts/package.sh's archive and installer, checked as a Windows user meets
# them: installed silently, started, its version read back, uninstalled, with
# Corvane's own snapshots around it.
"$top/tests/release/check-release.sh"

echo "== what the installer refuses and the uninstaller removes (tests/release/check-installer.sh)"
# The release's setup just checked, in a fresh copy of the same prefix for
# each case: folders refused, PATH entries and Uninstall keys left or removed.
"$top/tests/release/check-installer.sh" "$out/release/corvane-$(head -n 1 "$top/VERSION")-setup.exe"
