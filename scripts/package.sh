#!/usr/bin/env bash
# Builds a release from the last commit, as a clean checkout holds it:
#   corvane-VERSION-portable.zip  the four programs, README.html (with the guides), LICENCE.txt
#   corvane-VERSION-setup.exe     the installer (makensis, scripts/release/corvane.nsi)
#   corvane-VERSION-sha256.txt    the SHA-256 of both, as sha256sum writes them
# in build/release (or $CORVANE_BUILD/release, or the folder given). VERSION is
# the file VERSION at the top of the tree, the one place of the version number.
# Changes not yet committed are not part of a release; the script says so.
#   scripts/package.sh [OUT_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-${CORVANE_BUILD:-$top/build}/release}

"$top/scripts/setup.sh"

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$out/work
rm -rf "$work"
mkdir -p "$work/src"

# The sources of the last commit; outside a git checkout, the tree as it is.
if git -C "$top" rev-parse --verify -q HEAD >/dev/null; then
  git -C "$top" archive --format=tar HEAD | tar -x -C "$work/src"
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}
  if [ -n "$(git -C "$top" status --porcelain --untracked-files=no)" ]; then
    echo "package.sh: note: changes not committed are not in this release" >&2
  fi
else
  tar -C "$top" --exclude=./build --exclude='./build-*' -cf - . | tar -x -C "$work/src"
fi
src=$work/src

version=$(head -n 1 "$src/VERSION")
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "package.sh: VERSION must hold four numbers, as 2.0.0.1; it holds \"$version\"" >&2
  exit 2
fi
name=corvane-$version

echo "== building Corvane $version"
# The build type the tests run, without the tests; the programs are stripped of
# their debugging information when staged.
cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF -DCORVANE_WERROR=ON >/dev/null
cmake --build "$work/build" -j "$(nproc)" --target corvane corvane-diff corvane-snap corvane-capture

stage=$work/stage/$name
mkdir -p "$stage"
for program in app/corvane tools/corvane-diff tools/corvane-snap tools/corvane-capture; do
  i686-w64-mingw32-strip -o "$stage/$(basename "$program").exe" "$work/build/$program.exe"
done
# The README with its guides, in the order of reading, as one page.
/usr/bin/python3 "$src/scripts/release/readme-html.py" "$src/README.md" "$version" "$stage/README.html" \
  "$src"/docs/{user-guide,command-line,file-formats,developers}.md
# Notepad's line ends.
sed 's/\r*$/\r/' "$src/LICENCE.txt" >"$stage/LICENCE.txt"

rm -f "$out/$name-portable.zip" "$out/$name-setup.exe" "$out/$name-sha256.txt"
echo "== $name-portable.zip"
/usr/bin/python3 - "$work/stage" "$name" "$out/$name-portable.zip" <<'EOF'
# Entries in a fixed order, dated at the commit: the same commit gives the same archive.
import os, sys, time, zipfile
stage, name, target = sys.argv[1:4]
when = time.gmtime(int(os.environ.get("SOURCE_DATE_EPOCH", time.time())))[:6]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for file in sorted(os.listdir(os.path.join(stage, name))):
        entry = zipfile.ZipInfo(name + "/" + file, when)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o644 << 16
        with open(os.path.join(stage, name, file), "rb") as f:
            archive.writestr(entry, f.read())
EOF

echo "== $name-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/$name-setup.exe" \
  "$src/scripts/release/corvane.nsi"

(cd "$out" && sha256sum "$name-portable.zip" "$name-setup.exe" >"$name-sha256.txt")
rm -rf "$work"
echo "Release $version in $out:"
(cd "$out" && ls -l "$name-portable.zip" "$name-setup.exe" "$name-sha256.txt" | awk '{ printf "  %-32s %9s bytes\n", $9, $5 }')
