#!/usr/bin/env bash
# Installs every Debian package the two builds and their tests need, only when
# something is missing, so a second run costs a fraction of a second.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake make g++ clang mingw-w64 g++-mingw-w64-i686 googletest libbenchmark-dev
          wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick xdotool x11-utils python3 python3-html5lib python3-markdown nsis
          locales ntfs-3g)
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

# The tests of a double-byte code page run Wine in a Japanese locale, which
# gives it code page 932; the host must have that locale (a second to make).
ensure_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' || $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}
trap ensure_locale EXIT
[ ${#need[@]} -eq 0 ] && exit 0
echo "Installing: ${need[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# A mirror in the middle of a sync fails an update now and then: try again,
# and go on with the lists there are if the install can use them.
for attempt in 1 2 3; do
  $SUDO apt-get update -q && break
  echo "apt-get update failed (attempt $attempt); retrying" >&2
  sleep $((attempt * 5))
done
apt_install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get "$@" install -y -q --no-install-recommends "${need[@]}"; }
apt_install && exit 0

# Without the security suite's i386 list (the mirror's copy of it does not
# match its signed index while it syncs) the i386 libraries Wine needs exist
# only in the main suite, whose versions the amd64 ones must equal. Install
# from the main suites alone then: the security suite for amd64 only and
# below them in priority. Every package still comes from a signed index.
echo "Retrying the install from the main suites" >&2
alt=$(mktemp -d)
trap 'rm -rf "$alt"; ensure_locale' EXIT
for f in /etc/apt/sources.list.d/*.sources; do
  [ -e "$f" ] || continue
  sed 's/^Suites: \(.*-security.*\)$/Suites: \1\nArchitectures: amd64/' "$f" > "$alt/$(basename "$f")"
done
[ -f /etc/apt/sources.list ] && grep -v -- '-security' /etc/apt/sources.list > "$alt/list" || : > "$alt/list"
printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' > "$alt/preferences"
mkdir -p "$alt/preferences.d"
opts=(-o "Dir::Etc::SourceParts=$alt" -o "Dir::Etc::SourceList=$alt/list"
      -o "Dir::Etc::Preferences=$alt/preferences" -o "Dir::Etc::PreferencesParts=$alt/preferences.d")
$SUDO apt-get "${opts[@]}" update -q
apt_install "${opts[@]}"
