#!/usr/bin/env bash
# What the installer refuses and what the uninstaller removes, under Wine. Each
# case runs in a fresh copy of the release check's prefix, the release's setup
# copied to C:\setup.exe and run silently as an administrator's script runs it,
# and asserts what is left: exit codes, files, the system PATH's exact value,
# the Uninstall key, the Start menu's shortcut. A failed case's prefix is kept
# in build/release/installer-check.
#   tests/release/check-installer.sh [SETUP_EXE]   (default: scripts/package.sh's)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
out=${CORVANE_BUILD:-$top/build}
build=$out/win
release=$out/release
version=$(head -n 1 "$top/VERSION")
setup=${1:-}
if [ -z "$setup" ]; then
  "$top/scripts/package.sh" "$release"
  setup=$release/corvane-$version-setup.exe
fi
setup=$(cd "$(dirname "$setup")" && pwd)/$(basename "$setup")

work=$release/installer-check
rm -rf "$work"
# The current folder: where a relative folder would lead.
mkdir -p "$work/cwd"
cd "$work/cwd"
log=$work/wine.log
unset DISPLAY
. "$top/scripts/wine-env.sh"
own_x=$(corvane_wine_own_x "$build")
corvane_wine_prepare "$build"
base=$WINEPREFIX
# Copied whole: its server stopped, which writes the registry out.
wineserver -k 2>/dev/null || true
timeout 60 wineserver -w 2>/dev/null || true
trap 'close_prefix; WINEPREFIX=$base corvane_wine_stop "$build" "$own_x"' EXIT

ENV='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane'
SHORTCUT='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Corvane.lnk'
INSTALLED="corvane.exe corvane-diff.exe corvane-snap.exe corvane-capture.exe README.html LICENCE.txt uninstall.exe"

