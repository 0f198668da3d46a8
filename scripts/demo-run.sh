#!/usr/bin/env bash
# The program's main job, done as a user would, under the build folder's own
# Xvfb (scripts/run.sh runs this when no display is set): Corvane takes a
# snapshot of the prefix's drive C: and one of the registry through its
# windows, a small real installer (scripts/demo-installer, built with makensis)
# installs Pellix Demo silently, Corvane takes both snapshots again and
# compares each pair in its window with the trees expanded. Screenshots of
# every step, the texts of the results windows, the trees' entries, the
# snapshot files and corvane-diff's reports of both pairs are left in
# build/win/demo (or $CORVANE_BUILD/win/demo), and the time of each step in
# its timings.txt. Pellix Demo is uninstalled, then installed once more by
# scripts/demo-installer/before-and-after.cmd, which takes the snapshots with
# corvane-snap and writes corvane-diff's reports into demo/script. Pellix Demo
# is uninstalled again at the end, also on failure, and the prefix's server is
# stopped.
# With --docs it also writes the copies of both expanded comparisons that
# docs/user-guide.md and docs/developers.md show: docs/demo-registry.png and
# docs/demo-fs.png.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_BUILD:-$top/build}
build=$out/win
started=$(date +%s.%N)
docs=0
[ "${1:-}" = --docs ] && docs=1

"$top/scripts/setup.sh"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvane corvane_remote corvane-diff corvane-snap

demo=$build/demo
rm -rf "$demo"
mkdir -p "$demo"
log=$demo/run.log
: >"$log"

# timings.txt: one line per step with its seconds since the step before, and
# below it the parts of the step that part noted.
seconds() {
  awk -v a="$1" -v b="$(date +%s.%N)" -v n="$2" 'BEGIN { printf "%-52s %7.1f s\n", n, b - a }'
}
last=$started
parts=""
lap() {
  seconds "$last" "$1" >>"$demo/timings.txt"
  printf '%s' "$parts" >>"$demo/timings.txt"
  parts=""
  last=$(date +%s.%N)
}
# part START TEXT: a part of the step under way, from START until now.
part() {
  parts+="$(seconds "$1" "  $2")"$'\n'
}
lap "set-up and build"

installer=$build/demo-installer/pellix-demo-setup.exe
mkdir -p "$(dirname "$installer")"
makensis -V2 -DOUTFILE="$installer" "$top/scripts/demo-installer/pellix-demo.nsi" >>"$log"
lap "installer built (makensis)"

# Always the build folder's own X server, never the user's display. An Xvfb
# that this run starts is stopped again at the end.
unset DISPLAY
. "$top/scripts/wine-env.sh"
own_x=$(corvane_wine_own_x "$build")
corvane_wine_prepare "$build"
lap "prefix and its server ready"

# Where Pellix Demo goes and what it writes; the same names as in its script.
program_files=$WINEPREFIX/drive_c/Program\ Files
install_dir="$program_files/Pellix Demo"
install_dir_win='C:\Program Files\Pellix Demo'
demo_key='HKLM\Software\Pellix\Demo'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PellixDemo'
# Whether HKLM\Software\Pellix was there before Pellix Demo (a key that was
# is never deleted); set once an earlier run's Pellix Demo is gone.
pellix_before=1

# Uninstalls Pellix Demo, when it is there, in place (_?= makes the
# uninstaller run from the install folder and return when it is done, instead
# of starting a copy of itself in the temp folder and returning at once), then
# removes what an uninstaller that runs in place cannot: itself and its
# folder; and whatever a failed installation may have left.
uninstall_demo() {
  if [ -f "$install_dir/uninstall.exe" ]; then
    # Wine quotes an argument that holds blanks, and the uninstaller takes
    # _?= only unquoted: the folder goes in as words, which Wine joins with
    # single blanks again.
    local words
    read -r -a words <<<"_?=$install_dir_win"
    timeout 120 wine "$install_dir_win\\uninstall.exe" /S "${words[@]}" >>"$log" 2>&1 || true
  fi
  rm -rf "$install_dir"
  timeout 60 wine reg delete "$demo_key" /f >/dev/null 2>&1 || true
  timeout 60 wine reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
  if [ $pellix_before = 0 ]; then
    timeout 60 wine reg delete 'HKLM\Software\Pellix' /f >/dev/null 2>&1 || true
  fi
}

