#!/usr/bin/env bash
# bench-ntfs.sh WIN_BUILD [FILES] [FOLDERS]
# An NTFS volume of FILES files (default 1,000,000) in FOLDERS folders
# (default 100,000), made once by ntfs-3g in the build folder (as root) and
# kept there. Then, side by side with farm-bench: `corvane-snap fs T:` reading
# the master file table (T:: is the image) against the walk of the mounted
# folder (no T::); and the physical limit, the table's bytes read from the
# image (dd) and the snapshot file written (cp). Figures go to the screen.
set -euo pipefail
build=$(cd "${1:?usage: bench-ntfs.sh WIN_BUILD [FILES] [FOLDERS]}" && pwd)
files=${2:-1000000}
folders=${3:-100000}
work="$build/bench-ntfs/$files-$folders"
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
corvane_wine_prepare "$build" >/dev/null
mkdir -p "$work/mnt"
mountpoint -q "$work/mnt" && umount "$work/mnt"

if [ ! -f "$work/made" ]; then
  echo "== making the volume ($files files in $folders folders)"
  rm -f "$work/volume.img"
  truncate -s $(( (files / 1000 + 512) * 4 ))M "$work/volume.img"
  mkntfs -F -f -q "$work/volume.img" >/dev/null 2>&1
  ntfs-3g "$work/volume.img" "$work/mnt"
  start=$(date +%s)
  python3 - "$work/mnt" "$files" "$folders" <<'PY'
import os, sys
mnt, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
per = files // folders
for d in range(folders):
    path = f"{mnt}/group{d // 1000:03}/folder{d:06}"
    os.makedirs(path)
    for f in range(per):
        with open(f"{path}/file {f:03} of folder {d}.txt", "wb") as out:
            out.write(b"x" * (f % 7))
PY
  umount "$work/mnt"
  echo "made in $(( $(date +%s) - start )) s"
  touch "$work/made"
fi

ntfs-3g -o ro "$work/volume.img" "$work/mnt"
trap 'rm -f "$WINEPREFIX/dosdevices/t:" "$WINEPREFIX/dosdevices/t::"; umount "$work/mnt"' EXIT
ln -sfn "$work/mnt" "$WINEPREFIX/dosdevices/t:"
snap=$(winepath -w "$build/tools/corvane-snap.exe" 2>/dev/null || echo "$build/tools/corvane-snap.exe")

# The table's place and size, from the boot sector and its first record.
read -r table_offset table_bytes < <(python3 - "$work/volume.img" <<'PY'
import struct, sys
with open(sys.argv[1], "rb") as f:
    boot = f.read(512)
    cluster = boot[0x0D] * struct.unpack_from("<H", boot, 0x0B)[0]
    start = struct.unpack_from("<q", boot, 0x30)[0] * cluster
    f.seek(start)
    record = f.read(1024)
at = struct.unpack_from("<H", record, 0x14)[0]
while struct.unpack_from("<I", record, at)[0] != 0x80:
    at += struct.unpack_from("<I", record, at + 4)[0]
print(start, struct.unpack_from("<Q", record, at + 0x30)[0])
PY
)
echo "== the table: $table_bytes bytes at $table_offset"

table_cmd="ln -sfn $work/volume.img $WINEPREFIX/dosdevices/t:: && wine $build/tools/corvane-snap.exe fs T: Z:$work/table.tvrec --force"
walk_cmd="rm -f $WINEPREFIX/dosdevices/t:: && wine $build/tools/corvane-snap.exe fs T: Z:$work/walk.tvrec --force"
limit_cmd="dd if=$work/volume.img of=/dev/null bs=4M iflag=skip_bytes,count_bytes skip=$table_offset count=$table_bytes status=none && cp $work/table.tvrec $work/copy.tvrec && sync $work/copy.tvrec"

echo "== one of each, with their results and peak memory"
for cmd in "$table_cmd" "$walk_cmd"; do
  /usr/bin/time -f "%e s, peak %M KiB" bash -c "$cmd" | tail -n 3
done
cmp "$work/table.tvrec" "$work/walk.tvrec" >/dev/null && echo "the two snapshots differ only in creation times: not compared here" || true

echo "== the table read against the walk"
farm-bench -n "${ROUNDS:-3}" --timeout 3600 --vs "bash -c '$walk_cmd'" -- bash -c "$table_cmd"
echo "== the table read against the table's bytes read and the snapshot file written"
farm-bench -n "${ROUNDS:-3}" --timeout 3600 --vs "bash -c '$limit_cmd'" -- bash -c "$table_cmd"