fail() {
  echo "check-installer: $current: $*; its prefix is kept" >&2
  touch "$work/$current.failed"
  exit 1
}
# A Windows program, ended if it runs longer than five minutes.
w() { timeout 300 wine "$@" </dev/null; }
# The host's path of a path on C:.
unix() {
  local p=${1#C:}
  printf '%s/drive_c%s' "$WINEPREFIX" "${p//\\//}"
}
open_prefix() {
  export WINEPREFIX=$work/$1
  cp -a "$base" "$WINEPREFIX"
  cp "$setup" "$WINEPREFIX/drive_c/setup.exe"
  # The services that the first program starts inherit its standard handles.
  wineserver -p >>"$log" 2>&1 </dev/null
  w cmd /c exit >>"$log" 2>&1
}
close_prefix() {
  [ "${WINEPREFIX:-$base}" != "$base" ] || return 0
  wineserver -k 2>/dev/null || true
  timeout 60 wineserver -w 2>/dev/null || true
}

# setup WANT ARG...: C:\setup.exe with these arguments exits with WANT.
setup() {
  local want=$1 rc=0
  shift
  w 'C:\setup.exe' "$@" >>"$log" 2>&1 || rc=$?
  [ "$rc" = "$want" ] || fail "setup.exe $* exited $rc, not $want"
}
# uninstall FOLDER WANT: FOLDER\uninstall.exe /S exits with WANT; on 0, the
# helper that deletes uninstall.exe has done so and ended (a minute at most).
uninstall() {
  local rc=0 _ pid busy
  w "$1\\uninstall.exe" /S >>"$log" 2>&1 || rc=$?
  [ "$rc" = "$2" ] || fail "$1\\uninstall.exe /S exited $rc, not $2"
  [ "$rc" = 0 ] || return 0
  for _ in $(seq 1 120); do
    busy=0
    for pid in $(pgrep -f '[c]orvane-cleanup[.]exe' || true); do
      { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && busy=1
    done
    [ -e "$(unix "$1")/uninstall.exe" ] || [ $busy = 1 ] || return 0
    sleep 0.5
  done
  fail "the uninstaller's helper did not end within a minute"
}

# value KEY NAME: the value's data; status 1 when it is not there.
value() {
  local got
  got=$(w reg query "$1" /v "$2" 2>/dev/null) || return 1
  printf '%s\n' "$got" | tr -d '\r' | sed -n 's/^    [^ ]*    REG_[A-Z_]*    //p'
}
set_path() {
  w reg add "$ENV" /v PATH /t REG_EXPAND_SZ /d "$1" /f >>"$log" 2>&1 || fail "cannot set the PATH"
}
expect_path() {
  local got
  got=$(value "$ENV" PATH)
  [ "$got" = "$1" ] || fail "the PATH is \"$got\" (${#got} characters), not \"$1\" (${#1})"
}
# expect_entry NAME DATA: a value of the Uninstall key ("-": not there).
expect_entry() {
  local got
  got=$(value "$KEY" "$1") || got=-
  [ "$got" = "$2" ] || fail "the Uninstall key's $1 is \"$got\", not \"$2\""
}
expect_no_key() {
  ! w reg query "$KEY" >/dev/null 2>&1 || fail "the Uninstall key is there"
}
# expect_files FOLDER "NAME...": the folder holds these and nothing else ("-": no folder).
expect_files() {
  local dir got=-
  dir=$(unix "$1")
  [ ! -e "$dir" ] || got=$(ls -A "$dir" | sort | xargs)
  [ "$got" = "$(printf '%s\n' $2 | sort | xargs)" ] || fail "$1 holds \"$got\", not \"$2\""
}
expect_shortcut() {
  [ "$([ -e "$(unix "$SHORTCUT")" ] && echo yes || echo no)" = "$1" ] || fail "the Start menu's shortcut there: not $1"
}
# No program of Corvane's on C: or where a relative folder leads but those the
# prefix had (the earlier tests' own), no key, no shortcut.
programs() { find "$WINEPREFIX/drive_c" "$work/cwd" -iname 'corvane*.exe' | sort; }
expect_nothing_installed() {
  [ "$(programs)" = "$base_programs" ] || fail "installed: $(programs | head -n 3 | xargs)"
  expect_no_key
  expect_shortcut no
}
# A user's own file, known by its text.
own_file() {
  mkdir -p "$(dirname "$(unix "$1")")"
  printf '%s\r\n' "$2" >"$(unix "$1")"
}
expect_own_file() {
  [ "$(tr -d '\r' <"$(unix "$1")")" = "$2" ] || fail "$1 is not the file it was"
}
# A PATH of N characters: the prefix's own, tools' folders, a last one that makes up N.
path_of_length() {
  local p=$base_path i=0
  while [ $(($1 - ${#p})) -gt 60 ]; do
    i=$((i + 1))
    p+=";C:\\Tools\\Tool $i\\bin"
  done
  printf '%s;C:\\%s' "$p" "$(printf "%$(($1 - ${#p} - 4))s" '' | tr ' ' x)"
}

# 1. A PATH entry there before is not the installer's to remove, whatever its
# case or trailing backslash, with /PATH or without.
case_path_not_added() {
  local row entry
  for row in '|C:\Tools' '/PATH|c:\tools\'; do
    entry=${row#*|}
    set_path "$base_path;$entry"
    own_file 'C:\Tools\tool.txt' "a tool"
    setup 0 /S ${row%%|*} '/D=C:\Tools'
    expect_path "$base_path;$entry"
    expect_entry InstallLocation 'C:\Tools'
    expect_entry AddedToPath -
    uninstall 'C:\Tools' 0
    expect_path "$base_path;$entry"
    expect_files 'C:\Tools' tool.txt
    expect_nothing_installed
  done
}

# 2. A folder holding files of the names Setup writes, not written by it, is
# refused with nothing changed.
case_foreign_files() {
  local row name
  for row in 'README.html uninstall.exe' corvane.exe LICENCE.txt; do
    rm -rf "$(unix 'C:\Tools')"
    for name in $row; do own_file "C:\\Tools\\$name" "mine: $name"; done
    setup 2 /S /PATH '/D=C:\Tools'
    for name in $row; do expect_own_file "C:\\Tools\\$name" "mine: $name"; done
    expect_files 'C:\Tools' "$row"
    expect_files 'C:\Program Files\Corvane' -
    expect_path "$base_path"
    expect_no_key
    expect_shortcut no
  done
}

# 3. A folder Setup cannot use is refused with exit code 2, never replaced by
# another. The last one, with its space, reaches Setup quoted.
case_unusable_folders() {
  local folder
  own_file 'C:\notes.txt' "notes"
  for folder in 'C:\' 'Z:\' 'C:\Tools\..' 'C:\windows\Corvane' 'Q:\Corvane' 'C:\notes.txt\Corvane' \
    'C:\Program Files\Corvane'; do
    setup 2 /S "/D=$folder"
    expect_nothing_installed
  done
  expect_path "$base_path"
}

# 4. The uninstaller takes out the one entry Setup appended, whatever the PATH's
# length (NSIS strings hold 1,024 characters), and no other.
case_long_path() {
  local folder='C:\Tools\Corvane' total before
  for total in 1023 1024 5000; do
    before=$(path_of_length $((total - 1 - ${#folder})))
    set_path "$before"
    setup 0 /S /PATH "/D=$folder"
    expect_path "$before;$folder"
    expect_entry AddedToPath "$folder"
    uninstall "$folder" 0
    expect_path "$before"
    expect_files "$folder" -
    expect_no_key
  done
  set_path "$before"
  # The user put the folder in front once more: one of the two goes.
  setup 0 /S /PATH "/D=$folder"
  set_path "C:\\TOOLS\\Corvane\\;$before;$folder"
  uninstall "$folder" 0
  expect_path "C:\\TOOLS\\Corvane\\;$before"
}

# 5. One installation at a time: a second one into another folder is refused.
# An uninstaller removes the key and the shortcut only when they are its own
# installation's (as two installations of an earlier release share them).
case_second_installation() {
  setup 0 /S /PATH '/D=C:\A\Corvane'
  setup 2 /S /PATH '/D=C:\B\Corvane'
  expect_files 'C:\B' -
  expect_entry InstallLocation 'C:\A\Corvane'
  expect_path "$base_path;C:\\A\\Corvane"
  expect_shortcut yes
  uninstall 'C:\A\Corvane' 0
  expect_files 'C:\A\Corvane' -
  expect_path "$base_path"
  expect_nothing_installed
  # C:\A\Corvane: a copy of the installation in C:\B\Corvane, whose are the key,
  # the shortcut and the PATH entry.
  setup 0 /S /PATH '/D=C:\B\Corvane'
  mkdir -p "$(unix 'C:\A')"
  cp -a "$(unix 'C:\B\Corvane')" "$(unix 'C:\A\Corvane')"
  uninstall 'C:\A\Corvane' 0
  expect_files 'C:\A\Corvane' -
  expect_files 'C:\B\Corvane' "$INSTALLED"
  expect_entry InstallLocation 'C:\B\Corvane'
  expect_entry AddedToPath 'C:\B\Corvane'
  expect_path "$base_path;C:\\B\\Corvane"
  expect_shortcut yes
  uninstall 'C:\B\Corvane' 0
  expect_path "$base_path"
  expect_nothing_installed
}

# 6. Installing over Setup's own installation replaces it and keeps the PATH
# entry it added for the uninstaller; so it does over a key an earlier release
# wrote (without InstalledFiles).
case_reinstall() {
  local folder='C:\Tools\Corvane'
  setup 0 /S /PATH "/D=$folder"
  own_file "$folder\\notes.txt" "my notes"
  setup 0 /S "/D=$folder"
  expect_entry AddedToPath "$folder"
  # Without /D=, into the folder of the installation there.
  setup 0 /S
  expect_entry InstallLocation "$folder"
  expect_files 'C:\Program Files\Corvane' -
  w reg delete "$KEY" /v InstalledFiles /f >>"$log" 2>&1 || fail "cannot delete InstalledFiles"
  setup 0 /S /PATH "/D=$folder"
  expect_files "$folder" "$INSTALLED notes.txt"
  expect_path "$base_path;$folder"
  uninstall "$folder" 0
  expect_files "$folder" notes.txt
  expect_own_file "$folder\\notes.txt" "my notes"
  expect_path "$base_path"
  expect_nothing_installed
}

passed=0
failed=0
started=$SECONDS
for current in path_not_added foreign_files unusable_folders long_path second_installation reinstall; do
  open_prefix "$current"
  base_path=$(value "$ENV" PATH)
  base_programs=$(programs)
  if ("case_$current"); then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  close_prefix
  [ -e "$work/$current.failed" ] || rm -rf "$WINEPREFIX"
done
echo "Installer cases: $((SECONDS - started)) s; Wine's output in $log"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
