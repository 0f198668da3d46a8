#!/usr/bin/env bash
# The release, checked end to end under Wine as a Windows user meets it:
# scripts/package.sh builds it, its checksums are verified, and the portable
# archive is unpacked outside C:. Its corvane-snap takes snapshots of C: and of
# the registry before the installer runs silently (with /PATH), after it, and
# after the silent uninstall; its corvane-diff compares them. The installed
# programs' versions are read back: corvane.exe's About box (and its licence
# text against LICENCE.txt), corvane-snap --version by its installed path and
# corvane-diff --version through the PATH the installer extended. The
# comparisons must show exactly the installed files and keys, and nothing at
# all after the uninstall. Everything is left in build/release/check.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${CORVANE_BUILD:-$top/build}
build=$out/win
release=$out/release
check=$release/check

"$top/scripts/package.sh" "$release"
version=$(head -n 1 "$top/VERSION")
name=corvane-$version
(cd "$release" && sha256sum --quiet -c "$name-sha256.txt")

# The remote control of the window tests drives the installed program.
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvane_remote

rm -rf "$check"
mkdir -p "$check"
/usr/bin/python3 -m zipfile -e "$release/$name-portable.zip" "$check"
portable=$check/$name

# The build folder's own X server, as in the demonstration run.
unset DISPLAY
. "$top/scripts/wine-env.sh"
own_x=$(corvane_wine_own_x "$build")
corvane_wine_prepare "$build"
corvane_wine_unlink_drive_c
log=$check/wine.log
win() { winepath -w "$1" | tr -d '\r'; }
check_win=$(win "$check")
installed='C:\Program Files\Corvane'
installed_unix=$WINEPREFIX/drive_c/Program\ Files/Corvane
remote() { timeout 120 wine "$build/tests/app/corvane_remote.exe" "$@"; }

fail() {
  echo "release check: $*" >&2
  exit 1
}
program=""
cleanup() {
  local status=$?
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  # A failed check leaves no installation behind in the tests' prefix.
  if [ -f "$installed_unix/uninstall.exe" ]; then
    timeout 120 wine "$installed\\uninstall.exe" /S >>"$log" 2>&1 || true
    wait_uninstalled || true
  fi
  corvane_wine_stop "$build" "$own_x"
  [ $status = 0 ] || echo "release check: failed; its files are in $check" >&2
  exit $status
}
trap cleanup EXIT

# The uninstaller returns once Corvane is gone; uninstall.exe itself and its
# folder go a moment later, deleted by a copy of it under cmd.exe in the temp
# folder, which then deletes that copy: done when the folder is gone and
# neither runs any more (a minute at most).
wait_uninstalled() {
  local _
  for _ in $(seq 1 120); do
    [ -e "$installed_unix" ] || pgrep -f '[c]orvane-cleanup[.]exe' >/dev/null || return 0
    sleep 0.5
  done
  return 1
}
# start_corvane PATH: the program, up to its main window; end_corvane: File >
# Exit, and the program is gone (half a minute at most).
start_corvane() {
  wine "$1" >>"$log" 2>&1 &
  program=$!
  remote wait frame || fail "$1 did not show its window"
}
end_corvane() {
  local _
  remote command 57665
  for _ in $(seq 1 300); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program" 2>/dev/null && fail "corvane.exe did not end"
  program=""
}
# snapshots NAME: C: and the registry, with the release's own corvane-snap.
snapshots() {
  timeout 900 wine "$(win "$portable/corvane-snap.exe")" fs C: "$check_win\\C $1.tvrec" >>"$log" 2>&1 ||
    fail "the snapshot of C: $1 failed"
  timeout 900 wine "$(win "$portable/corvane-snap.exe")" reg "$check_win\\Registry $1.tvrec" >>"$log" 2>&1 ||
    fail "the registry snapshot $1 failed"
}
# compare FROM TO: what changed, without what Windows and Wine rewrite by
# themselves, into FROM-TO.txt; 0 the same, 1 differences.
compare() {
  local kind status=0
  : >"$check/$1-$2.txt"
  for kind in C Registry; do
    timeout 300 wine "$(win "$portable/corvane-diff.exe")" --noise \
      --exclude-from "$(win "$top/tests/release/wine-noise.txt")" \
      "$check_win\\$kind $1.tvrec" "$check_win\\$kind $2.tvrec" >>"$check/$1-$2.txt" 2>>"$log" || status=$?
    [ $status -le 1 ] || fail "corvane-diff failed (exit $status) on $kind $1 and $2"
  done
  sed -i 's/\r$//' "$check/$1-$2.txt"
  [ -s "$check/$1-$2.txt" ]
}

