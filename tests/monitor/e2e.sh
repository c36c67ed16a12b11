#!/usr/bin/env bash
# The whole monitor, end to end: runs the built Ohmwatch.exe from a copy of
# the output folder under Wine and Xvfb with a simulated battery, and watches
# it only from outside its process: its windows through monitor_probe.exe, its
# notification-area icon through test_shell.exe, the screen through
# screenshots.
#
#   e2e.sh PROBE_EXE TEST_SHELL_EXE
#
# Needs DISPLAY (an X server of 1366 x 768), WINEPREFIX, ORVU_OUTPUT_DIR and
# ORVU_SOURCE_DIR, as CTest gives them; the scenario "undock" needs a Wine
# virtual desktop (scripts/wine-prefix.sh --desktop) of 1366 x 768. Screenshots land in
# $ORVU_SCREENSHOT_DIR when it is set (scripts/screenshots.sh), otherwise in a
# temporary folder that is removed at the end. ORVU_E2E_ONLY=name runs one
# scenario. The scenario "scaled" runs only so, with ORVU_E2E_DPI set to the
# prefix's display scaling (120, 144 or 192) on a screen of 1366 x 768 pixels
# at that scaling.
set -euo pipefail

probe_exe=$1
shell_exe=$2
fake_battery=${ORVU_FAKE_BATTERY:-$ORVU_SOURCE_DIR/scripts/fake-battery.sh}

source "$ORVU_SOURCE_DIR/tests/support/e2e-common.sh"
e2e_enter_battery_namespace "$0" "$@"

shots=${ORVU_SCREENSHOT_DIR:-$work/shots}
mkdir -p "$shots"
convert=$(command -v convert-im6.q16 || command -v convert)

# --- the monitor ------------------------------------------------------------

picture=
picture_w=
picture_h=
# A copy of the output folder with its own settings file.
prepare_app() { # name, settings lines...
    app=$work/app-$1
    shift
    rm -rf "$app"
    cp -r "$ORVU_OUTPUT_DIR" "$app"
    rm -f "$app/Ohmwatch.ini"
    cp "$picture" "$app/power-disconnected.png"
    printf '%s\n' "$@" >"$app/Ohmwatch.ini"
}

