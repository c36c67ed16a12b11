#!/usr/bin/env bash
# Creates the test Wine prefixes if they are missing and keeps their servers
# warm, or stops the servers with --stop. --scaled makes, beside an X11
# prefix, copies of it whose display is set to other scalings (DPI), named
# <x11-prefix>-dpi<N>. --desktop makes a copy whose programs share one Wine
# virtual desktop of the given size (a screen whose resolution a test can
# change), named <x11-prefix>-desktop. --windows makes, beside it, the
# prefixes of the test matrix, other Windows as users run them:
# <x11-prefix>-win64 (64-bit, where the 32-bit program runs under WoW64; it
# reports Windows 7), -winxp (32-bit, reports Windows XP) and -win10 (64-bit,
# reports Windows 10).
#   wine-prefix.sh <null-driver-prefix> <x11-prefix>
#   wine-prefix.sh --scaled <x11-prefix> <dpi>...
#   wine-prefix.sh --desktop <x11-prefix> <width>x<height>
#   wine-prefix.sh --windows <x11-prefix>
#   wine-prefix.sh --stop <prefix>...
set -euo pipefail
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" = "--stop" ]; then
    shift
    for prefix in "$@"; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k </dev/null >/dev/null 2>&1 || true
    done
    exit 0
fi

# A copy of a ready X11 prefix (a second each, instead of a new prefix's
# 10-20 s) with registry values added: each further argument is one
# "key|value|type|data".
make_prefix_copy() { # x11 prefix, copy, description, values...
    local prefix=$2 value key name type data
    export WINEPREFIX=$prefix
    if [ ! -f "$prefix/.orvu-ready" ]; then
        echo "creating Wine prefix $prefix ($3)"
        rm -rf "$prefix"
        # The registry is saved by renaming complete files, so a copy taken
        # while the prefix's server runs is consistent.
        cp -a "$1" "$prefix"
        rm -f "$prefix/.orvu-ready"
        for value in "${@:4}"; do
            IFS='|' read -r key name type data <<<"$value"
            wine reg add "$key" /v "$name" /t "$type" /d "$data" /f </dev/null >/dev/null 2>&1
        done
        wineserver -w
        touch "$prefix/.orvu-ready"
    fi
    wineserver -p </dev/null >/dev/null 2>&1 || true
    echo "Wine prefix ready: $prefix"
}

# The display's scaling: Wine 8 reads it once per process from
# HKCU\Control Panel\Desktop\LogPixels (REG_DWORD), and from
# HKCC\Software\Fonts\LogPixels when that is missing (both checked here:
# 144 gives GetDeviceCaps(LOGPIXELSY) 144, SM_CXSMICON 24 and SM_CXICON 48 to
# every process, aware or not); both are set, as Windows keeps them.
if [ "${1:-}" = "--scaled" ]; then
    x11=$2
    shift 2
    for dpi in "$@"; do
        make_prefix_copy "$x11" "$x11-dpi$dpi" "$dpi DPI" \
            "HKCU\Control Panel\Desktop|LogPixels|REG_DWORD|$dpi" \
            "HKCC\Software\Fonts|LogPixels|REG_DWORD|$dpi"
    done
    exit 0
fi

# Every program of the prefix runs in one X window, the virtual desktop
# "Default", whose size ChangeDisplaySettingsEx changes as a real screen's
# resolution; the desktop starts at the size given here.
if [ "${1:-}" = "--desktop" ]; then
    make_prefix_copy "$2" "$2-desktop" "virtual desktop $3" \
        "HKCU\Software\Wine\Explorer|Desktop|REG_SZ|Default" \
        "HKCU\Software\Wine\Explorer\Desktops|Default|REG_SZ|$3"
    exit 0
fi

make_prefix() { # prefix, driver (null|x11)
    local prefix=$1 driver=$2
    export WINEPREFIX=$prefix
    if [ ! -f "$prefix/.orvu-ready" ]; then
        echo "creating Wine prefix $prefix ($driver driver, $WINEARCH)"
        rm -rf "$prefix"
        wineboot -i </dev/null >/dev/null 2>&1
        "$(dirname "$0")/wine-fonts.sh"
        if [ "$driver" = null ]; then
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        else
            # No window manager under Xvfb: unmanaged windows avoid a 2 s
            # stall each time a shown top-level window is hidden.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        fi
        wineserver -w
        touch "$prefix/.orvu-ready"
    fi
    # A warm server makes each test launch take milliseconds instead of
    # seconds. Its output must not hold CTest's pipe open. It fails when a
    # server runs already (one still going from an earlier run, say).
    wineserver -p </dev/null >/dev/null 2>&1 || true
    # The X11 prefix's desktop is not started here: without a display it
    # would report a 1024 x 768 screen to the tests that follow under Xvfb.
    # Each X11 test starts it in its own session (scripts/x11-test.sh).
    if [ "$driver" = null ]; then
        wine wineboot </dev/null >/dev/null 2>&1
    fi
    echo "Wine prefix ready: $prefix"
}

# The Windows version a prefix reports is the value that "winecfg -v"
# writes (winxp, win7, win10, ...; Wine 8 offers nothing newer than
# Windows 10). A 64-bit prefix is made afresh (wine64 beside wine32).
if [ "${1:-}" = "--windows" ]; then
    x11=$2
    make_prefix_copy "$x11" "$x11-winxp" "Windows XP" "HKCU\Software\Wine|Version|REG_SZ|winxp"
    export WINEARCH=win64
    make_prefix "$x11-win64" x11
    make_prefix_copy "$x11-win64" "$x11-win10" "64-bit, Windows 10" \
        "HKCU\Software\Wine|Version|REG_SZ|win10"
    exit 0
fi

make_prefix "$1" null
make_prefix "$2" x11
