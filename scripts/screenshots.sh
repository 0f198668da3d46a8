#!/usr/bin/env bash
# Takes screenshots of the program's main states under Xvfb: it builds
# corvane.exe and its remote control, maps a drive with a few folders, starts
# the program, drives it through a file-system snapshot, a second one after
# the drive has changed and the comparison of the two, then through two
# registry snapshots around the changes an installer makes and their
# comparison with the value viewers, and the About box, and saves PNGs in
# build/win/screenshots (or $CORVANE_BUILD/win/screenshots). The keys it adds
# to the prefix's registry are removed again at the end, also on failure.
# With --docs it also writes the small copies that README.md and
# docs/user-guide.md show, to docs/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_BUILD:-$top/build}
build=$out/win
docs=0
[ "${1:-}" = --docs ] && docs=1

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvane corvane_remote

# Always the build folder's own X server, never the user's display.
unset DISPLAY
. "$top/scripts/wine-env.sh"
corvane_wine_prepare "$build"

# Drive S: with a few folders, linked before the server starts so that the
# setup dialog lists it.
fixture=$build/fixtures/screenshots
rm -rf "$fixture"
mkdir -p "$fixture/Program Files/Pellix/Corvane" "$fixture/Documents/Letters" "$fixture/Windows/System"
echo "Corvane" > "$fixture/Program Files/Pellix/Corvane/readme.txt"
head -c 20000 /dev/zero > "$fixture/Windows/System/driver.sys"
echo "Dear reader" > "$fixture/Documents/Letters/letter.txt"
link="$WINEPREFIX/dosdevices/s:"
rm -f "$link"
ln -s "$fixture" "$link"
restart() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -f "$build/wineserver.pid"
  corvane_wine_prepare "$build"
}
# The keys of the demo program in the prefix's registry; each one in `added`
# is deleted at the end (the Pellix key itself when it was not there before).
machine='HKLM\Software\Pellix\Corvane Demo'
user='HKCU\Software\Pellix\Corvane Demo'
added=()
reg() { wine reg "$@" >>"$build/screenshots.log" 2>&1; }
unregister() {
  local key
  for key in ${added[@]+"${added[@]}"}; do
    reg delete "$key" /f || true
  done
  added=()
}
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  rm -f "$link"
  unregister
  restart
}
trap cleanup EXIT
restart

shots=$build/screenshots
rm -rf "$shots"
mkdir -p "$shots"
remote() { wine "$build/tests/app/corvane_remote.exe" "$@"; }
# shot NAME WINDOW...: a shot of the whole desktop and one cut to the windows,
# each given as CAPTION:CONTROL ("frame:0" is the main window; the caption may
# hold colons itself).
shot() {
  local name=$1; shift
  sleep 0.7
  import -window root "$shots/$name-desktop.png"
  local x0=99999 y0=99999 x1=0 y1=0 x y w h window
  for window in "$@"; do
    read -r x y w h < <(remote rect "${window%:*}" "${window##*:}" | tr -d '\r')
    [ "$x" -lt "$x0" ] && x0=$x; [ "$y" -lt "$y0" ] && y0=$y
    [ $((x + w)) -gt "$x1" ] && x1=$((x + w)); [ $((y + h)) -gt "$y1" ] && y1=$((y + h))
  done
  [ $x0 -lt 0 ] && x0=0; [ $y0 -lt 0 ] && y0=0
  convert "$shots/$name-desktop.png" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$shots/$name.png"
  echo "  $shots/$name.png"
}

wine "$build/app/corvane.exe" >"$build/screenshots.log" 2>&1 &
program=$!
remote wait frame
shot main frame:0
# File > Snap Shot, opened from the keyboard (Right opens the submenu).
remote menu f
sleep 0.3
remote key 39
shot menu frame:0
remote key 27
remote key 27
remote key 27

rm -f "$WINEPREFIX/drive_c/FileSystem snapshot of S"*.tvrec
remote command 32776
remote setup-fs S 'C:\FileSystem snapshot of S.tvrec'
shot setup "Snap Shot Setup:1007"
remote press "Snap Shot Setup" 1007 1
remote wait Corvane 65535
shot question frame:0 Corvane:65535
remote press Corvane 65535 6
remote wait Results 1002
shot results frame:0 Results:1002 Corvane:1026
remote press Results 1002 2
remote wait-gone Corvane 1026

