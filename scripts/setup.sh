#!/usr/bin/env bash
# Installs every Debian package the two builds and their tests need, only when
# something is missing, so a second run costs a fraction of a second.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake make g++ clang mingw-w64 g++-mingw-w64-i686 googletest libbenchmark-dev
          wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick xdotool x11-utils python3)
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing: ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# A mirror in the middle of a sync fails an update now and then: try again,
# and go on with the lists there are if the install can use them.
for attempt in 1 2 3 4 5; do
  $SUDO apt-get update -q && break
  echo "apt-get update failed (attempt $attempt); retrying" >&2
  sleep $((attempt * 5))
done
for attempt in 1 2 3; do
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}" && exit 0
  echo "apt-get install failed (attempt $attempt); retrying" >&2
  sleep $((attempt * 10))
  $SUDO apt-get update -q || true
done
exit 1
