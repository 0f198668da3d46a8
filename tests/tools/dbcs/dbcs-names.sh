#!/usr/bin/env bash
# Names in a double-byte code page, with Wine in code page 932: corvane-snap
# walks a mapped drive holding a folder whose name's second byte is the
# backslash ("表" is 0x95 0x5C) before and after a change; corvane-diff's
# tree, an exclusion of that folder, and a registry patch of values so named
# (the editor reads characters before escapes) must keep every name whole.
#   dbcs-names.sh BUILD FOLDER
set -euo pipefail
build=$1 folder=$2 top=$(cd "$(dirname "$0")/../../.." && pwd)
export CORVANE_WINE_LOCALE=ja_JP.UTF-8
rm -rf "$folder" && mkdir -p "$folder/drive/表" "$folder/out"
out=$(cd "$folder/out" && pwd) && win="Z:${out//\//\\}"
snap() {
  "$top/scripts/with-drive" J "$folder/drive" "$build/tools/corvane-snap.exe" fs J: "$win\\fs-$1.tvrec" > "$out/fs-$1.txt"
}
printf 'before' > "$folder/drive/表/ソフト.txt"
snap before
printf 'after, longer' > "$folder/drive/表/ソフト.txt" && mkdir "$folder/drive/表/新" && printf 'new' > "$folder/drive/表/新/中.txt"
snap after

# A registry before and after two values came below one key: "Aソ" (0x41 0x83
# 0x5C) and "表" holding the text "ソ"; snapshots of that key alone, as their
# appendix says.
python3 - "$out" <<'PY'
import struct, sys
def key(name, values=(), subkeys=()):
    record = struct.pack("<H", len(name)) + name + struct.pack("<II", len(subkeys), len(values))
    for value, kind, data in values:
        record += struct.pack("<H", len(value)) + value + struct.pack("<II", kind, len(data)) + data
    return record + b"".join(subkeys)
def section(tag, data):
    return tag + struct.pack("<I", len(data)) + data
place = [b"HKEY_LOCAL_MACHINE", b"Software", b"Corvane DBCS"]
appendix = (b"\x89CORVANE.APX\r\n\x1a\n" + struct.pack("<H", 1) + section(b"CP  ", struct.pack("<I", 932)) +
            section(b"PLCS", struct.pack("<IH", 1, len(place)) + b"".join(struct.pack("<H", len(n)) + n for n in place)) +
            section(b"END ", b""))
for which, values in (("before", []), ("after", [(b"A\x83\x5c", 4, b"\1\0\0\0"), (b"\x95\x5c", 1, b"\x83\x5c\0")])):
    machine = key(b"HKEY_LOCAL_MACHINE", subkeys=[key(b"Software", subkeys=[key(b"Corvane DBCS", values)])])
    open(f"{sys.argv[1]}/reg-{which}.tvrec", "wb").write(struct.pack("<HII", 225, 4, 2) + machine + key(b"HKEY_USERS") +
                                                         appendix)
PY

. "$top/scripts/wine-env.sh" && corvane_wine_prepare "$build"
diff_run() {  # diff_run NAME PAIR ARGS...: corvane-diff's output into NAME.txt
  local name=$1 pair=$2; shift 2
  wine "$build/tools/corvane-diff.exe" "$@" "$win\\$pair-before.tvrec" "$win\\$pair-after.tvrec" > "$out/$name.txt" || true
}
diff_run tree fs --tree
diff_run excluded fs --tree --exclude 'J:\表'
diff_run patch reg --format reg

python3 - "$out" <<'PY'
import sys
def text(name):
    return open(f"{sys.argv[1]}/{name}.txt", "rb").read().decode("cp932").replace("\r\n", "\n")
wanted = {
    "tree": "L 0 -1 N File System 1\nL 1 0 N J:\nL 2 0 N 表\nL 3 2 I ソフト.txt\n"
            "R 0 -1 N File System 2\nR 1 0 N J:\nR 2 0 N 表\nR 3 1 N 新\nR 4 -1 I 中.txt\nR 3 2 I ソフト.txt\n",
    "excluded": "L 0 -1 N File System 1\nR 0 -1 N File System 2\n",
}
failures = [f"{name}:\n{text(name)}--- wanted:\n{tree}" for name, tree in wanted.items() if text(name) != tree]
failures += [f"{name} lists a folder as ignored:\n{text(name)}" for name in ("fs-before", "fs-after")
             if "\n0 directories ignored\n" not in text(name)]
lines = text("patch").split("\n")
failures += [f"the patch lacks {line}:\n{text('patch')}" for line in
             ("[HKEY_LOCAL_MACHINE\\Software\\Corvane DBCS]", '"Aソ"=dword:00000001', '"表"="ソ"') if line not in lines]
print("\n\n".join(failures) or "double-byte names: walked, compared, shown, excluded and patched whole")
sys.exit(1 if failures else 0)
PY
