#!/usr/bin/env bash
# Screenshots of every window of the monitor (the alert transparent and
# opaque, the red banner, the status, about and options windows), taken while
# the end-to-end run drives the real program under Xvfb with a simulated
# battery; then the banner and the status, about and options windows at 150
# and 200 % display scaling (<name>-144dpi.png, <name>-192dpi.png); then, in
# a Wine virtual desktop whose resolution changes, the alert moved to the
# middle of an 800 x 600 screen and the banner on screens 800 and 1024
# pixels wide (alert-undocked.png, banner-800.png, banner-1024.png).
#   scripts/screenshots.sh [OUTPUT_FOLDER]     (default: build/screenshots)
#   scripts/screenshots.sh --docs              the same, then renews the
#                                              README's pictures in docs/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}
docs=
if [ "${1:-}" = --docs ]; then
    docs=$root/docs
    shift
fi
out=$(mkdir -p "${1:-$build/screenshots}" && cd "${1:-$build/screenshots}" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
"$root/scripts/wine-prefix.sh" "$build/wine-null" "$build/wine-x11" >/dev/null
scaled_dpis="144 192"
# shellcheck disable=SC2086
"$root/scripts/wine-prefix.sh" --scaled "$build/wine-x11" $scaled_dpis >/dev/null
"$root/scripts/wine-prefix.sh" --desktop "$build/wine-x11" 1366x768 >/dev/null
export WINEPREFIX=$build/wine-x11
export WINEPATH="Z:${build//\//\\}\\bin"
export ORVU_OUTPUT_DIR=$build/bin ORVU_SOURCE_DIR=$root ORVU_SCREENSHOT_DIR=$out
cd "$build/bin"
status=0
xvfb-run -a -s "-screen 0 1366x768x24" "$root/scripts/x11-test.sh" "$root/tests/monitor/e2e.sh" \
    "$build/tests-bin/monitor_probe.exe" "$build/tests-bin/test_shell.exe" || status=$?
for dpi in $scaled_dpis; do
    # A screen of 1366 x 768 at 100 %, grown with the scaling, as a laptop has.
    WINEPREFIX=$build/wine-x11-dpi$dpi ORVU_E2E_ONLY=scaled ORVU_E2E_DPI=$dpi \
        xvfb-run -a -s "-screen 0 $(((1366 * dpi + 48) / 96))x$(((768 * dpi + 48) / 96))x24" \
        "$root/scripts/x11-test.sh" "$root/tests/monitor/e2e.sh" \
        "$build/tests-bin/monitor_probe.exe" "$build/tests-bin/test_shell.exe" || status=$?
done
WINEPREFIX=$build/wine-x11-desktop ORVU_E2E_ONLY=undock \
    xvfb-run -a -s "-screen 0 1366x768x24" "$root/scripts/x11-test.sh" "$root/tests/monitor/e2e.sh" \
    "$build/tests-bin/monitor_probe.exe" "$build/tests-bin/test_shell.exe" || status=$?
"$root/scripts/wine-prefix.sh" --stop "$build/wine-null" "$build/wine-x11" \
    "$build/wine-x11-dpi144" "$build/wine-x11-dpi192" "$build/wine-x11-desktop"
echo "screenshots in $out:"
ls "$out"
[ "$status" = 0 ] || exit $status

if [ -n "$docs" ]; then
    # The tray pictures come from the icon files the program is built with.
    "$root/scripts/setup.sh" --art
    sheet=$(mktemp -d)
    trap 'rm -rf "$sheet"' EXIT
    "$root/scripts/contact-sheet.sh" "$sheet" >/dev/null
    mkdir -p "$docs"
    # Stripped of their time stamps, so an unchanged picture stays unchanged.
    for pair in "$sheet/tray.png:tray-icons" "$out/alert-transparent.png:alert" \
        "$out/banner.png:banner" "$out/status.png:status" \
        "$out/status-unknown-charge.png:status-desktop" "$out/About.png:about" \
        "$out/Options.png:options"; do
        convert "${pair%:*}" -strip "$docs/${pair##*:}.png"
    done
    echo "README pictures renewed in $docs"
fi