program=""
uninstalled=0
cleanup() {
  local status=$?
  if [ -n "$program" ] && kill -0 "$program" 2>/dev/null; then
    kill "$program" 2>/dev/null || true
  fi
  [ $uninstalled = 1 ] || uninstall_demo
  corvane_wine_stop "$build" $own_x
  if [ $status != 0 ]; then
    echo "demo-run.sh: failed (exit $status); what was done so far is in $demo, Wine's output in $log" >&2
  fi
  exit $status
}
trap cleanup EXIT

# An earlier run that was killed may have left Pellix Demo installed.
uninstall_demo
pellix_before=0
timeout 60 wine reg query 'HKLM\Software\Pellix' >/dev/null 2>&1 && pellix_before=1
corvane_wine_unlink_drive_c
lap "links below drive_c replaced, no Pellix Demo"

# The snapshot files go to the output folder, outside C: (Wine's Z: is the
# host's root), so that they are not part of what they record.
demo_win=$(winepath -w "$demo" | tr -d '\r')
fs1="$demo_win\\C before.tvrec"
fs2="$demo_win\\C after.tvrec"
reg1="$demo_win\\Registry before.tvrec"
reg2="$demo_win\\Registry after.tvrec"

# How long a walk or a comparison may take at most, in seconds; each step of
# the remote control waits for at most that, and a step that gets stuck (a
# program that no longer answers) is ended after it.
patience=900
remote() { timeout $((patience + 60)) wine "$build/tests/app/corvane_remote.exe" "$@"; }
# shot NAME: the whole virtual desktop, once the program has served every
# message posted to it and its windows had a moment to paint.
shots=0
shot() {
  shots=$((shots + 1))
  remote served
  sleep 0.5
  local file
  file=$(printf '%s/%02d-%s.png' "$demo" "$shots" "$1")
  import -window root "$file"
}
wine "$build/app/corvane.exe" >>"$log" 2>&1 &
program=$!
remote wait frame
shot main
lap "corvane.exe started"

# snapshot fs|reg NAME PATH: File > Snap Shot > Create..., File System on
# drive C: or Registry, the question (and for the registry the note on the
# keys it leaves out), the walk and its results.
snapshot() {
  local kind=$1 name=$2 path=$3 walk
  remote command 32776
  if [ "$kind" = fs ]; then remote setup-fs C "$path"; else remote setup-reg "$path"; fi
  shot "$name-setup"
  remote press "Snap Shot Setup" 1007 1
  remote wait Corvane 65535
  shot "$name-question"
  # The walk of a file system starts with the answer to the question, that
  # of the registry with the answer to the note.
  if [ "$kind" = fs ]; then
    remote answer Corvane "Corvane will now create a snap shot of the selected file system." 6
  else
    remote answer Corvane "Corvane will now create a snap shot of your registry." 6
    remote wait Corvane 65535
    shot "$name-note"
  fi
  walk=$(date +%s.%N)
  if [ "$kind" = reg ]; then remote answer Corvane "Note - The following keys will be ignored" 1; fi
  remote wait Results 1002 $patience
  if [ "$kind" = fs ]; then part "$walk" "the walk of C:, to the results"
  else part "$walk" "the walk of the registry, to the results"; fi
  shot "$name-results"
  remote text Results 1002 | tr -d '\r' >"$demo/$name-results.txt"
  remote press Results 1002 2
  remote wait-gone Corvane 1026
}
# compare NAME COMMAND FILE1 FILE2: both files chosen in the Open dialogs,
# the trees shown, then Expand All; the entries of both trees are listed.
compare() {
  local name=$1 command=$2 first=$3 second=$4
  remote command "$command"
  remote wait "Select Snap Shot 1" 1148
  shot "$name-open-1"
  remote choose "Select Snap Shot 1" "$first"
  remote wait "Select Snap Shot 2" 1148
  shot "$name-open-2"
  local start
  start=$(date +%s.%N)
  remote choose "Select Snap Shot 2" "$second"
  remote wait-gone Corvane 1026 $patience
  remote served
  part "$start" "loading, comparing, showing"
  shot "$name"
  start=$(date +%s.%N)
  remote command 32785
  remote served
  part "$start" "Expand All"
  shot "$name-expanded"
  remote tree-list LEFT | tr -d '\r' >"$demo/$name-left.txt"
  remote tree-list RIGHT | tr -d '\r' >"$demo/$name-right.txt"
  # What a running system changes by itself, hidden and brought back.
  start=$(date +%s.%N)
  remote command 32786
  remote served
  part "$start" "Hide Noise"
  remote command 32785
  remote served
  shot "$name-noise-hidden"
  echo "  $name with Hide Noise: $(remote status 1 | tr -d '\r')" >>"$demo/hidden.txt"
  remote tree-list LEFT | tr -d '\r' >"$demo/$name-noise-hidden-left.txt"
  remote command 32786
  remote served
}