# The drive changes: a file and a folder with a file added, a folder removed,
# a file grown. Then the second snapshot.
echo "2.1" > "$fixture/Program Files/Pellix/Corvane/update.txt"
mkdir -p "$fixture/Program Files/Pellix/Corvane/Plugins"
head -c 3000 /dev/zero > "$fixture/Program Files/Pellix/Corvane/Plugins/spell.dll"
rm -r "$fixture/Documents/Letters"
head -c 24576 /dev/zero > "$fixture/Windows/System/driver.sys"
remote command 32776
remote setup-fs S 'C:\FileSystem snapshot of S, later.tvrec'
remote press "Snap Shot Setup" 1007 1
remote wait Corvane 65535
remote press Corvane 65535 6
remote wait Results 1002
remote press Results 1002 2
remote wait-gone Corvane 1026

# File > Snap Shot > Compare > File System...: the two files in the Open
# dialogs, then both trees opened a few levels and a file's properties.
remote command 32778
remote wait "Select Snap Shot 1" 1148
shot open frame:0 "Select Snap Shot 1:1148"
remote choose "Select Snap Shot 1" 'C:\FileSystem snapshot of S.tvrec'
remote choose "Select Snap Shot 2" 'C:\FileSystem snapshot of S, later.tvrec'
remote wait-gone Corvane 1026
remote tree-expand LEFT "File System 1" S: Documents Letters
remote tree-expand LEFT "File System 1" S: Windows System
remote tree-expand RIGHT "File System 2" S: "Program Files" Pellix Corvane Plugins
remote tree-expand RIGHT "File System 2" S: Windows System
remote tree-select RIGHT "File System 2" S: "Program Files" Pellix Corvane update.txt
shot compare frame:0
# The copy in docs/: the top of the window, where the entries are.
convert "$shots/compare.png" -crop "$(identify -format %w "$shots/compare.png")x330+0+0" +repage \
  "$shots/compare-top.png"
remote tree-select LEFT "File System 1" S: Windows System driver.sys
remote command 32783
remote wait "File System 1 : driver.sys" 0
shot properties frame:0 "File System 1 : driver.sys:0"
shot properties-window "File System 1 : driver.sys:0"

# The registry before an installation: the demo program's version 1.0 below
# HKEY_LOCAL_MACHINE and its user settings below HKEY_CURRENT_USER (which the
# snapshot records below HKEY_USERS).
for key in "$machine" "$user"; do
  if wine reg query "${key%\\*}" >/dev/null 2>&1; then added+=("$key"); else added+=("${key%\\*}"); fi
done
reg add "$machine" /ve /d "Corvane Demo 1.0" /f
reg add "$machine" /v Version /t REG_DWORD /d 1 /f
reg add "$machine" /v InstallDir /d 'C:\Program Files\Pellix\Corvane' /f
reg add "$machine\Old Plugins" /v Spell /d 'spell10.dll' /f
reg add "$machine\Old Plugins" /v Flags /t REG_BINARY /d 01000000 /f
reg add "$user\Settings" /v Window /t REG_BINARY /d 2c0000000000000001000000640000003200000020030000 /f
reg add "$user\Settings" /v Toolbar /t REG_DWORD /d 1 /f

rm -f "$WINEPREFIX/drive_c/Registry snapshot"*.tvrec
remote command 32776
remote setup-reg 'C:\Registry snapshot.tvrec'
remote press "Snap Shot Setup" 1007 1
remote answer Corvane "Corvane will now create a snap shot of your registry." 6
remote answer Corvane "Note - The following keys will be ignored" 1
remote wait Results 1002
remote press Results 1002 2
remote wait-gone Corvane 1026

# The installation of version 2.1: values of every kind added, two changed,
# a key with its values removed, a key with values added; the user's window
# placement changed and a list of recent files added.
reg add "$machine" /ve /d "Corvane Demo 2.1" /f
reg add "$machine" /v Version /t REG_DWORD /d 2 /f
reg add "$machine" /v Path /t REG_EXPAND_SZ /d '%ProgramFiles%\Pellix\Corvane\bin' /f
reg add "$machine" /v Languages /t REG_MULTI_SZ /d 'English\0Deutsch\0Nederlands' /f
reg delete "$machine\Old Plugins" /f
reg add "$machine\Plugins" /v Spell /d 'spell21.dll' /f
reg add "$machine\Plugins" /v Checksum /t REG_BINARY \
  /d 5d41402abc4b2a76b9719d911017c5920a3c6f1e8b2d47009ce15a3b7f6e2d41c8b09a55e3 /f
reg add "$user\Settings" /v Window /t REG_BINARY /d 2c0000000000000003000000a0000000780000008c040000 /f
reg add "$user\Settings" /v Recent /t REG_MULTI_SZ /d 'C:\letter.txt\0C:\readme.txt' /f
remote command 32776
remote setup-reg 'C:\Registry snapshot, later.tvrec'
remote press "Snap Shot Setup" 1007 1
remote answer Corvane "Corvane will now create a snap shot of your registry." 6
remote answer Corvane "Note - The following keys will be ignored" 1
remote wait Results 1002
remote press Results 1002 2
remote wait-gone Corvane 1026