screenshot() { # name, x, y, w, h
    import -window root -crop "$4x$5+$2+$3" +repage "$shots/$1.png"
}
# Takes screenshots until the check holds for one (a window is drawn a moment
# after it shows) or three seconds pass; the last one is kept.
shot_until() { # name, x, y, w, h, check command... (given the file last)
    local name=$1 x=$2 y=$3 w=$4 h=$5
    shift 5
    local end=$(($(date +%s%N) + 3000000000))
    while :; do
        screenshot "$name" "$x" "$y" "$w" "$h"
        "$@" "$shots/$name.png" && return 0
        [ "$(date +%s%N)" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# Unplugs at 60 % and checks that the tray shows it, within LIMIT ms.
unplug_within() { # limit_ms, description
    local t0 t1
    t0=$(date +%s%N)
    set_battery battery 60
    wait_until 5 tray_shows "Ohmwatch - 60%" 1060 || true
    t1=$(date +%s%N)
    expect_tray "Ohmwatch - 60%" 1060 1
    check "$2 ($(((t1 - t0) / 1000000)) ms)" [ $(((t1 - t0) / 1000000)) -lt "$1" ]
}

# --- the desktop and the alert picture ---------------------------------------

# A desktop with a gradient, so that transparency shows in screenshots.
"$convert" -size 1366x768 gradient:'#1d4f7c'-'#9cc3e4' "$work/desktop.png"
# display sets the root background and exits with 1 even so.
display -window root "$work/desktop.png" || true

# The shipped picture when the output folder has it; otherwise one drawn here
# with soft edges, so the checks do not depend on the artwork.
picture=$ORVU_OUTPUT_DIR/power-disconnected.png
if [ ! -f "$picture" ]; then
    picture=$work/power-disconnected.png
    "$convert" -size 480x300 xc:none -fill '#d02020' -draw 'roundrectangle 30,30 450,270 40,40' \
        -channel A -blur 0x8 +channel -fill white \
        -draw 'polygon 260,60 190,165 240,165 215,245 295,130 245,130' "PNG32:$picture"
fi
read_icon_sums "$ORVU_OUTPUT_DIR/Ohmwatch.exe"
picture_w=$(identify -format %w "$picture")
picture_h=$(identify -format %h "$picture")
read -r screen_w screen_h < <(xdotool getdisplaygeometry)

# What a person sees of the transparent alert without a compositor: the
# desktop where the picture is fully transparent, elsewhere the picture's
# colour premultiplied by its alpha.
expected_transparent() { # desktop.png, out.png
    "$convert" "$picture" -background black -alpha remove "$work/opaque.png"
    "$convert" "$picture" -alpha extract -threshold 0 "$work/mask.png"
    "$convert" "$1" "$work/opaque.png" "$work/mask.png" -composite "$2"
}
# Whether a screenshot of the picture's size shows the expected picture:
# less than 2 % of the pixels differ by more than rounding.
looks_like() { # expected.png, shot.png
    local count
    count=$(compare -metric AE -fuzz 4% "$2" "$1" null: 2>&1 >/dev/null || true)
    log "$(basename "$2"): $((${count%%.*} * 100 / (picture_w * picture_h)))% of the pixels differ"
    [ $((${count%%.*} * 100 / (picture_w * picture_h))) -lt 2 ]
}

# Without a compositor Wine applies the constant alpha to the colours: where
# the picture is opaque a channel c shows as c x alpha / 255, rounded; at 254
# that is one level darker than the picture for every c of 128 and more.
constant_alpha_is() { # alpha, screenshot
    local alpha=$1
    shift
    "$convert" "$picture" -alpha extract -threshold 99.9% "$work/opaque-mask.png"
    masked() { "$convert" "$1" "$work/opaque-mask.png" -compose multiply -composite "$2"; }
    masked "$1" "$work/shot-masked.png"
    "$convert" "$picture" -alpha off "$work/plain.png"
    masked "$work/plain.png" "$work/alpha255.png"
    "$convert" "$work/plain.png" -evaluate multiply "$(echo "$alpha / 255" | bc -l)" \
        "$work/plain-alpha.png"
    masked "$work/plain-alpha.png" "$work/alpha-expected.png"
    local expected full
    # Rounding may differ by one level from the expected; the full-alpha
    # picture must differ by more, so that one is compared exactly.
    expected=$(compare -metric AE -fuzz 0.5% "$work/shot-masked.png" "$work/alpha-expected.png" \
        null: 2>&1 || true)
    full=$(compare -metric AE "$work/shot-masked.png" "$work/alpha255.png" null: 2>&1 || true)
    log "pixels that differ from the picture at alpha $alpha: $expected, at alpha 255: $full"
    [ $((${expected%%.*} * 2)) -lt "${full%%.*}" ]
}

# The red banner (1366 x 180 from its top on screen): red around the texts,
# above them and right of the smaller one, and to the screen's right edge
# (the window is wider than the screen).
is_red() {
    [ "$("$convert" "$1" -format '%[fx:int(255*p{700,4}.r)],%[fx:int(255*p{700,4}.g)] %[fx:int(255*p{1000,170}.r)],%[fx:int(255*p{1000,170}.g)] %[fx:int(255*p{1362,4}.r)]' info:)" = "255,0 255,0 255" ]
}

# The status window's gauge at (240, 64): green,red of the pixel there.
gauge_is() { # green,red, screenshot of the client area
    [ "$("$convert" "$2" -format '%[fx:int(255*p{240,64}.g)],%[fx:int(255*p{240,64}.r)]' info:)" = "$1" ]
}

# Whether the banner's dark text lies wholly on a screenshot as wide as the
# screen, clear of both edges, its title spread over more than half of it.
text_on_screen() { # screen width, shot
    local box w x
    box=$("$convert" "$2" -channel R -separate +channel -negate -threshold 50% -format '%@' info:)
    w=${box%%x*}
    x=${box#*+}
    x=${x%%+*}
    log "$(basename "$2"): the text spans x = $x to $((x + w - 1)) of 0 to $(($1 - 1))"
    [ "$x" -ge 2 ] && [ $((x + w)) -le $(($1 - 2)) ] && [ "$w" -gt $(($1 / 2)) ]
}

# A point inside the picture where it is fully opaque, for clicking.
opaque_point() {
    "$convert" "$picture" -alpha extract -threshold 99% -morphology Erode Disk:3 \
        txt:- | grep -m1 -E 'gray\(255\)|#FFFFFF|white' | sed 's/^\([0-9]*\),\([0-9]*\):.*/\1 \2/' || true
}

# --- scenarios --------------------------------------------------------------

scenario_defaults() {
    log "== defaults: start on mains, unplug, dismiss, status, about, options, restart, exit"
    prepare_app defaults '# settings for the end-to-end run' 'AlertDoShow:1' 'AlertShowPercent:100' \
        'AlertUseTransparency:1' 'AlertOpacity:100' 'AlertImage:power-disconnected.png'
    set_battery ac 80
    start_shell
    screenshot desktop $(((screen_w - picture_w) / 2)) $(((screen_h - picture_h) / 2)) \
        "$picture_w" "$picture_h"
    start_app

    expect_tray "Ohmwatch - charging (80%)" 2080 20
    # Before the first tick the icon showed the cross and the plain name.
    check "the icon started as picture 3000 with the tooltip \"Ohmwatch\"" \
        grep -q "^MODIFY result=1 .* tip=\"Ohmwatch\" $(expected_icon 3000 | sed 's/ mask=\(0x[0-9a-f]*\)/ .* mask=\1\/.*/; s/ color=\(0x[0-9a-f]*\)/ color=\1\//')" "$shell_log"
    check "no window is visible at start" [ "$(visible_windows)" = 0 ]

    unplug_within 1000 "the tray follows the unplugging within a second"
    local line
    line=$(probe await "$alert_title" visible 3000 | head -1)
    log "alert: $line"
    check "the alert is visible" [ "$(field "$line" visible)" = 1 ]
    check "the alert is top-most" [ "$(field "$line" topmost)" = 1 ]
    check "the alert is layered" [ "$(field "$line" layered)" = 1 ]
    check "the alert has the picture's size" \
        [ "$(field "$line" w)x$(field "$line" h)" = "${picture_w}x${picture_h}" ]
    check "the alert is centred" [ "$(field "$line" x),$(field "$line" y)" = \
        "$(((screen_w - picture_w) / 2)),$(((screen_h - picture_h) / 2))" ]
    check "the alert is a popup without caption" \
        [ $(($(field "$line" style) & 0x80C00000)) = $((0x80000000)) ]
    expected_transparent "$shots/desktop.png" "$work/expected.png"
    check "the screen shows the picture blended over the desktop" \
        shot_until alert-transparent "$(field "$line" x)" "$(field "$line" y)" \
        "$picture_w" "$picture_h" looks_like "$work/expected.png"
    check "the alert is blended at constant alpha 254, not 255" \
        constant_alpha_is 254 "$shots/alert-transparent.png"

    # A left click dismisses it; on battery it stays away.
    local point
    point=$(opaque_point)
    xdotool mousemove $(($(field "$line" x) + ${point% *})) $(($(field "$line" y) + ${point#* })) click 1
    check "a left click hides the alert" probe_ok await "$alert_title" hidden 3000
    set_battery battery 55
    expect_tray "Ohmwatch - 55%" 1060
    check "a dismissed alert stays hidden on further changes" stays_hidden "$alert_title"
    set_battery ac 55
    expect_tray "Ohmwatch - charging (55%)" 2060
    check "mains power keeps the alert hidden" stays_hidden "$alert_title"
    set_battery battery 50
    expect_tray "Ohmwatch - 50%" 1060
    check "unplugging again shows the alert anew" probe_ok await "$alert_title" visible 3000

    # Closing hides without dismissing.
    probe_ok close "$alert_title"
    check "closing the alert hides it" probe_ok await "$alert_title" hidden 3000
    set_battery battery 45
    expect_tray "Ohmwatch - 45%" 1040
    check "a closed alert comes back at the next change" probe_ok await "$alert_title" visible 3000
    # Shown with SW_SHOW it is the active window and has the keyboard.
    xdotool key alt+F4
    check "Alt+F4 hides the alert" probe_ok await "$alert_title" hidden 3000
    set_battery battery 44
    expect_tray "Ohmwatch - 44%" 1040
    check "after Alt+F4 the alert comes back at the next change" \
        probe_ok await "$alert_title" visible 3000
    xdotool mousemove $(($(field "$line" x) + ${point% *})) $(($(field "$line" y) + ${point#* })) click 1
    probe_ok await "$alert_title" hidden 3000 || fail "the alert did not go on a click"

    # The status window.
    shell_command dblclick
    line=$(probe await Ohmwatch visible 3000 | head -1)
    check "a double click shows the status window" [ "$(field "$line" visible)" = 1 ]
    check "the status window's client area is 280 x 104" \
        [ "$(field "$line" cw)x$(field "$line" ch)" = 280x104 ]
    local ox oy
    ox=$(field "$line" ox)
    oy=$(field "$line" oy)
    # The gauge's green level: at 44 % it reaches y = 96 - 37, at 30 % only 96 - 25.
    check "the gauge is green at y = 64 at 44 %" shot_until status-44 "$ox" "$oy" 280 104 gauge_is 200,0
    set_battery battery 30
    expect_tray "Ohmwatch - 30%" 1040
    check "the status window follows the change (red at y = 64 at 30 %)" \
        shot_until status "$ox" "$oy" 280 104 gauge_is 0,200
    probe_ok close Ohmwatch
    check "closing the status window hides it" probe_ok await Ohmwatch hidden 3000
    check "the status window is hidden, not destroyed" probe_ok await Ohmwatch present 0

    # About and Options: one window each, a new one after closing.
    local title downs first second third
    for title in "Ohmwatch - About" "Ohmwatch - Options"; do
        [ "$title" = "Ohmwatch - About" ] && downs=2 || downs=1
        choose_menu $downs || fail "the menu did not open for $title"
        first=$(probe await "$title" visible 3000 | head -1)
        check "\"$title\" opens" [ -n "$first" ]
        choose_menu $downs || fail "the menu did not open for $title"
        sleep 0.3
        check "choosing \"$title\" again gives no second window" \
            [ "$(probe list "$title" | grep -c 'visible=1')" = 1 ]
        second=$(window_line "$title")
        check "choosing \"$title\" again keeps the same window" \
            [ "$(field "$first" hwnd)" = "$(field "$second" hwnd)" ]
        if [ "$title" = "Ohmwatch - Options" ]; then
            # The about window, open again, takes the focus from the options
            # window; choosing "Options" gives it back.
            check "the new options window has the focus" [ "$(field "$second" focus)" = 1 ]
            choose_menu 2
            check "\"About\" focuses the open about window" \
                wait_until 3 eval '[ "$(field "$(window_line "Ohmwatch - About")" focus)" = 1 ]'
            choose_menu 1
            check "\"Options\" focuses the open options window" \
                wait_until 3 eval '[ "$(field "$(window_line "Ohmwatch - Options")" focus)" = 1 ]'
            check "still one about and one options window" \
                [ "$(probe list "Ohmwatch - About" | grep -c .)$(probe list "$title" | grep -c .)" = 11 ]
        fi
        check "\"$title\" is 340 wide" [ "$(field "$first" cw)" = 340 ]
        painted() { # shot: light grey background with dark text in the first line
            [ "$("$convert" "$1" -format '%[fx:int(255*p{330,90}.r)]' info:)" = 250 ] &&
                [ "$("$convert" "$1" -crop 150x20+10+10 -format '%[fx:int(255*minima.r)]' info:)" -lt 100 ]
        }
        check "\"$title\" is painted" shot_until "${title#Ohmwatch - }" "$(field "$first" ox)" \
            "$(field "$first" oy)" "$(field "$first" cw)" "$(field "$first" ch)" painted
        probe_ok close "$title"
        check "closing \"$title\" destroys it" probe_ok await "$title" absent 3000
        # The next tick deletes the closed window's object.
        sleep 0.3
        choose_menu $downs || fail "the menu did not open for $title"
        third=$(probe await "$title" visible 3000 | head -1)
        check "\"$title\" after closing gives a new window" \
            [ -n "$third" -a "$(field "$third" hwnd)" != "$(field "$first" hwnd)" ]
        # The about window stays open while the options window is tried.
        [ "$title" = "Ohmwatch - Options" ] && probe_ok close "Ohmwatch - About"
    done
    check "the program keeps running after its windows closed" kill -0 "$app_pid"

    # Dismissing the menu does nothing.
    choose_menu 0 || fail "the menu did not open to be dismissed"
    check "a dismissed menu leaves the program running" kill -0 "$app_pid"

    # A restarted shell gets the icon back as it was.
    local mark
    mark=$(wc -l <"$shell_log")
    shell_command restart
    if wait_until 5 bash -c "tail -n +$((mark + 1)) '$shell_log' | grep -q '^ADD result=1'"; then
        log "ok: the icon is added again after the shell restarted"
        expect_tray "Ohmwatch - 30%" 1040
    else
        fail "the icon did not come back after the shell restarted"
    fi
    # A new shell process, as when the taskbar crashed and came back: it
    # announces itself with "TaskbarCreated".
    stop_shell
    start_shell
    shell_command taskbarcreated
    if wait_until 5 grep -qs '^ADD result=1' "$shell_log"; then
        log "ok: the icon is added to a new shell"
        expect_tray "Ohmwatch - 30%" 1040
    else
        fail "the icon was not added to a new shell"
    fi

    exit_through_menu
    stop_shell
    # The output stream is flushed when the program ends.
    check "the settings lines were echoed on standard output" \
        diff <(tr -d '\r' <"$app/stdout.txt") "$app/Ohmwatch.ini"
}

# Shows the alert only when the charge first reaches the threshold.
scenario_threshold() {
    log "== AlertShowPercent:20, AlertOpacity:50"
    prepare_app threshold 'AlertShowPercent:20' 'AlertOpacity:50'
    set_battery battery 50
    start_shell
    start_app
    expect_tray "Ohmwatch - 50%" 1060 20
    check "above the threshold there is no alert" stays_hidden "$alert_title"
    set_battery battery 21
    expect_tray "Ohmwatch - 21%" 1020
    check "at 21 % there is no alert" stays_hidden "$alert_title"
    # A hung notification area may hold back the tooltip, never the alert.
    shell_command "freeze 8"
    wait_until 5 grep -qs '^CMD freeze' "$shell_log" || fail "the test shell did not freeze"
    set_battery battery 20
    check "at 20 % the alert shows while the shell is frozen" probe_ok await "$alert_title" visible 3000
    expect_tray "Ohmwatch - 20%" 1020 15
    local line
    line=$(window_line "$alert_title")
    check "at opacity 50 the alert is blended at constant alpha 127" \
        shot_until alert-opacity-50 "$(field "$line" x)" "$(field "$line" y)" "$picture_w" \
        "$picture_h" constant_alpha_is 127
    # Mains power without a battery: no charge to show.
    set_battery nobattery 0
    expect_tray "Ohmwatch - plugged in" 3000
    check "on mains power without a battery the alert hides" \
        probe_ok await "$alert_title" hidden 3000
    exit_through_menu
    stop_shell
}

scenario_switched_off() {
    log "== AlertDoShow:0"
    prepare_app switched-off 'AlertDoShow:0'
    set_battery battery 40
    # Started before the notification area, as at log-on: the icon appears
    # at the next change once a shell is there. The tray's window is the
    # third; the first add, which finds no shell, follows it at once.
    start_app
    wait_until 20 eval '[ "$(probe class Orvu_Window | grep -c .)" -ge 3 ]' ||
        fail "the monitor's windows did not appear"
    start_shell
    check "a switched-off alert does not show" stays_hidden "$alert_title"
    set_battery battery 5
    expect_tray "Ohmwatch - 5%" 1000
    check "a switched-off alert does not show at 5 %" stays_hidden "$alert_title"
    exit_through_menu
    stop_shell
}

scenario_opaque() {
    log "== AlertUseTransparency:0"
    prepare_app opaque 'AlertUseTransparency:0'
    set_battery battery 60
    start_shell
    start_app
    expect_tray "Ohmwatch - 60%" 1060 20
    local line
    line=$(probe await "$alert_title" visible 5000 | head -1)
    check "the opaque alert is visible" [ "$(field "$line" visible)" = 1 ]
    check "the opaque alert is not layered" [ "$(field "$line" layered)" = 0 ]
    check "the opaque alert is top-most" [ "$(field "$line" topmost)" = 1 ]
    check "the opaque alert has the picture's size" \
        [ "$(field "$line" w)x$(field "$line" h)" = "${picture_w}x${picture_h}" ]
    # Painted with the picture blended at 254/255 onto a black buffer.
    "$convert" "$picture" -background black -alpha remove "$work/on-black.png"
    check "the opaque alert is painted with the picture" \
        shot_until alert-opaque "$(field "$line" x)" "$(field "$line" y)" "$picture_w" "$picture_h" \
        looks_like "$work/on-black.png"
    exit_through_menu
    stop_shell
}

scenario_banner() {
    log "== missing picture"
    prepare_app banner 'AlertImage:no-such-picture.png'
    set_battery battery 60
    start_shell
    start_app
    expect_tray "Ohmwatch - 60%" 1060 20
    local line
    line=$(probe await "$alert_title" visible 5000 | head -1)
    check "the banner is at -17, 294 and 1400 x 180" \
        [ "$(field "$line" x),$(field "$line" y),$(field "$line" w),$(field "$line" h)" = "-17,294,1400,180" ]
    check "the banner is not layered" [ "$(field "$line" layered)" = 0 ]
    check "the banner is red with its texts" shot_until banner 0 294 1366 180 is_red
    check "the banner's whole text is on the screen" text_on_screen 1366 "$shots/banner.png"
    exit_through_menu
    stop_shell
}

# Plugins that throw from each of their calls beside the good ones: the
# throwing module copied once per call from the test build
# (plugin-throwing/ beside the probe). The alert picture's extension is the
# one of the module whose Load throws, so the alert falls back to the banner.
scenario_bad_plugins() {
    log "== plugins that throw"
    prepare_app bad-plugins 'AlertImage:alert.load'
    cp "$(dirname "$probe_exe")"/plugin-throwing/OPPic_tThrow*.dll "$app/plugins/"
    set_battery ac 80
    start_shell
    ORVU_TEST_PLUGIN_THROW_LOG=$(winpath "$app/threw.log") start_app
    expect_tray "Ohmwatch - charging (80%)" 2080 20
    set_battery battery 60
    expect_tray "Ohmwatch - 60%" 1060
    local line
    line=$(probe await "$alert_title" visible 5000 | head -1)
    check "the alert shows" [ "$(field "$line" visible)" = 1 ]
    check "the alert is the banner" [ "$(field "$line" layered),$(field "$line" h)" = 0,180 ]
    check "the banner is red with its texts" shot_until banner-bad-plugins 0 294 1366 180 is_red
    exit_through_menu
    stop_shell
    check "the plugins threw from Version, Create, Load and Release" \
        [ "$(tr -d '\r' <"$app/threw.log" | sort | tr '\n' ' ')" = "Create threw Load threw Release threw Version threw " ]
}

# The economical watch (PowerCheckSeconds 1 to 127): the run loop waits for
# messages, and the monitor checks the power status at start, when the
# system announces a change (the probe stands in for Windows, whose
# announcements Wine never sends) and every N seconds. To the user it is the
# designed monitor: the same tray, alert, status window, windows and "Exit".
scenario_economical() {
    log "== PowerCheckSeconds:2: start on mains, an unannounced unplug, alert, plug in, exit"
    prepare_app economical 'PowerCheckSeconds:2'
    set_battery ac 80
    start_shell
    start_app
    expect_tray "Ohmwatch - charging (80%)" 2080 20
    check "no window is visible at start" [ "$(visible_windows)" = 0 ]
    unplug_within 2500 "an unannounced unplugging is seen within 2 s"
    check "the alert is visible" probe_ok await "$alert_title" visible 1000
    set_battery ac 80
    expect_tray "Ohmwatch - charging (80%)" 2080
    check "plugged in, the alert hides" probe_ok await "$alert_title" hidden 1000
    exit_through_menu
    stop_shell

    # A check every 127 s (383 after the 8-bit cut): within this run only
    # the announcements make the monitor look.
    log "== PowerCheckSeconds:383: announced changes, status window, about, exit"
    prepare_app economical-announced 'PowerCheckSeconds:383'
    set_battery ac 80
    start_shell
    start_app
    expect_tray "Ohmwatch - charging (80%)" 2080 20
    set_battery battery 60
    sleep 1
    check "unannounced, the unplugging waits for the timer" tray_shows "Ohmwatch - charging (80%)" 2080
    check "unannounced, no alert yet" is_hidden "$alert_title"
    t0=$(date +%s%N)
    probe_ok broadcast power || fail "the power broadcast did not go out"
    check "announced, the alert shows at once" probe_ok await "$alert_title" visible 1000
    wait_until 1 tray_shows "Ohmwatch - 60%" 1060 || true
    t1=$(date +%s%N)
    expect_tray "Ohmwatch - 60%" 1060 0
    log "announced unplugging to tooltip: $(((t1 - t0) / 1000000)) ms"
    shell_command dblclick
    local line
    line=$(probe await Ohmwatch visible 3000 | head -1)
    check "the status window shows the gauge green at y = 64 at 60 %" \
        shot_until status-economical "$(field "$line" ox)" "$(field "$line" oy)" 280 104 gauge_is 200,0
    probe_ok close Ohmwatch
    set_battery ac 80
    probe_ok broadcast resume || fail "the resume broadcast did not go out"
    expect_tray "Ohmwatch - charging (80%)" 2080 1
    check "plugged in and announced as a resume, the alert hides" \
        probe_ok await "$alert_title" hidden 1000
    # A closed window is deleted at once: "About" right after closing gives
    # a new one.
    local first second
    choose_menu 2 || fail "the menu did not open for About"
    first=$(probe await "Ohmwatch - About" visible 3000 | head -1)
    probe_ok close "Ohmwatch - About"
    check "closing \"Ohmwatch - About\" destroys it" probe_ok await "Ohmwatch - About" absent 3000
    choose_menu 2 || fail "the menu did not open for About again"
    second=$(probe await "Ohmwatch - About" visible 3000 | head -1)
    check "\"About\" right after closing gives a new window" \
        [ -n "$second" -a "$(field "$second" hwnd)" != "$(field "$first" hwnd)" ]
    probe_ok close "Ohmwatch - About"
    exit_through_menu
    stop_shell
}

# Started with another current folder (a Run key, a scheduled task, a
# command prompt in Downloads) that holds a plugin module of its own and no
# settings or picture: the program loads only the plugins beside it, reads the
# settings beside it and shows its own picture. The foreign module would
# throw from its first call and note that in a log.
scenario_foreign_folder() {
    log "== started from another folder with a plugin of its own"
    prepare_app foreign 'AlertShowPercent:50'
    local elsewhere=$work/elsewhere line
    rm -rf "$elsewhere"
    mkdir -p "$elsewhere/plugins"
    cp "$(dirname "$probe_exe")"/plugin-throwing/OPPic_tThrowVersion.dll "$elsewhere/plugins/"
    set_battery battery 60
    start_shell
    screenshot desktop-foreign $(((screen_w - picture_w) / 2)) $(((screen_h - picture_h) / 2)) \
        "$picture_w" "$picture_h"
    ORVU_TEST_PLUGIN_THROW_LOG=$(winpath "$work/foreign-threw.log") start_app "$elsewhere"
    expect_tray "Ohmwatch - 60%" 1060 20
    check "at 60 % there is no alert (AlertShowPercent:50 beside the program)" \
        stays_hidden "$alert_title"
    set_battery battery 40
    expect_tray "Ohmwatch - 40%" 1040
    line=$(probe await "$alert_title" visible 3000 | head -1)
    check "at 40 % the alert is the program's own picture, layered" \
        [ "$(field "$line" layered),$(field "$line" w)x$(field "$line" h)" = "1,${picture_w}x${picture_h}" ]
    expected_transparent "$shots/desktop-foreign.png" "$work/expected-foreign.png"
    check "the screen shows the program's own picture" \
        shot_until alert-foreign "$(field "$line" x)" "$(field "$line" y)" "$picture_w" "$picture_h" \
        looks_like "$work/expected-foreign.png"
    exit_through_menu
    stop_shell
    check "the other folder's plugin was not loaded" [ ! -e "$work/foreign-threw.log" ]
    check "the settings beside the program were read" \
        diff <(tr -d '\r' <"$app/stdout.txt") "$app/Ohmwatch.ini"
}

# The pixels of a screenshot in one colour.
count_colour() { # colour, shot
    "$convert" "$2" -alpha off -fill black +opaque "$1" -fill white -opaque "$1" \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
# The status window without green: a charge that is not known fills nothing.
no_level() { # shot: no green pixel, the gauge's body red at its top, nothing above it
    [ "$(count_colour 'rgb(0,200,0)' "$1")" = 0 ] &&
        [ "$("$convert" "$1" -format '%[fx:int(255*p{240,10}.r)],%[fx:int(255*p{240,5}.r)]' info:)" = 200,250 ]
}
full_level() { # shot: green from the body's top row, background above it
    [ "$("$convert" "$1" -format '%[fx:int(255*p{240,10}.g)],%[fx:int(255*p{240,9}.g)]' info:)" = 200,250 ]
}
# No popup menu shows within half a second: a menu opened once is not
# followed by a second.
no_second_menu() {
    sleep 0.5
    ! probe class '#32768' | grep -q 'visible=1'
}
# The options window's client area as a person sees it (shot name).
options_shot() { # name
    local line
    line=$(probe await "Ohmwatch - Options" visible 3000 | head -1)
    [ -n "$line" ] || return 1
    sleep 0.3
    screenshot "$1" "$(field "$line" ox)" "$(field "$line" oy)" "$(field "$line" cw)" "$(field "$line" ch)"
    probe_ok close "Ohmwatch - Options"
}
# Whether two shots of the options window are alike in one band of rows.
rows_alike() { # a.png, b.png, top, height
    "$convert" "$1" -crop "340x$4+0+$3" +repage "$work/rows-a.png"
    "$convert" "$2" -crop "340x$4+0+$3" +repage "$work/rows-b.png"
    [ "$(compare -metric AE "$work/rows-a.png" "$work/rows-b.png" null: 2>&1 || true)" = 0 ]
}
rows_differ() { ! rows_alike "$@"; }

# Only what the system reports, and the icon from the keyboard: a desktop
# without battery, a battery whose charge the system does not know and a
# full battery on mains power that does not charge, in the tray and in the
# status window; Enter and the menu key on the icon; the options window
# showing the settings in effect.
scenario_reported() {
    log "== what the system reports: desktop, unknown charge, full battery; the keyboard"
    # The options window with the default settings, for comparison.
    prepare_app reported-defaults
    set_battery nobattery 0
    start_shell
    start_app
    expect_tray "Ohmwatch - plugged in" 3000 20
    shell_command contextmenu
    probe_ok menu 1 || fail "the menu key did not open the menu for Options"
    options_shot options-default || fail "the options window did not open"
    exit_through_menu
    stop_shell

    prepare_app reported 'AlertShowPercent:30'
    set_battery nobattery 0
    start_shell
    start_app
    expect_tray "Ohmwatch - plugged in" 3000 20
    check "the icon asked for the keyboard-aware notifications and got them" \
        grep -q '^SETVERSION result=1 .* version=3' "$shell_log"
    check "on mains power without a battery there is no alert" stays_hidden "$alert_title"

    # Enter or Space on the icon shows the status window, as a double click does.
    shell_command keyselect
    local line ox oy
    line=$(probe await Ohmwatch visible 3000 | head -1)
    check "Enter on the icon shows the status window" [ "$(field "$line" visible)" = 1 ]
    ox=$(field "$line" ox)
    oy=$(field "$line" oy)
    check "at 255 % nothing in the status window is green" \
        shot_until status-unknown-charge "$ox" "$oy" 280 104 no_level

    set_battery ac 100 Full
    expect_tray "Ohmwatch - plugged in (100%)" 2100
    check "a full battery fills the gauge to its top and no further" \
        shot_until status-full-not-charging "$ox" "$oy" 280 104 full_level

    set_battery battery unknown
    expect_tray "Ohmwatch - on battery" 3000
    check "on battery with an unknown charge there is no alert at 30 %" stays_hidden "$alert_title"
    check "on battery with an unknown charge nothing is green" \
        shot_until status-battery-unknown "$ox" "$oy" 280 104 no_level
    probe_ok close Ohmwatch

    # The menu key opens the menu once; a right click too.
    shell_command contextmenu
    check "the menu key opens the menu" probe_ok menu 0
    check "the menu key opens the menu only once" no_second_menu
    shell_command rclick
    check "a right click opens the menu" probe_ok menu 0
    check "a right click opens the menu only once" no_second_menu

    shell_command contextmenu
    probe_ok menu 1 || fail "the menu key did not open the menu for Options"
    options_shot options-30 || fail "the options window did not open"
    check "the options window's first line is the same as with the defaults (\"Show alert = true\")" \
        rows_alike "$shots/options-default.png" "$shots/options-30.png" 8 20
    check "the options window's second line differs from the defaults' (30 %, not 100 %)" \
        rows_differ "$shots/options-default.png" "$shots/options-30.png" 28 22
    exit_through_menu
    stop_shell
}

# Whether the title bar at the top of a window's frame (Wine draws it for
# unmanaged windows) shows icon 101's own image of that size: searched in the
# top-left corner, over each of the corner's three commonest colours (the
# caption's is one of them).
caption_shows_icon() { # size, screenshot of the frame
    local size=$1 ico=$ORVU_SOURCE_DIR/apps/Ohmwatch/art/icons/ohmwatch-101.ico index colour found
    index=$(identify "$ico" | awk -v s="${size}x${size}" \
        '$3 == s { match($1, /\[[0-9]+\]/); print substr($1, RSTART + 1, RLENGTH - 2); exit }')
    "$convert" "$2" -crop "$((size * 3))x$((size * 2))+0+0" +repage "$work/caption.png"
    for colour in $("$convert" "$work/caption.png" -format %c histogram:info:- | sort -rn | head -3 |
        sed 's/.*\(#[0-9A-Fa-f]*\).*/\1/'); do
        "$convert" "$ico[$index]" -background "$colour" -flatten "$work/caption-icon.png"
        found=$(compare -metric AE -subimage-search "$work/caption.png" "$work/caption-icon.png" \
            null: 2>&1 || true)
        [ "${found%% *}" = 0 ] && log "icon 101 at $size pixels in the title bar at ${found#* @ }" &&
            return 0
    done
    return 1
}

# The monitor at a display scaling above 100 %, as its user sees it: the
# tray's pictures are the groups' own images of the scaled small-icon size,
# the status, about and options windows and the banner are their 96 DPI
# design grown by the scale, the title bar shows the program's icon at the
# scaled size, and the alert picture keeps its own pixels.
scenario_scaled() {
    local dpi=${ORVU_E2E_DPI:?ORVU_E2E_DPI names the prefix scaling}
    log "== $dpi DPI: tray pictures, windows and banner scaled"
    # Design pixels at 96 DPI to pixels at this scaling, rounded.
    px() { echo $((($1 * dpi + 48) / 96)); }
    local tray_size
    tray_size=$(px 16)
    read_icon_sums "$ORVU_OUTPUT_DIR/Ohmwatch.exe" "$tray_size"
    prepare_app scaled-banner 'AlertImage:no-such-picture.png'
    set_battery ac 80
    start_shell
    start_app
    expect_tray "Ohmwatch - charging (80%)" 2080 20
    check "the charging band is the group's ${tray_size}-pixel image" \
        [ "$(current_icon | cut -d' ' -f1)" = "icon=${tray_size}x${tray_size}" ]
    set_battery battery 60
    expect_tray "Ohmwatch - 60%" 1060

    # The banner: 1400 x 180 scaled, centred on the screen, red with its text.
    local line w h
    w=$(px 1400)
    h=$(px 180)
    line=$(probe await "$alert_title" visible 5000 | head -1)
    check "the banner is $w x $h, centred" \
        [ "$(field "$line" x),$(field "$line" y),$(field "$line" w),$(field "$line" h)" = \
        "$(((screen_w - w) / 2)),$(((screen_h - h) / 2)),$w,$h" ]
    local top=$(field "$line" y) left=$((-$(field "$line" x)))
    banner_drawn() { # red above the title and below the hint; dark title text
        [ "$("$convert" "$1" -format "%[fx:int(255*p{$((screen_w / 2)),$(px 4)}.r)],%[fx:int(255*p{$((screen_w / 2)),$(px 4)}.g)] %[fx:int(255*p{$(($(px 1000) - left)),$(px 176)}.r)],%[fx:int(255*p{$(($(px 1000) - left)),$(px 176)}.g)]" info:)" = "255,0 255,0" ] &&
            [ "$("$convert" "$1" -crop "$(px 400)x$(px 100)+$(px 300)+$(px 30)" -format '%[fx:int(255*minima.r)]' info:)" -lt 60 ]
    }
    check "the banner is red with its texts" \
        shot_until "banner-${dpi}dpi" 0 "$top" "$screen_w" "$h" banner_drawn
    xdotool mousemove $((screen_w / 2)) $((top + $(px 4))) click 1
    check "a left click hides the banner" probe_ok await "$alert_title" hidden 3000

    # The status window: 280 x 104 scaled, its gauge green up to 60 %.
    shell_command dblclick
    line=$(probe await Ohmwatch visible 3000 | head -1)
    check "the status window's client area is $(px 280) x $(px 104)" \
        [ "$(field "$line" cw)x$(field "$line" ch)" = "$(px 280)x$(px 104)" ]
    status_drawn() { # the gauge red at its top, green at 60 %; dark heading text
        [ "$("$convert" "$1" -format "%[fx:int(255*p{$(px 240),$(px 20)}.r)],%[fx:int(255*p{$(px 240),$(px 64)}.g)]" info:)" = 200,200 ] &&
            [ "$("$convert" "$1" -crop "$(px 150)x$(px 20)+$(px 10)+$(px 10)" -format '%[fx:int(255*minima.r)]' info:)" -lt 100 ]
    }
    check "the status window and its gauge are drawn at the scale" \
        shot_until "status-${dpi}dpi" "$(field "$line" ox)" "$(field "$line" oy)" \
        "$(field "$line" cw)" "$(field "$line" ch)" status_drawn
    check "the status window's title bar shows icon 101's own ${tray_size}-pixel image" \
        shot_until "status-frame-${dpi}dpi" "$(field "$line" x)" "$(field "$line" y)" \
        "$(field "$line" w)" "$(field "$line" h)" caption_shows_icon "$tray_size"
    probe_ok close Ohmwatch

    # About and Options: 340 x 100 and 340 x 200 scaled, painted.
    local title downs size
    for title in "Ohmwatch - About" "Ohmwatch - Options"; do
        [ "$title" = "Ohmwatch - About" ] && downs=2 size="$(px 340)x$(px 100)" ||
            downs=1 size="$(px 340)x$(px 200)"
        choose_menu $downs || fail "the menu did not open for $title"
        line=$(probe await "$title" visible 3000 | head -1)
        check "\"$title\" has a client area of $size" [ "$(field "$line" cw)x$(field "$line" ch)" = "$size" ]
        window_drawn() { # light grey ground; dark text in the first line
            [ "$("$convert" "$1" -format "%[fx:int(255*p{$(px 330),$(px 90)}.r)]" info:)" = 250 ] &&
                [ "$("$convert" "$1" -crop "$(px 150)x$(px 16)+$(px 10)+$(px 12)" -format '%[fx:int(255*minima.r)]' info:)" -lt 100 ]
        }
        check "\"$title\" is painted at the scale" \
            shot_until "$(tr 'A-Z' 'a-z' <<<"${title#Ohmwatch - }")-${dpi}dpi" "$(field "$line" ox)" \
            "$(field "$line" oy)" "$(field "$line" cw)" "$(field "$line" ch)" window_drawn
        probe_ok close "$title"
    done
    exit_through_menu
    stop_shell

    # The alert picture keeps its own pixels, centred.
    prepare_app scaled-picture
    set_battery battery 60
    start_shell
    start_app
    line=$(probe await "$alert_title" visible 20000 | head -1)
    check "the alert picture keeps its size ${picture_w} x ${picture_h}, centred" \
        [ "$(field "$line" x),$(field "$line" y),$(field "$line" w),$(field "$line" h)" = \
        "$(((screen_w - picture_w) / 2)),$(((screen_h - picture_h) / 2)),$picture_w,$picture_h" ]
    exit_through_menu
    stop_shell
}

# Settings files as Notepad saves them: UTF-8 with and without the mark,
# "Unicode" (UTF-16 with the mark), and the 8-bit Latin-1 of older editors.
scenario_encodings() {
    log "== settings in UTF-8, UTF-8 with mark, UTF-16 and Latin-1; a blank after the colon"
    # A picture of its own size, so that the alert's size tells which file it shows.
    "$convert" "$picture" -resize 300x200! "PNG32:$work/named.png"
    utf16() { printf '\xff\xfe'; printf "$@" | iconv -f UTF-8 -t UTF-16LE; }
    start_shell
    local case label file format size line mark
    # label | picture file | settings file's bytes (printf format)
    for case in "utf8|Zoë.png|AlertImage:Zoë.png\n" "latin1|Zoë.png|AlertImage:Zo\xeb.png\n" \
        "chinese|图片.png|AlertImage:图片.png\r\n" \
        "blank|power-disconnected.png|AlertImage: power-disconnected.png\n"; do
        IFS='|' read -r label file format <<<"$case"
        prepare_app "encoding-$label"
        printf "$format" >"$app/Ohmwatch.ini"
        [ "$file" = power-disconnected.png ] || cp "$work/named.png" "$app/$file"
        set_battery battery 60
        start_app
        line=$(probe await "$alert_title" visible 20000 | head -1)
        [ "$file" = power-disconnected.png ] && size=${picture_w}x${picture_h} || size=300x200
        check "$label: the alert shows $file" \
            [ "$(field "$line" layered),$(field "$line" w)x$(field "$line" h)" = "1,$size" ]
        exit_through_menu
    done
    for label in utf16 utf8-mark; do
        prepare_app "encoding-$label"
        if [ "$label" = utf16 ]; then
            utf16 'AlertShowPercent:30\r\nAlertImage:Zoë.png\r\n' >"$app/Ohmwatch.ini"
        else
            printf '\xef\xbb\xbfAlertShowPercent:30\r\nAlertImage:Zoë.png\r\n' >"$app/Ohmwatch.ini"
        fi
        cp "$work/named.png" "$app/Zoë.png"
        set_battery battery 60
        mark=$(wc -l <"$shell_log")
        start_app
        # This monitor's own first tooltip, not the one before it.
        wait_until 20 bash -c "tail -n +$((mark + 1)) '$shell_log' | grep -q 'tip=\"Ohmwatch - 60%\"'" ||
            fail "$label: the monitor did not show its icon"
        check "$label: AlertShowPercent:30 on line 1 keeps the alert hidden at 60 %" \
            stays_hidden "$alert_title"
        set_battery battery 25
        line=$(probe await "$alert_title" visible 3000 | head -1)
        check "$label: at 25 % the alert shows Zoë.png" \
            [ "$(field "$line" visible),$(field "$line" w)x$(field "$line" h)" = "1,300x200" ]
        exit_through_menu
        # One line echoed per line read, in UTF-8 for both.
        check "$label: the lines were echoed in UTF-8" \
            diff <(tr -d '\r' <"$app/stdout.txt") <(printf 'AlertShowPercent:30\nAlertImage:Zoë.png\n')
    done
    stop_shell
}

# A laptop taken off its dock: the resolution changes as the power goes.
# Runs only in a Wine virtual desktop, whose size the probe changes.
scenario_undock() {
    log "== undocking: the alert follows the screen's changes"
    local x y line
    set_display 1366x768 || return
    prepare_app undock
    set_battery ac 80
    start_shell
    start_app
    expect_tray "Ohmwatch - charging (80%)" 2080 20
    shell_command dblclick
    local status
    status=$(probe await Ohmwatch visible 3000 | head -1)
    log "status window: $status"
    # The desktop where the alert goes after the change, for the blend.
    x=$(((800 - picture_w) / 2))
    y=$(((600 - picture_h) / 2))
    screenshot undock-desktop "$x" "$y" "$picture_w" "$picture_h"
    set_battery battery 60
    probe_ok await "$alert_title" visible 3000 || fail "the alert did not show"
    check "at 1366 x 768 the alert is centred" \
        alert_at $(((1366 - picture_w) / 2)) $(((768 - picture_h) / 2))
    set_display 800x600
    check "after a change to 800 x 600 the shown alert is at $x, $y" wait_until 3 alert_at "$x" "$y"
    line=$(window_line Ohmwatch)
    check "the status window is not moved" \
        [ "$(field "$line" x),$(field "$line" y)" = "$(field "$status" x),$(field "$status" y)" ]
    expected_transparent "$shots/undock-desktop.png" "$work/expected-undock.png"
    check "the moved alert still shows its picture" \
        shot_until alert-undocked "$x" "$y" "$picture_w" "$picture_h" looks_like "$work/expected-undock.png"
    # An alert shown later is centred on the screen of its own moment.
    set_battery ac 60
    probe_ok await "$alert_title" hidden 3000 || fail "mains power did not hide the alert"
    set_display 1024x768
    set_battery battery 55
    probe_ok await "$alert_title" visible 3000 || fail "the alert did not show again"
    check "shown again after a change to 1024 x 768 the alert is centred there" \
        alert_at $(((1024 - picture_w) / 2)) $(((768 - picture_h) / 2))
    exit_through_menu
    stop_shell

    # The banner, wider than the screen: its text stays whole on the screen.
    set_display 800x600
    prepare_app undock-banner 'AlertImage:no-such-picture.png'
    set_battery battery 60
    start_shell
    start_app
    probe_ok await "$alert_title" visible 20000 || fail "the banner did not show"
    check "at 800 x 600 the banner is at -300, 210" alert_at -300 210
    check "at 800 x 600 the banner's whole text is on the screen" \
        shot_until banner-800 0 210 800 180 text_on_screen 800
    set_display 1024x768
    check "after a change to 1024 x 768 the banner is at -188, 294" wait_until 3 alert_at -188 294
    check "at 1024 x 768 the banner's whole text is on the screen" \
        shot_until banner-1024 0 294 1024 180 text_on_screen 1024
    exit_through_menu
    stop_shell
    set_display 1366x768
}

for scenario in ${ORVU_E2E_ONLY:-defaults threshold switched_off opaque banner bad_plugins reported foreign_folder encodings economical}; do
    "scenario_$scenario"
done

if [ -n "${ORVU_SCREENSHOT_DIR:-}" ]; then
    log "screenshots in $shots"
fi
if [ "$failures" -ne 0 ]; then
    log "$failures check(s) failed"
    exit 1
fi
log "all checks passed"
