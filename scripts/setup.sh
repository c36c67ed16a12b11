#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages only.
# Does nothing when everything is already there.
set -euo pipefail

packages=(cmake make g++ g++-mingw-w64-i686 googletest wine wine32:i386 wine64 xvfb xauth
          xdotool imagemagick fonts-liberation nsis unzip clang libfuzzer-14-dev strace)
# With --art, also what scripts/make-artwork.sh needs to redraw the icons and
# the alert picture; building never needs it (the results are committed).
if [ "${1:-}" = "--art" ]; then
    packages+=(librsvg2-bin icoutils fonts-dejavu-core)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