# The system PATH as it stands: the installation appends ";FOLDER" to it.
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
path_before=$(wine reg query "$environment" /v PATH | tr -d '\r' | sed -n 's/^ *PATH *REG_EXPAND_SZ *//p')

# The portable program runs from where it was unpacked. It is the first
# program with windows of this Wine session, which writes the display's keys
# before the first snapshots, not between them.
start_corvane "$(win "$portable/corvane.exe")"
end_corvane
snapshots before
timeout 300 wine "$release/$name-setup.exe" /S /PATH >>"$log" 2>&1 || fail "the silent install failed"
snapshots installed

# What the installation must hold: the portable files, byte for byte, and its
# uninstaller.
for file in "$portable"/*; do
  cmp -s "$file" "$installed_unix/$(basename "$file")" || fail "$(basename "$file") is not installed as released"
done

# The installed programs tell their version.
[ "$(wine "$installed\\corvane-snap.exe" --version | tr -d '\r')" = "corvane-snap $version" ] ||
  fail "the installed corvane-snap does not say $version"
[ "$(wine cmd /c corvane-diff --version | tr -d '\r')" = "corvane-diff $version" ] ||
  fail "corvane-diff is not found through the PATH, or does not say $version"
[ "$(wine cmd /c corvane-capture --version | tr -d '\r')" = "corvane-capture $version" ] ||
  fail "corvane-capture is not found through the PATH, or does not say $version"
start_corvane "$installed\\corvane.exe"
remote command 57664
remote wait "About Corvane" 1020
about=$(remote text "About Corvane" -1 | tr -d '\r' | head -n 1)
[ "$about" = "Version $version" ] || fail "the About box says \"$about\", not \"Version $version\""
# Line by line: the remote control ends the text with a line end, as the file.
remote text "About Corvane" 1020 | tr -d '\r' >"$check/about-licence.txt"
tr -d '\r' <"$portable/LICENCE.txt" | cmp -s - "$check/about-licence.txt" ||
  fail "the About box's licence is not LICENCE.txt"
remote press "About Corvane" 1020 1
end_corvane

timeout 300 wine "$installed\\uninstall.exe" /S >>"$log" 2>&1 || fail "the silent uninstall failed"
wait_uninstalled || fail "the uninstaller did not end within a minute"
snapshots uninstalled

compare before installed || fail "the installation changed nothing"
expected=$check/expected-installed.txt
# The PATH's line tells sizes in bytes with the closing zero: ";FOLDER" added
# where the zero stood.
size=$((${#path_before} + 1))
sed -e "s/@PATH@/size $size bytes -> $((size + 1 + ${#installed})) bytes; data differ from byte $((size - 1))/" \
  "$top/tests/release/installed.txt" >"$expected"
# The shortcut's size and time are its own.
sed -i -E 's/^(only in 2: .*\.lnk) \(.*\)$/\1/' "$check/before-installed.txt"
diff -u "$expected" "$check/before-installed.txt" || fail "the installation changed other things than these"
if compare before uninstalled; then
  cat "$check/before-uninstalled.txt" >&2
  fail "the uninstall left the above behind"
fi
echo "Release $version checked: installed, started (About: Version $version), uninstalled without a trace."
