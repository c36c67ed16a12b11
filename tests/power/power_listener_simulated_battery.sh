#!/usr/bin/env bash
# The power listener end to end: a real Windows program under Wine reads a
# simulated battery, first on battery at 60 %, then, after the files change
# while it runs, on mains power charging at 80 %.
#   power_listener_simulated_battery.sh <fake-battery.sh> <power_probe.exe>
set -euo pipefail
fake=$1
probe=$2
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

"$fake" set "$work/supply" battery 60
# Source 1 = Battery, 2 = AC; state 1 = Draining, 2 = Charging.
"$fake" run "$work/supply" wine "$probe" 2 80 2 30000 >"$work/out" 2>"$work/err" &
pid=$!
# Windows programs end their lines with CR LF.
seen() { tr -d '\r' <"$work/out" | grep -qx "$1"; }

for _ in $(seq 300); do
    seen '1 60 1' && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
if ! seen '1 60 1'; then
    echo "FAIL: never saw Battery 60 Draining; probe printed:"; cat "$work/out" "$work/err"
    exit 1
fi
echo "saw Battery 60 Draining"

"$fake" set "$work/supply" ac 80
if ! wait $pid || ! seen '2 80 2'; then
    echo "FAIL: never saw AC 80 Charging after the change; probe printed:"; cat "$work/out" "$work/err"
    exit 1
fi
echo "saw AC 80 Charging after the change; every status the probe saw:"
cat "$work/out"
