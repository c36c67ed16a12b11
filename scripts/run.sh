#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the monitor under Wine from the
# build output folder (where it finds plugins\ and Ohmwatch.ini).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

export WINEPREFIX=${WINEPREFIX:-$build/wine-run} WINEARCH=win32 WINEDEBUG=-all \
       WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating Wine prefix $WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    "$root/scripts/wine-fonts.sh"
    # Let the set-up's Wine server finish: a program started while it shuts
    # down is ended with it.
    wineserver -w
fi
cd "$build/bin"
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: running Ohmwatch under a virtual X server (Xvfb); nothing will be visible."
    exec xvfb-run -a -s "-screen 0 1366x768x24" wine Ohmwatch.exe
fi
exec wine Ohmwatch.exe
