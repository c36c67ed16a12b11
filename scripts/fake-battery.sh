#!/usr/bin/env bash
# A simulated battery for running Windows programs under Wine.
#
# Wine's GetSystemPowerStatus reads /sys/class/power_supply. This tool keeps
# a folder of fake BAT0 and AC entries and runs a command in a private mount
# namespace with that folder bound over /sys/class/power_supply, so the
# program sees the fake battery while the rest of the machine does not. The
# folder can be changed with "set" while the command runs.
#
#   fake-battery.sh set DIR SOURCE PERCENT [STATE]
#       SOURCE: ac | battery | nobattery (mains, no battery present)
#       PERCENT: 0 to 100, or unknown: Wine reports a battery's charge as
#               charge_now / charge_full, so a charge of 255 % of full reads
#               as 255, the system's "unknown"
#       STATE:  Charging | Discharging | Full | "Not charging"
#               (default: Charging on ac, Discharging on battery; Wine
#               reports only Charging as charging)
#   fake-battery.sh run DIR COMMAND [ARGS...]
#       runs COMMAND with DIR as /sys/class/power_supply; needs root for
#       unshare -m (re-runs itself through sudo when not root)
set -euo pipefail

die() { echo "fake-battery: $*" >&2; exit 2; }

# Replaces a file by rename, so a reader never sees it half written.
put() { # file value
    printf '%s\n' "$2" > "$1.tmp"
    mv -f "$1.tmp" "$1"
}

cmd_set() {
    [ $# -ge 3 ] || die "usage: set DIR SOURCE PERCENT [STATE]"
    local dir=$1 source=$2 percent=$3 state=${4:-}
    mkdir -p "$dir/AC"
    put "$dir/AC/type" Mains
    case "$source" in
        ac)        put "$dir/AC/online" 1; state=${state:-Charging} ;;
        battery)   put "$dir/AC/online" 0; state=${state:-Discharging} ;;
        nobattery) put "$dir/AC/online" 1; rm -rf "$dir/BAT0"; return 0 ;;
        *) die "unknown source '$source' (ac, battery or nobattery)" ;;
    esac
    local full=5000000
    [ "$percent" = unknown ] && percent=255
    mkdir -p "$dir/BAT0"
    put "$dir/BAT0/type" Battery
    put "$dir/BAT0/present" 1
    put "$dir/BAT0/capacity" "$percent"
    put "$dir/BAT0/charge_full" "$full"
    put "$dir/BAT0/charge_full_design" "$full"
    put "$dir/BAT0/charge_now" $((full * percent / 100))
    put "$dir/BAT0/voltage_now" 12000000
    put "$dir/BAT0/current_now" 1000000
    # "status" last: it is what tells charging from draining.
    put "$dir/BAT0/status" "$state"
}

cmd_run() {
    [ $# -ge 2 ] || die "usage: run DIR COMMAND [ARGS...]"
    local dir
    dir=$(cd "$1" && pwd)
    shift
    [ -d "$dir/AC" ] || die "$dir holds no fake battery yet (use set first)"
    if [ "$(id -u)" -ne 0 ]; then
        exec sudo -E "$0" run "$dir" "$@"
    fi
    exec unshare -m --propagation private -- sh -c \
        'mount --bind "$1" /sys/class/power_supply && shift && exec "$@"' sh "$dir" "$@"
}

[ $# -ge 1 ] || die "usage: fake-battery.sh set|run ..."
verb=$1
shift
case "$verb" in
    set) cmd_set "$@" ;;
    run) cmd_run "$@" ;;
    *) die "unknown command '$verb'" ;;
esac