# part_snaps NAME: corvane-snap's snapshots of the one folder and the one key
# an installer writes to, each holding only the path down to it.
part_snaps() {
  timeout $patience wine "$build/tools/corvane-snap.exe" fs 'C:\Program Files' \
    "$demo_win\\Program Files $1.tvrec" --force >"$demo/part-fs-$1.txt" 2>>"$log"
  timeout $patience wine "$build/tools/corvane-snap.exe" reg 'HKLM\Software' \
    "$demo_win\\Software $1.tvrec" --force >"$demo/part-reg-$1.txt" 2>>"$log"
}

snapshot fs fs-before "$fs1"
lap "file-system snapshot of C: (before)"
snapshot reg reg-before "$reg1"
lap "registry snapshot (before)"

part_snaps before
lap "snapshots of C:\\Program Files and HKLM\\Software (before)"
timeout 300 wine "$installer" /S >>"$log" 2>&1
[ -f "$install_dir/uninstall.exe" ] || { echo "demo-run.sh: Pellix Demo was not installed" >&2; exit 1; }
lap "Pellix Demo installed (silently)"
part_snaps after
lap "snapshots of C:\\Program Files and HKLM\\Software (after)"

snapshot fs fs-after "$fs2"
lap "file-system snapshot of C: (after)"
snapshot reg reg-after "$reg2"
lap "registry snapshot (after)"

compare fs-compare 32778 "$fs1" "$fs2"
lap "file-system comparison, expanded"
compare reg-compare 32777 "$reg1" "$reg2"
lap "registry comparison, expanded"

remote command 57665
for _ in $(seq 1 300); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
  echo "demo-run.sh: corvane.exe did not end" >&2
  exit 1
fi
program=""

# corvane-diff: 0 the same, 1 differences, 2 an error.
diff_report() {
  local name=$1 first=$2 second=$3 status=0
  timeout 300 wine "$build/tools/corvane-diff.exe" "$first" "$second" >"$demo/$name.raw" 2>>"$log" || status=$?
  tr -d '\r' <"$demo/$name.raw" >"$demo/$name"
  rm -f "$demo/$name.raw"
  if [ $status != 1 ]; then
    echo "demo-run.sh: corvane-diff found no differences or failed (exit $status) for $name" >&2
    exit 1
  fi
}
diff_report fs-diff.txt "$fs1" "$fs2"
diff_report reg-diff.txt "$reg1" "$reg2"
diff_report part-fs-diff.txt "$demo_win\\Program Files before.tvrec" "$demo_win\\Program Files after.tvrec"
diff_report part-reg-diff.txt "$demo_win\\Software before.tvrec" "$demo_win\\Software after.tvrec"
lap "corvane-diff reports of the four pairs"

# What the reports hold: Pellix Demo's files and keys; the two values in
# which Wine's display driver notes the time each time a program with windows
# starts (the remote control, the installer); anything else is listed.
installer_re='^only in 2: (C:\\Program Files\\Pellix Demo\\|HKEY_LOCAL_MACHINE\\Software\\(Pellix|Microsoft\\Windows\\CurrentVersion\\Uninstall\\PellixDemo)\\)'
wine_re='^changed:   HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\(Class|Video)\\\{[^\\]*\}\\0000\\DriverDateData: '
reports=("$demo/fs-diff.txt" "$demo/reg-diff.txt")
installer_lines=$(cat "${reports[@]}" | grep -cE "$installer_re" || true)
wine_lines=$(cat "${reports[@]}" | grep -cE "$wine_re" || true)
other=$(cat "${reports[@]}" | grep -vE -e "$installer_re" -e "$wine_re" || true)
# The pairs of one folder and one key hold Pellix Demo and nothing else.
part_reports=("$demo/part-fs-diff.txt" "$demo/part-reg-diff.txt")
part_installer_lines=$(cat "${part_reports[@]}" | grep -cE "$installer_re" || true)
part_other=$(cat "${part_reports[@]}" | grep -vE "$installer_re" || true)

