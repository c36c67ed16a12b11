#!/usr/bin/env bash
# Gives the Wine prefix in $WINEPREFIX the Windows core fonts' metric-
# compatible stand-ins (Liberation, from Debian's fonts-liberation), so text
# laid out for Windows fonts (the status window's "Times new roman" labels)
# keeps its widths under Wine instead of falling back to wider faces.
set -euo pipefail
replace() { # windows-face stand-in
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$1" /d "$2" /f </dev/null >/dev/null 2>&1
}
replace "Times New Roman" "Liberation Serif"
replace "Arial" "Liberation Sans"
replace "Courier New" "Liberation Mono"
