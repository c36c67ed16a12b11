# Shell helpers shared by the end-to-end drivers (tests/monitor/e2e.sh,
# tests/release/e2e.sh), sourced by them. Each drives the real Ohmwatch.exe
# under Wine and Xvfb with a simulated battery and watches it only from
# outside: its windows through monitor_probe.exe, its notification-area icon
# through test_shell.exe.
#
# The driver sets probe_exe, shell_exe and fake_battery, calls
# e2e_enter_battery_namespace "$0" "$@" first, and then has work (its
# temporary folder) and battery. It sets app (the folder the program runs in)
# before start_app.

# The simulated battery works in a private mount namespace: the driver starts
# itself again inside one, with the battery folder bound over the system's.
e2e_enter_battery_namespace() { # driver, its arguments...
    if [ -n "${ORVU_E2E_INNER:-}" ]; then
        work=$ORVU_E2E_WORK
        battery=$work/battery
        return 0
    fi
    local driver=$1
    shift
    work=$(mktemp -d /tmp/ohmwatch-e2e.XXXXXX)
    "$fake_battery" set "$work/battery" ac 80
    local status=0
    ORVU_E2E_INNER=1 ORVU_E2E_WORK=$work \
        "$fake_battery" run "$work/battery" bash ${ORVU_E2E_TRACE:+-x} "$driver" "$@" || status=$?
    rm -rf "$work"
    exit $status
}

failures=0
app_pid=
shell_pid=

log() { echo "[$(date +%H:%M:%S.%N | cut -c1-12)] $*"; }
fail() {
    log "FAIL: $*"
    failures=$((failures + 1))
}
check() { # description, command...
    local what=$1
    shift
    if "$@"; then log "ok: $what"; else fail "$what"; fi
}