uninstall_demo
lap "Pellix Demo uninstalled"

# The same installation from a script, as docs/command-line.md shows it:
# before-and-after.cmd takes the snapshots with corvane-snap around the
# installer and writes corvane-diff's reports (with --noise) into demo/script.
script_out=$demo/script
mkdir -p "$script_out"
script_status=0
WINEPATH="$(winepath -w "$build/tools" | tr -d '\r')" timeout $((4 * patience)) \
  wine cmd /c "$(winepath -w "$top/scripts/demo-installer/before-and-after.cmd" | tr -d '\r')" \
  "$(winepath -w "$script_out" | tr -d '\r')" "$(winepath -w "$installer" | tr -d '\r')" /S \
  >"$script_out/output.txt" 2>>"$log" || script_status=$?
if [ $script_status != 0 ]; then
  echo "demo-run.sh: before-and-after.cmd failed (exit $script_status)" >&2
  exit 1
fi
for report in files.txt registry.txt; do
  tr -d '\r' <"$script_out/$report" >"$script_out/$report.lf"
  mv "$script_out/$report.lf" "$script_out/$report"
done
# The display driver's values, and a display device key it may add when the
# installer is the first program of the session to show a window.
wine_re+='|^only in 2: HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\\{[^\\]*\}\\ '
script_reports=("$script_out/files.txt" "$script_out/registry.txt")
script_installer_lines=$(cat "${script_reports[@]}" | grep -cE "$installer_re" || true)
script_other=$(cat "${script_reports[@]}" | grep -vE -e "$installer_re" -e "$wine_re" || true)
uninstall_demo
uninstalled=1
lap "the same from a script: corvane-snap and corvane-diff"
last=$started
lap total

echo "Screenshots, results, tree listings, snapshots and corvane-diff reports in $demo:"
echo "  $demo/fs-diff.txt ($(wc -l <"$demo/fs-diff.txt") lines for C:)"
echo "  $demo/reg-diff.txt ($(wc -l <"$demo/reg-diff.txt") lines for the registry)"
echo "  $installer_lines lines of Pellix Demo, $wine_lines of Wine's display driver"
if [ -n "$other" ]; then
  echo "demo-run.sh: the reports show more than Pellix Demo and Wine's display driver:" >&2
  echo "$other" >&2
fi
echo "  $demo/part-fs-diff.txt and part-reg-diff.txt (C:\\Program Files and HKLM\\Software alone, $part_installer_lines lines of Pellix Demo):"
cat "${part_reports[@]}" | sed 's/^/    /'
if [ -n "$part_other" ]; then
  echo "demo-run.sh: the reports of one folder and one key show more than Pellix Demo:" >&2
  echo "$part_other" >&2
fi
echo "  $script_out: the before-and-after script's reports, $script_installer_lines lines of Pellix Demo"
if [ -n "$script_other" ]; then
  echo "demo-run.sh: the script's reports show more than Pellix Demo and Wine's display driver:" >&2
  echo "$script_other" >&2
fi
cat "$demo/timings.txt"
cat "$demo/hidden.txt"

if [ $docs = 1 ]; then
  # The top of each window, where the entries are, at full size: the 16x16
  # pictures stay sharp.
  convert "$demo"/*-fs-compare-expanded.png -crop 1280x240+0+0 +repage -strip -colors 256 "$top/docs/demo-fs.png"
  convert "$demo"/*-reg-compare-expanded.png -crop 1280x700+0+0 +repage -strip -colors 256 \
    "$top/docs/demo-registry.png"
  convert "$demo"/*-reg-compare-expanded.png -crop 1280x520+0+0 +repage -strip -colors 256 "$top/docs/noise-shown.png"
  convert "$demo"/*-reg-compare-noise-hidden.png -crop 1280x520+0+0 +repage -strip -colors 256 \
    "$top/docs/noise-hidden.png"
  echo "  docs/demo-fs.png"
  echo "  docs/demo-registry.png"
fi