# File > Snap Shot > Compare > Registry...: both files, then the trees opened
# down to the demo program's keys and a value's viewer from a double-click.
remote command 32777
remote choose "Select Snap Shot 1" 'C:\Registry snapshot.tvrec'
remote choose "Select Snap Shot 2" 'C:\Registry snapshot, later.tvrec'
remote wait-gone Corvane 1026
# The user's key below HKEY_USERS.
sid=$(wine reg query HKU | tr -d '\r' | grep -o 'S-1-5-21-[0-9-]*$' | head -n 1)
remote tree-expand LEFT "Registry 1" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo"
remote tree-expand LEFT "Registry 1" HKEY_USERS "$sid" Software Pellix "Corvane Demo" Settings
remote tree-expand RIGHT "Registry 2" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo"
remote tree-expand RIGHT "Registry 2" HKEY_USERS "$sid" Software Pellix "Corvane Demo" Settings
remote tree-expand LEFT "Registry 1" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo" "Old Plugins"
remote tree-expand RIGHT "Registry 2" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo" Plugins
remote tree-list LEFT >"$shots/reg-compare-left.txt"
remote tree-list RIGHT >"$shots/reg-compare-right.txt"
remote tree-open RIGHT "Registry 2" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo" Plugins Checksum
remote wait "Registry 2 : Checksum" 1005
# The viewer opens in the middle of the screen; moved aside, below the
# entries of its tree.
remote move "Registry 2 : Checksum" 1005 720 440
shot reg-compare frame:0 "Registry 2 : Checksum:1005"
# The copy in docs/: the top of the window, with the entries and the viewer.
convert "$shots/reg-compare.png" -crop "$(identify -format %w "$shots/reg-compare.png")x740+0+0" +repage \
  "$shots/reg-compare-top.png"
shot reg-binary "Registry 2 : Checksum:1005"
remote text "Registry 2 : Checksum" 1005 >"$shots/reg-binary.txt"
# Enter hides a viewer; View Value shows the others, one at a time.
remote press "Registry 2 : Checksum" 1005 1
remote wait-gone "Registry 2 : Checksum" 1005
viewer() {
  local name=$1 caption=$2; shift 2
  remote tree-select "$@"
  remote command 32781
  remote wait "$caption" 1005
  shot "$name" "$caption:1005"
  remote text "$caption" 1005 >"$shots/$name.txt"
  remote press "$caption" 1005 1
  remote wait-gone "$caption" 1005
}
viewer reg-text "Registry 1 : (Default)" LEFT "Registry 1" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo" "(Default)"
viewer reg-number "Registry 2 : Version" RIGHT "Registry 2" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo" Version
viewer reg-list "Registry 2 : Languages" RIGHT "Registry 2" HKEY_LOCAL_MACHINE Software Pellix "Corvane Demo" Languages
unregister

# The toolbar dragged by its gripper as a person drags it: to the frame's
# left edge, then into the middle, where it floats.
drag_toolbar() {
  local x y w h fx fy fw fh
  read -r x y w h < <(remote rect frame 59392 | tr -d '\r')
  read -r fx fy fw fh < <(remote rect frame 0 | tr -d '\r')
  xdotool mousemove $((x + 4)) $((y + 8)) mousedown 1 mousemove $((fx + fw / 2)) $((fy + fh / 2)) \
    mousemove $((fx + $1)) $((fy + $2)) mouseup 1
  remote served
}
drag_toolbar 12 300
shot toolbar-left frame:0
drag_toolbar 700 420
shot toolbar-floating frame:0
# A double-click on the floating caption docks it back on the left; then to the top.
read -r x y w h < <(remote rect frame 0 | tr -d '\r')
xdotool mousemove $((x + 700 + 30)) $((y + 420 - 1)) click --repeat 2 --delay 80 1
drag_toolbar 300 60

remote command 57664
remote wait "About Corvane"
shot about "About Corvane:0"
remote press "About Corvane" 0 1
remote wait-gone "About Corvane"

remote command 57665
wait "$program" || true
program=""

if [ $docs = 1 ]; then
  mkdir -p "$top/docs"
  # SHOT[:COPY]: the copy is named after the shot unless given.
  for name in main menu setup results open compare-top:compare properties-window:properties \
    reg-compare-top:reg-compare reg-text reg-number reg-list toolbar-left toolbar-floating about; do
    size='760x760>'
    # The registry comparison at full size: its 16x16 value pictures stay sharp.
    case ${name##*:} in compare) size='960x960>' ;; reg-compare) size='100%' ;; esac
    convert "$shots/${name%%:*}.png" -resize "$size" -strip -colors 256 "$top/docs/${name##*:}.png"
    echo "  docs/${name##*:}.png"
  done
fi