winpath() { echo "Z:${1//\//\\}"; }
probe() { wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r' || true; }
# Exit status of a probe call; its output is dropped.
probe_ok() { wine "$probe_exe" "$@" >/dev/null 2>&1; }

# Waits until the command succeeds; polls every 50 ms.
wait_until() { # timeout_s, command...
    local timeout=$1
    shift
    local end=$(($(date +%s%N) + timeout * 1000000000))
    while ! "$@"; do
        [ "$(date +%s%N)" -lt "$end" ] || return 1
        sleep 0.05
    done
}

field() { # line, key: the value of key=value (values without blanks)
    tr ' ' '\n' <<<"$1" | sed -n "s/^$2=//p" | head -1
}

cleanup() {
    [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
    [ -n "$shell_pid" ] && kill -9 "$shell_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

# --- the notification area, as the test shell sees it ---------------------

shell_log=
shell_cmd=
# Extra arguments are test_shell options; $shell_timeout (default 300 s)
# bounds the shell's life.
start_shell() {
    shell_log=$work/shell.log
    shell_cmd=$work/shell.cmd
    local attempt
    for attempt in 1 2 3 4 5; do
        rm -f "$shell_log" "$shell_cmd"
        wine "$shell_exe" --log "$(winpath "$shell_log")" --commands "$(winpath "$shell_cmd")" \
            --timeout "${shell_timeout:-300}" "$@" >/dev/null 2>&1 &
        shell_pid=$!
        wait_until 20 grep -qs -E '^(READY|ERROR)' "$shell_log" || break
        grep -qs '^READY' "$shell_log" && return 0
        log "the test shell could not create its window yet; trying again"
        # Right after the prefix was warmed up without a display, Wine's
        # desktop process of that start may still be there, and windows
        # cannot be created until it has gone.
        wait "$shell_pid" 2>/dev/null || true
        sleep 1
    done
    fail "the test shell did not start: $(cat "$shell_log" 2>&1)"
    exit 1
}
stop_shell() {
    echo quit >>"$shell_cmd"
    wait_until 5 bash -c "! kill -0 $shell_pid 2>/dev/null" || kill -9 "$shell_pid" 2>/dev/null || true
    shell_pid=
}
shell_command() { echo "$1" >>"$shell_cmd"; }

# The tooltip and icon the shell shows now: those of the last successful
# ADD or MODIFY that carried them.
current_tip() {
    grep -E '^(ADD|MODIFY) result=1 .* tip="' "$shell_log" 2>/dev/null | tail -1 | sed 's/.* tip="\([^"]*\)".*/\1/' || true
}
current_icon() {
    grep -E '^(ADD|MODIFY) result=1 .* icon=[0-9]' "$shell_log" 2>/dev/null | tail -1 |
        sed 's/.* \(icon=[0-9x]*\) .* mask=\(0x[0-9a-f]*\)\/.* color=\(0x[0-9a-f]*\)\/.*/\1 mask=\2 color=\3/' || true
}
# The tray's pictures as the shell would log them, read from the program's
# resources: the groups' images of the notification area's size (16 pixels
# at 96 DPI).
declare -A icon_sums
read_icon_sums() { # program [size]
    local size=${2:-16} id sums
    while read -r id sums; do
        icon_sums[${id%@*}]=$sums
    done < <(probe icon "$(winpath "$1")" \
        1000@$size 1020@$size 1040@$size 1060@$size 1080@$size 1100@$size \
        2000@$size 2020@$size 2040@$size 2060@$size 2080@$size 2100@$size 3000@$size)
}
expected_icon() { echo "${icon_sums[$1]:-missing}"; }
tray_shows() { # tooltip, icon id
    [ "$(current_tip)" = "$1" ] && [ "$(current_icon)" = "$(expected_icon "$2")" ]
}
expect_tray() { # tooltip, icon id, timeout
    if wait_until "${3:-5}" tray_shows "$1" "$2"; then
        log "ok: tray shows \"$1\" with icon $2"
    else
        fail "tray shows \"$(current_tip)\" [$(current_icon)], expected \"$1\" [icon $2: $(expected_icon "$2")]"
    fi
}


# --- the monitor ------------------------------------------------------------

app=
# Starts $app/Ohmwatch.exe with the given folder as its current one ($app
# itself, as a double click or a shortcut starts it, when none is given).
start_app() { # [current folder]
    (cd "${1:-$app}" && exec wine "$app/Ohmwatch.exe" >"$app/stdout.txt" 2>"$app/stderr.txt") &
    app_pid=$!
}
# Waits for the program to end and sets app_code to its exit code. Not in a
# subshell: only this shell can wait for its own child.
app_code=
wait_for_app_exit() {
    app_code=timeout
    wait_until 15 bash -c "! kill -0 $app_pid 2>/dev/null" || return 0
    app_code=0
    wait "$app_pid" || app_code=$?
    app_pid=
}
set_battery() { "$fake_battery" set "$battery" "$@"; }

# The monitors running in $WINEPREFIX, one line each: the Linux process id and
# the file its program was mapped from (a Windows process is a Linux one).
monitors() {
    local pid
    for pid in $(pgrep -x Ohmwatch.exe || true); do
        grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null || continue
        echo "$pid $(grep -m1 -o '/.*/Ohmwatch\.exe$' "/proc/$pid/maps" 2>/dev/null)"
    done
}

alert_title="Ohmwatch - power disconnected"
window_line() { probe list "$1" | head -1; }
is_visible() { [ "$(field "$(window_line "$1")" visible)" = 1 ]; }
is_hidden() { probe_ok await "$1" hidden 0; }
# A window that is to stay hidden: hidden now and still after a settle time
# in which the monitor ticks dozens of times.
stays_hidden() {
    sleep 0.3
    is_hidden "$1"
}

# The alert's place on the screen is x,y.
alert_at() { # x, y
    local line
    line=$(window_line "$alert_title")
    [ "$(field "$line" x),$(field "$line" y)" = "$1,$2" ]
}

# Changes the screen's resolution (in a Wine virtual desktop, its size), as
# undocking a laptop does; fails unless the system then reports that size.
set_display() { # WxH
    local reply
    reply=$(probe display "$1")
    [ "$(field "$reply" screen)" = "$1" ] && log "the screen is now $1" && return 0
    fail "the screen did not change to $1 ($reply)"
    return 1
}

# Every window of the program, visible ones only.
visible_windows() { probe class Orvu_Window | grep -c 'visible=1' || true; }

# Choose a menu item: DOWNS presses of Down from the top (1 Options,
# 2 About, 3 Exit, skipping the separator), then Return.
choose_menu() {
    shell_command rclick
    probe_ok menu "$1"
}

# Exit through the menu: the icon goes, the windows go, the code is 0.
exit_through_menu() {
    local mark
    mark=$(wc -l <"$shell_log")
    choose_menu 3 || fail "the menu did not open for Exit"
    wait_for_app_exit
    check "Exit ends the program with code 0 (got $app_code)" [ "$app_code" = 0 ]
    check "Exit removes the icon" bash -c "tail -n +$((mark + 1)) '$shell_log' | grep -q '^DELETE result=1'"
    check "no window of the program is left" [ "$(probe class Orvu_Window | grep -c . || true)" = 0 ]
}
