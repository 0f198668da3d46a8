#!/usr/bin/env bash
# Installs every Debian package the two builds and their tests need, only when
# something is missing, so a second run costs a fraction of a second.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake make g++ clang mingw-w64 g++-mingw-w64-i686 googletest libbenchmark-dev
          wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick xdotool x11-utils)
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing: ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
