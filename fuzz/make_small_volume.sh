#!/usr/bin/env bash
# Makes small-volume.bin, the NTFS volume the table reader's fuzz target
# starts from and its unit tests read: an 8 MiB image made and filled by ntfs-3g (as
# root), kept as the sectors the reader reads.
#   make_small_volume.sh NATIVE_BUILD_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
work=$(mktemp -d)
trap 'umount "$work/mnt" 2>/dev/null || true; rm -rf "$work"' EXIT
truncate -s 8M "$work/volume.img"
mkntfs -F -f -q -L Small "$work/volume.img" >/dev/null 2>&1
mkdir "$work/mnt"
ntfs-3g "$work/volume.img" "$work/mnt"
cd "$work/mnt"
echo root > "Root file.txt"
echo upper > CASE.TXT
echo lower > case.txt
mkdir wide names
echo linked > wide/original.dat
for i in $(seq -w 1 90); do ln wide/original.dat "wide/link $i.dat"; done
echo short > "names/A long name with a short one.txt"
python3 -c 'import os; os.setxattr("names/A long name with a short one.txt", "system.ntfs_dos_name", b"ALONGN~1.TXT")'
echo long > "names/$(printf 'L%.0s' $(seq 255))"
cd /
umount "$work/mnt"
cmake --build "$build" --target compact_volume >/dev/null
"$build/fuzz/compact_volume" "$work/volume.img" "$here/small-volume.bin"
