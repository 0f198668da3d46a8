#!/usr/bin/env bash
# Names in a double-byte code page, end to end, with Wine in code page 932:
# corvane-snap walks a mapped drive holding a folder whose name's second byte
# is the backslash ("表" is 0x95 0x5C) with files inside, before and after a
# change; corvane-diff compares the two snapshots. Its tree and an exclusion
# of that folder must hold the names whole, and so must a registry patch of
# values so named: the editor reads characters before escapes, so their
# second byte is never escaped.
#   dbcs-names.sh BUILD FOLDER
set -euo pipefail
build=$1 folder=$2
top=$(cd "$(dirname "$0")/../../.." && pwd)
export CORVANE_WINE_LOCALE=ja_JP.UTF-8
rm -rf "$folder"
mkdir -p "$folder/drive/表" "$folder/out"
printf 'plain' > "$folder/drive/plain.txt"
printf 'before' > "$folder/drive/表/ソフト.txt"
out=$(cd "$folder/out" && pwd)
win_out="Z:${out//\//\\}"

snap() {  # snap NAME: the drive into NAME.tvrec, the results text into NAME.txt
  "$top/scripts/with-drive" J "$folder/drive" "$build/tools/corvane-snap.exe" fs J: \
    "$win_out\\$1.tvrec" --force > "$out/$1.txt"
}
diff_run() {  # diff_run NAME PAIR ARGS...: corvane-diff of PAIR-before and PAIR-after
  local name=$1 pair=$2 code=0; shift 2
  ( . "$top/scripts/wine-env.sh"; corvane_wine_prepare "$build"
    wine "$build/tools/corvane-diff.exe" "$@" "$win_out\\$pair-before.tvrec" "$win_out\\$pair-after.tvrec" ) \
    > "$out/$name.txt" || code=$?
  echo "$code" > "$out/$name.code"
}

# A registry before and after two values were added below one key, named in
# code page 932: "Aソ" (0x41 0x83 0x5C) and "表" (0x95 0x5C), the second
# holding the text "ソ".
python3 - "$out" <<'PY'
import struct, sys
def name(b): return struct.pack("<H", len(b)) + b
def key(n, values=(), subkeys=()):
    record = name(n) + struct.pack("<II", len(subkeys), len(values))
    for value_name, kind, data in values:
        record += name(value_name) + struct.pack("<II", kind, len(data)) + data
    return record + b"".join(subkeys)
for which, values in (("before", []), ("after", [(b"A\x83\x5c", 4, b"\x01\0\0\0"), (b"\x95\x5c", 1, b"\x83\x5c\0")])):
    software = key(b"Software", subkeys=[key(b"Corvane DBCS", values)])
    body = key(b"HKEY_LOCAL_MACHINE", subkeys=[software]) + key(b"HKEY_USERS")
    open(f"{sys.argv[1]}/reg-{which}.tvrec", "wb").write(struct.pack("<HII", 225, 4, 2) + body)
PY

snap fs-before
printf 'after, longer' > "$folder/drive/表/ソフト.txt"
mkdir "$folder/drive/表/新"
printf 'new' > "$folder/drive/表/新/中.txt"
snap fs-after
diff_run tree fs --tree
diff_run excluded fs --tree --exclude 'J:\表'
diff_run patch reg --format reg

python3 - "$out" <<'PY'
import sys
out = sys.argv[1]
def text(name):
    return open(f"{out}/{name}.txt", "rb").read().decode("cp932").replace("\r\n", "\n")
def code(name):
    return int(open(f"{out}/{name}.code").read())
failures = []
def expect(what, actual, wanted):
    if actual != wanted:
        failures.append(f"{what}:\n--- wanted\n{wanted}\n--- got\n{actual}")
heading = "OPERATION SUCCESSFUL.\n\n{} files found\n{} directories found\n0 directories ignored\n\n"
heading += "The following directories could not be accessed and contents were ignored:\n"
expect("results before", text("fs-before").rstrip("\n") + "\n", heading.format(2, 2))
expect("results after", text("fs-after").rstrip("\n") + "\n", heading.format(3, 3))
expect("--tree exit code", code("tree"), 1)
expect("--tree", text("tree"), """L 0 -1 N File System 1
L 1 0 N J:
L 2 0 N 表
L 3 2 I ソフト.txt
R 0 -1 N File System 2
R 1 0 N J:
R 2 0 N 表
R 3 1 N 新
R 4 -1 I 中.txt
R 3 2 I ソフト.txt
""")
expect("excluded exit code", code("excluded"), 0)
expect("--tree --exclude J:\\表", text("excluded"), "L 0 -1 N File System 1\nR 0 -1 N File System 2\n")
patch = text("patch")
expect("patch exit code", code("patch"), 1)
for line in ['[HKEY_LOCAL_MACHINE\\Software\\Corvane DBCS]', '"Aソ"=dword:00000001', '"表"="ソ"']:
    if line not in patch.split("\n"):
        failures.append(f"the patch lacks the line {line}:\n{patch}")
if failures:
    print("\n\n".join(failures))
    sys.exit(1)
print("double-byte names: walked, compared, shown and excluded whole")
PY
