#!/usr/bin/env bash
# Lays out every icon group of the monitor at 16, 32 and 256 pixels on a
# light and on a dark taskbar colour, a row with each tray picture at the
# notification area's sizes at 100, 125, 150 and 200 % display scaling (16,
# 20, 24 and 32 pixels) side by side, and the alert picture over a grey
# checkerboard, for a person to look at.
#   contact-sheet.sh [output folder]   (default: build/contact-sheet)
# Writes icons-light.png, icons-dark.png and alert.png. The small sizes are
# shown at their own size and magnified four times without smoothing. Also
# tray.png, the notification-area pictures at 32 pixels labelled with what
# they stand for (the README's picture of them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/apps/Ohmwatch/art
out=${1:-${ORVU_BUILD_DIR:-$root/build}/contact-sheet}
mkdir -p "$out"
for tool in icotool montage convert; do
    command -v "$tool" >/dev/null || { echo "contact-sheet: $tool is missing" >&2; exit 1; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ids="101 1000 1020 1040 1060 1080 1100 2000 2020 2040 2060 2080 2100 3000"
for id in $ids; do
    for size in 16 20 24 32 256; do
        icotool -x -w "$size" -h "$size" -o "$tmp/$id-$size.png" "$art/icons/ohmwatch-$id.ico"
        [ -s "$tmp/$id-$size.png" ] || { echo "contact-sheet: icon $id has no $size-pixel image" >&2; exit 1; }
    done
    convert "$tmp/$id-16.png" -filter point -resize 400% "$tmp/$id-16x4.png"
    convert "$tmp/$id-32.png" -filter point -resize 400% "$tmp/$id-32x4.png"
    # One tile per tray picture: its four scaled sizes, bottom-aligned.
    convert -background none "$tmp/$id-16.png" "$tmp/$id-20.png" "$tmp/$id-24.png" \
            "$tmp/$id-32.png" -gravity east -splice 4x0 -gravity south +append "$tmp/$id-16-20-24-32.png"
done

sheet() { # name background text-colour
    local name=$1 bg=$2 fg=$3 rows=()
    for kind in 16 16x4 32 32x4 16-20-24-32 256; do
        local files=()
        for id in $ids; do
            # The program's icon is never in the notification area.
            [ "$kind" = 16-20-24-32 ] && [ "$id" = 101 ] && continue
            files+=("$tmp/$id-$kind.png")
        done
        local tile=14x1
        [ "$kind" = 16-20-24-32 ] && tile=13x1
        [ "$kind" = 256 ] && tile=7x2
        local label='%t'
        case $kind in 16 | 32) label='' ;; esac
        montage -background "$bg" -fill "$fg" -font DejaVu-Sans -pointsize 11 -label "$label" "${files[@]}" \
                -tile "$tile" -geometry +6+4 "$tmp/row-$name-$kind.png"
        rows+=("$tmp/row-$name-$kind.png")
    done
    convert -background "$bg" "${rows[@]}" -gravity center -append +repage -depth 8 "$out/icons-$name.png"
}
sheet light "#eeeeee" "#333333"
sheet dark "#1f1f1f" "#bbbbbb"

# montage reads "%%" as a percent sign. Each picture is centred on a tile
# wide enough for its label, so it keeps its own size.
bands=("below 10 %%" "10-29 %%" "30-49 %%" "50-69 %%" "70-89 %%" "90 %% and up")
tray_args=()
tray_tile() { # id, label
    convert "$tmp/$1-32.png" -background "#eeeeee" -gravity center -extent 96x36 "$tmp/tray-$1.png"
    tray_args+=(-label "$2" "$tmp/tray-$1.png")
}
for i in 0 1 2 3 4 5; do tray_tile $((1000 + i * 20)) "${bands[$i]}\non battery"; done
tray_tile 3000 "source or charge\nunknown"
for i in 0 1 2 3 4 5; do tray_tile $((2000 + i * 20)) "${bands[$i]}\non mains"; done
montage -background "#eeeeee" -fill "#333333" -font DejaVu-Sans -pointsize 11 "${tray_args[@]}" \
        -tile 7x2 -geometry +2+4 -depth 8 "$out/tray.png"

picture=$art/power-disconnected.png
read -r w h < <(identify -format '%w %h\n' "$picture")
convert -size "$((w + 80))x$((h + 80))" pattern:checkerboard -fill "#808080" -colorize 60% \
        "$picture" -gravity center -composite "$out/alert.png"
echo "contact-sheet: $out/icons-light.png $out/icons-dark.png $out/alert.png $out/tray.png"
