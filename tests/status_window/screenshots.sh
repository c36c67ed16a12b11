#!/usr/bin/env bash
# Screenshots of the status window under X for four statuses, checked pixel
# by pixel at the gauge's edges. Each demo window is then closed with Alt+F4
# as a person would, and must only hide. Run under xvfb-run with the Wine
# environment; $1 is the demo program. The pictures stay in
# $ORVU_OUTPUT_DIR/../screenshots for a person to look at.
set -u
demo=$1
shots=${ORVU_OUTPUT_DIR:-.}/../screenshots
mkdir -p "$shots"
rm -f "$shots"/status-*
failures=0
x=40
y=40

# A Wine server started for this prefix without this display (as the test
# fixture does) cannot make windows on it: restart it under this display.
wineserver -k </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# pixel <png> <x> <y>: the colour as "r,g,b".
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}

expect() { # <png> <x> <y> <r,g,b> <what>
    local got
    got=$(pixel "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$(basename "$1") ($2, $3) is $got, expected $4: $5"
}

shoot() { # <tag> <source> <percent> <state>
    local tag=$1 png="$shots/status-$1.png" log="$shots/status-$1.log"
    local signal="$shots/status-$1.close"
    rm -f "$png" "$log" "$signal"
    wine "$demo" "$2" "$3" "$4" $x $y "$(winepath -w "$signal")" >"$log" 2>&1 &
    local pid=$!
    for _ in $(seq 1 200); do
        grep -qs '^shown' "$log" && break
        sleep 0.1
    done
    if ! grep -qs '^shown' "$log"; then
        fail "$tag: window not shown; demo said: $(tr '\n' ' ' <"$log")"
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        return
    fi
    # Let the X server show the window and Wine paint it.
    sleep 1
    # Without a window manager Wine draws the frame itself; the demo reports
    # where its frame and client area are on the screen.
    local fx fy fw fh cx cy
    read -r fx fy fw fh cx cy < <(tr -d '\r' <"$log" | sed -n 's/^shown, frame \([-0-9 ]*\), client area at \([-0-9 ]*\)$/\1 \2/p')
    import -window root -crop "${fw}x${fh}+${fx}+${fy}" +repage "$shots/status-$tag-window.png"
    import -window root -crop "280x104+${cx}+${cy}" +repage "$png"
    echo "$tag: client area at $cx,$cy -> $png"

    touch "$signal"
    wait "$pid"
    local rc=$?
    cat "$log"
    [ $rc -eq 0 ] || fail "$tag: closing did not just hide the window (exit $rc)"
    rm -f "$signal"
}

bg=250,250,250
red=200,0,0
green=0,200,0

shoot battery57 1 57 1
p="$shots/status-battery57.png"
expect "$p" 0 0 $bg "background"
expect "$p" 240 9 $bg "above the gauge"
expect "$p" 240 10 $red "top row of the red body"
expect "$p" 240 46 $red "last red row above the level"
expect "$p" 240 47 $green "57 % level starts at row 47"
expect "$p" 240 95 $green "bottom row of the level"
expect "$p" 240 96 $bg "below the gauge"
expect "$p" 209 30 $bg "left of the gauge"
expect "$p" 210 30 $red "left column of the body"
expect "$p" 269 70 $green "right column of the level"
expect "$p" 270 70 $bg "right of the gauge"

shoot full 2 100 2
p="$shots/status-full.png"
expect "$p" 240 10 $green "100 % covers the body's top row"
expect "$p" 240 95 $green "bottom row of the level"
expect "$p" 240 9 $bg "above the gauge"
expect "$p" 210 30 $green "left column"

shoot empty 1 0 1
p="$shots/status-empty.png"
expect "$p" 240 10 $red "top row of the body"
expect "$p" 240 95 $red "0 %: no level at the bottom"
expect "$p" 240 96 $bg "below the gauge"

# A desktop without battery: mains power, 255 % (unknown).
shoot unknown 2 255 0
p="$shots/status-unknown.png"
expect "$p" 240 0 $bg "nothing above the gauge"
expect "$p" 240 9 $bg "above the gauge"
expect "$p" 240 10 $red "an unknown charge leaves the body red"
expect "$p" 240 95 $red "no level at the bottom"
expect "$p" 240 96 $bg "below the gauge"

# Leave no server bound to a display that ends with this script.
wineserver -k </dev/null >/dev/null 2>&1
echo "$failures failure(s)"
[ $failures -eq 0 ]
