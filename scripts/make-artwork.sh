#!/usr/bin/env bash
# Regenerates the monitor's artwork from its sources in apps/Ohmwatch/art/:
#   icons.awk               -> art/icons/ohmwatch-<id>.ico (fourteen icon groups)
#   power-disconnected.svg  -> art/power-disconnected.png (the default alert)
# The generated files are committed, so building never needs these tools;
# run this only after changing a source. The output is the same on every
# run with the same tool versions (Debian 12: librsvg2-bin, icoutils,
# fonts-dejavu-core; `scripts/setup.sh --art` installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/apps/Ohmwatch/art

for tool in awk perl rsvg-convert icotool; do
    command -v "$tool" >/dev/null || { echo "make-artwork: $tool is missing (scripts/setup.sh --art)" >&2; exit 1; }
done
fc-list 2>/dev/null | grep -q "DejaVuSans-Bold.ttf" ||
    { echo "make-artwork: the DejaVu fonts are missing (scripts/setup.sh --art)" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ids="101 1000 1020 1040 1060 1080 1100 2000 2020 2040 2060 2080 2100 3000"
# The 256-pixel image is stored as PNG, the others as 32-bit bitmaps with
# alpha. The PNG goes last: icotool 0.32 misreads the entries that follow a
# PNG entry when it extracts from a file, though Windows reads either order.
sizes="128 96 72 64 48 32 24 20 16"

render() { # id size
    awk -v id="$1" -v size="$2" -f "$art/icons.awk" >"$tmp/$1-$2.svg"
    rsvg-convert -w "$2" -h "$2" -o "$tmp/$1-$2.png" "$tmp/$1-$2.svg"
}

mkdir -p "$art/icons"
for id in $ids; do
    render "$id" 256
    pngs=()
    for size in $sizes; do
        render "$id" "$size"
        pngs+=("$tmp/$id-$size.png")
    done
    icotool -c -b 32 -o "$art/icons/ohmwatch-$id.ico" "${pngs[@]}" --raw="$tmp/$id-256.png"
done

# Only the chunks that make the pixels are kept. GDI+ under Wine reads every
# other chunk (rsvg-convert writes a background colour) as image properties,
# which took about 27 ms of the monitor's start.
rsvg-convert -o "$tmp/power-disconnected.png" "$art/power-disconnected.svg"
perl -e '
    local $/; my $d = <STDIN>; my $o = substr($d, 0, 8); my $i = 8;
    while ($i + 12 <= length $d) {
        my ($n, $type) = unpack("N a4", substr($d, $i, 8));
        $o .= substr($d, $i, 12 + $n) if $type =~ /^(IHDR|PLTE|tRNS|IDAT|IEND)$/;
        $i += 12 + $n;
    }
    print $o;' <"$tmp/power-disconnected.png" >"$art/power-disconnected.png"

echo "make-artwork: wrote $(ls "$art/icons" | wc -l) icons and power-disconnected.png"
