#!/usr/bin/env bash
# What the monitor costs, measured from outside its process under Wine and
# Xvfb with a simulated battery, in its two watches: "monitor", the check on
# every idle pass (PowerCheckSeconds:0), and "economical", waiting for
# messages with a check every 2 s and on the system's announcements
# (PowerCheckSeconds:2). Against yardsticks built with the project
# (tests/bench/Baseline.cpp): "loop", the bare run loop (PeekMessage,
# GetSystemPowerStatus, Sleep(5)); "notifier", one hidden window, one tray
# icon and one plain popup that follow the power status; "blocked", one
# hidden window and a loop blocked in GetMessage, the floor of a windowed
# program that waits; "timer", the notifier blocked in GetMessage and woken
# to read the power status only by an announcement and every 1.5 s, as the
# economical watch's timer wakes it under Wine (which announces nothing): the
# floor of the economical watch, at idle and in its reactions; and, for the start only, "picture", the notifier
# reading the alert picture through GDI+ before its icon, as the monitor
# must.
#
#   scripts/bench.sh [--rounds N] [--starts N] [--quick] [--only idle|growth]
#   scripts/bench.sh --smoke    (CTest bench_smoke: in the caller's X server
#                                and prefix, seconds long, fails when a figure
#                                of the start, idle and reaction part is
#                                missing)
#
# The programs run one after another, several rounds (and before them
# --starts rounds of starts alone), the order turned each round; every
# figure is printed as min / median / max with the ratio of the program's
# median to its yardstick's median from the same run (these machines are
# shared: absolute figures mean little, ratios in one run do). --quick is a
# smoke run of a few seconds per program; --only runs one of the two parts
# (starts, idle and reactions; or growth).
#
# Measures (the Wine program is a Linux process; all read from /proc):
# - start: launch to the test shell receiving the first tooltip that shows
#   the power status (the shell stamps each call), and the CPU time the
#   process used by then (/proc/PID/stat utime+stime, 10 ms ticks);
# - after 30 s idle on mains power: private memory (Private_Clean +
#   Private_Dirty of /proc/PID/smaps_rollup: pages no other process maps,
#   including those of DLLs only this process loaded) and resident memory
#   (VmRSS);
# - idle CPU over the last 20 s of those 30 (per cent of one core, from the
#   run times of all threads in /proc/PID/task/*/schedstat) and context
#   switches per second (voluntary + nonvoluntary of every thread); then
#   system calls per second and per idle pass of the run loop (strace -c,
#   5 s), and how many of them are reads of the X connection (recvmsg);
# - reaction to unplugging: the AC file is written, then the time until the
#   shell receives the battery tooltip and until the alert (the notifier's
#   popup) is visible (monitor_probe stamp, polling every millisecond), and
#   until both are done; once announced by a broadcast (WM_POWERBROADCAST,
#   posted to every top-level window by monitor_probe as soon as the file is
#   written, as Windows announces a change and Wine does not; posted, so that
#   the other programs' windows do not hold it up) and, for the monitor's two
#   watches, once announced by nothing;
# - growth of resident and private memory over 10,000 status changes (the
#   simulated charge alternating between 61 % and 41 % on mains power, so
#   both tooltip and icon change), after 1,000 changes of warm-up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}

rounds=3
starts=10   # extra starts of each program
strace_s=5  # seconds of counting system calls at idle
settle=10   # seconds before the idle window
window=20   # seconds of the idle window
warmup=1000
changes=10000
reactions=4
while [ $# -gt 0 ]; do
    case "$1" in
        --rounds) rounds=$2; shift ;;
        --starts) starts=$2; shift ;;
        --quick) quick=1 rounds=1 starts=2 strace_s=1 settle=1 window=2 warmup=50 changes=200 reactions=1 ;;
        --only) only=$2; shift ;;
        --smoke) smoke=1 inner=1 quick=1 rounds=1 starts=1 strace_s=1 settle=1 window=2 reactions=1 only=idle ;;
        --inner) inner=1 ;;
        *) echo "usage: bench.sh [--rounds N] [--starts N] [--quick] [--only idle|growth] | --smoke" >&2; exit 2 ;;
    esac
    shift
done

export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
export ORVU_SOURCE_DIR=$root ORVU_OUTPUT_DIR=$build/bin
[ -n "${smoke:-}" ] || export WINEPREFIX=$build/wine-x11
# What the run inside the namespace is told.
inner_args=(--inner ${quick:+--quick} --rounds "$rounds" --starts "$starts" ${only:+--only "$only"} ${smoke:+--smoke})

# Outside: build, prepare the prefix, then run again inside an X server and,
# through the end-to-end helpers, in a private mount namespace with the
# simulated battery.
if [ -z "${inner:-}" ]; then
    "$root/scripts/build.sh" >/dev/null
    [ -f "$WINEPREFIX/.orvu-ready" ] ||
        "$root/scripts/wine-prefix.sh" "$build/wine-null" "$build/wine-x11" >/dev/null
    # A warm server (one may be running already).
    wineserver -p </dev/null >/dev/null 2>&1 || true
    exec xvfb-run -a -s "-screen 0 1366x768x24" "$root/scripts/x11-test.sh" \
        bash "$0" "${inner_args[@]}"
fi

shell_exe=$build/tests-bin/test_shell.exe
probe_exe=$build/tests-bin/monitor_probe.exe
baseline_exe=$build/tests-bin/bench_baseline.exe
fake_battery=$root/scripts/fake-battery.sh
source "$root/tests/support/e2e-common.sh"
e2e_enter_battery_namespace "$0" "${inner_args[@]}"
# Progress on standard error; the report alone on standard output.
log() { echo "[$(date +%H:%M:%S)] $*" >&2; }
shell_timeout=1200
results=$work/results
: >"$results"

now_us() { echo "${EPOCHREALTIME/./}"; }
record() { echo "$1 $2 $3" >>"$results"; } # measure, program, value

# A sleep without a new process: a read that never gets data times out.
exec {idle_fd}<> <(:)
pause() { read -r -t "$1" -u "$idle_fd" || true; }

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }
cpu_ns() { cat /proc/"$app_pid"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
switches() {
    cat /proc/"$app_pid"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'
}
private_kib() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s }' "/proc/$app_pid/smaps_rollup"; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status"; }

# --- the simulated battery, written in place by the shell itself ------------
plug() { # 1 = mains, 0 = battery
    printf '%s\n' "$1" >"$battery/AC/online"
    if [ "$1" = 1 ]; then printf 'Charging\n' >"$battery/BAT0/status"
    else printf 'Discharging\n' >"$battery/BAT0/status"; fi
}
charge() { # percent
    printf '%s\n' "$1" >"$battery/BAT0/capacity"
    printf '%s\n' $((50000 * $1)) >"$battery/BAT0/charge_now"
}

# --- the programs -------------------------------------------------------------
# The monitor's two watches, each in a copy of the output folder whose
# settings differ only in PowerCheckSeconds.
for watch in monitor:0 economical:2; do
    rm -rf "$work/${watch%:*}"
    cp -r "$ORVU_OUTPUT_DIR" "$work/${watch%:*}"
    sed -i '/^PowerCheckSeconds/d' "$work/${watch%:*}/Ohmwatch.ini"
    printf 'PowerCheckSeconds:%s\n' "${watch#*:}" >>"$work/${watch%:*}/Ohmwatch.ini"
done
alert_title() {
    case "$1" in
        monitor | economical) echo "Ohmwatch - power disconnected" ;;
        *) echo "Notifier - power disconnected" ;;
    esac
}
start_program() { # name
    case "$1" in
        monitor | economical) (cd "$work/$1" && exec wine Ohmwatch.exe >/dev/null 2>&1) & ;;
        picture) (cd "$work" && exec wine "$baseline_exe" picture "$(winpath "$ORVU_OUTPUT_DIR/power-disconnected.png")" >/dev/null 2>&1) & ;;
        timer) (cd "$work" && exec wine "$baseline_exe" timer 1500 >/dev/null 2>&1) & ;;
        *) (cd "$work" && exec wine "$baseline_exe" "$1" >/dev/null 2>&1) & ;;
    esac
    app_pid=$!
}
stop_program() {
    kill -9 "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
}

# Waits for the first call after line MARK of the shell log whose tooltip is
# TEXT and prints its stamp. It reads the log through one descriptor and
# starts no process while it waits: a poll that forked would take CPU from the
# program being timed.
await_tip() { # mark, text, timeout_s
    local fd line partial="" skipped=0 end=$((SECONDS + $3))
    exec {fd}<"$shell_log"
    while :; do
        if read -r -u "$fd" line; then
            line=${partial}${line%$'\r'} partial=""
            skipped=$((skipped + 1))
            if [ "$skipped" -gt "$1" ] && [[ $line == *" tip=\"$2\""* && $line =~ \ at=([0-9]+)$ ]]; then
                exec {fd}<&-
                echo "${BASH_REMATCH[1]}"
                return 0
            fi
        else
            # At the end of the log; a line the shell is still writing waits.
            partial=$partial$line
            [ "$SECONDS" -lt "$end" ] || { exec {fd}<&-; return 1; }
            pause 0.002
        fi
    done
}
lines() { wc -l <"$shell_log"; }

# Unplugs and plugs in again; records the reaction times to the unplugging,
# announced by a posted broadcast that follows the write at once (react_*) or by
# nothing (react_silent_*). Plugging in again is announced in both cases.
react() { # program, announced: 1 or 0
    local title mark t0 tip shown cast probe_out=$work/probe.out go=$work/go measure=react
    local caster_pid= cast_out=$work/cast.out
    title=$(alert_title "$1")
    rm -f "$go"
    wine "$probe_exe" stamp "$title" visible 10000 >"$probe_out" 2>/dev/null &
    local probe_pid=$!
    if [ "$2" = 1 ]; then
        wine "$probe_exe" post power "$(winpath "$go")" >"$cast_out" 2>/dev/null &
        caster_pid=$!
    else
        measure=react_silent
    fi
    pause 0.5
    mark=$(lines)
    t0=$(now_us)
    plug 0
    : >"$go"
    tip=$(await_tip "$mark" "Ohmwatch - 80%" 10) || { log "$1: no battery tooltip"; return 1; }
    wait "$probe_pid" || { log "$1: no alert"; return 1; }
    if [ -n "$caster_pid" ]; then
        wait "$caster_pid" || log "$1: the broadcast failed"
        cast=$(tr -d '\r' <"$cast_out" | sed -n 's/^at=//p')
        [ -z "$cast" ] || record react_cast_ms "$1" "$(((cast - t0) / 10))e-2"
    fi
    shown=$(tr -d '\r' <"$probe_out" | sed -n 's/^at=//p')
    [ -n "$shown" ] || { log "$1: the probe gave no time"; return 1; }
    record "${measure}_tip_ms" "$1" "$(((tip - t0) / 10))e-2"
    record "${measure}_alert_ms" "$1" "$(((shown - t0) / 10))e-2"
    record "${measure}_both_ms" "$1" "$((((tip > shown ? tip : shown) - t0) / 10))e-2"
    mark=$(lines)
    plug 1
    wine "$probe_exe" post power >/dev/null 2>&1 || true
    await_tip "$mark" "Ohmwatch - charging (80%)" 10 >/dev/null || { log "$1: no mains tooltip"; return 1; }
    wine "$probe_exe" await "$title" hidden 10000 >/dev/null 2>&1 || true
}

# System calls per second and per pass of the run loop at idle, counted by
# strace over a few seconds: unlike CPU time, the count is the same from run
# to run. Each pass of a polling loop sleeps once (Wine's Sleep is one
# pselect6), which gives the passes.
syscalls_per_tick() { # program
    local counts=$work/strace.txt
    timeout -s INT "$strace_s" strace -c -f -p "$app_pid" -o "$counts" >/dev/null 2>&1 || true
    record syscalls_per_s "$1" "$(awk -v s="$strace_s" '$NF == "total" { calls = $4 }
        END { printf "%.1f", calls / s }' "$counts")"
    record syscalls_per_tick "$1" "$(awk '$NF == "pselect6" { passes = $4 } $NF == "total" { calls = $4 }
        END { if (passes > 0) printf "%.1f", calls / passes }' "$counts")"
    record x11_reads_per_tick "$1" "$(awk '$NF == "pselect6" { passes = $4 } $NF == "recvmsg" { reads = $4 }
        END { if (passes > 0) printf "%.1f", reads / passes }' "$counts")"
}

# Starts a program and, but for the loop and the blocked window (which show
# no icon), records its start figures; sets t0 to the launch time.
launch_measured() { # program
    local mark stamp
    mark=$(lines)
    t0=$(now_us)
    start_program "$1"
    case "$1" in loop | blocked) return 0 ;; esac
    stamp=$(await_tip "$mark" "Ohmwatch - charging (80%)" 30) ||
        { log "$1: no status tooltip"; stop_program; return 1; }
    record start_cpu_ms "$1" "$(($(cpu_ticks) * 10))"
    record start_ms "$1" "$(((stamp - t0) / 100))e-1"
}

# Start, idle, memory and reactions of one program.
run_idle() { # program
    local name=$1 t0 c1 c2 s1 s2 w1 w2
    launch_measured "$name" || return 1
    pause "$(awk -v t0="$t0" -v now="$(now_us)" -v s="$settle" 'BEGIN { d = s - (now - t0) / 1e6; print (d > 0 ? d : 0) }')"
    c1=$(cpu_ns) w1=$(switches) s1=$(now_us)
    pause "$window"
    c2=$(cpu_ns) w2=$(switches) s2=$(now_us)
    record idle_cpu_pct "$name" "$(awk -v c="$((c2 - c1))" -v t="$((s2 - s1))" 'BEGIN { printf "%.3f", c / (t * 10) }')"
    record switches_per_s "$name" "$(awk -v w="$((w2 - w1))" -v t="$((s2 - s1))" 'BEGIN { printf "%.1f", w * 1e6 / t }')"
    record private_kib "$name" "$(private_kib)"
    record rss_kib "$name" "$(rss_kib)"
    syscalls_per_tick "$name"
    local i
    case "$name" in
        notifier)
            for ((i = 0; i < reactions; i++)); do react "$name" 1 || break; done ;;
        monitor | economical | timer)
            for ((i = 0; i < reactions; i++)); do react "$name" 1 || break; done
            for ((i = 0; i < reactions; i++)); do react "$name" 0 || break; done ;;
    esac
    stop_program
}

# Tooltip changes the shell received since line MARK.
tip_changes() { # mark
    tail -n +$(($1 + 1)) "$shell_log" | sed -n 's/.* tip="\([^"]*\)".*/\1/p' |
        awk 'NR > 1 && $0 != last { n++ } { last = $0 } END { print n + 0 }'
}
# Alternates the charge until the program has shown COUNT more changes.
drive_changes() { # mark, count
    local want=$2 seen=0 p=61 i
    while [ "$seen" -lt "$want" ]; do
        for ((i = 0; i < 500; i++)); do
            [ $p = 61 ] && p=41 || p=61
            charge $p
            pause 0.006
        done
        seen=$(tip_changes "$1")
    done
}

run_growth() { # program
    local name=$1 mark r1 p1
    charge 80
    mark=$(lines)
    start_program "$name"
    await_tip "$mark" "Ohmwatch - charging (80%)" 30 >/dev/null ||
        { log "$name: no status tooltip"; stop_program; return 1; }
    mark=$(lines)
    drive_changes "$mark" "$warmup"
    r1=$(rss_kib) p1=$(private_kib)
    mark=$(lines)
    drive_changes "$mark" "$changes"
    record changes "$name" "$(tip_changes "$mark")"
    record rss_growth_kib "$name" $(($(rss_kib) - r1))
    record private_growth_kib "$name" $(($(private_kib) - p1))
    stop_program
    charge 80
}

# --- the run --------------------------------------------------------------------
start_shell --times
started=$(date +%s)
# More starts than the idle rounds give, the start being short and noisy;
# the picture yardstick is there for the start alone.
[ "${only:-idle}" = idle ] || starts=0
log "$starts starts of each program"
order=(notifier monitor picture)
for ((round = 1; round <= starts; round++)); do
    for program in "${order[@]}"; do
        launch_measured "$program" || break
        stop_program
        pause 0.3
    done
    order=("${order[@]:1}" "${order[0]}")
done
order=(loop notifier blocked timer monitor economical)
[ "${only:-idle}" = idle ] || rounds=0
for ((round = 1; round <= rounds; round++)); do
    log "round $round of $rounds: ${order[*]}"
    for program in "${order[@]}"; do run_idle "$program"; done
    order=("${order[@]:1}" "${order[0]}")
done
if [ "${only:-growth}" = growth ]; then
    log "growth over $changes status changes"
    for program in notifier monitor; do run_growth "$program"; done
fi
stop_shell

# --- the report -----------------------------------------------------------------
echo "Ohmwatch benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $starts start(s) and $rounds round(s), $(($(date +%s) - started)) s; $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo 'no git')"
echo
echo "| measure | program min / median / max | yardstick min / median / max | ratio |"
echo "|---|---|---|---|"
# Prints one row; notes the measure in $missing when a figure is missing.
summary() { # measure, yardstick, label[, program: monitor by default]
    awk -v m="$1" -v y="$2" -v label="$3" -v p="${4:-monitor}" '
        function stats(p,    n, i, j, t, v) {
            n = 0
            for (i = 1; i <= count; i++) if (prog[i] == p) v[++n] = val[i]
            if (n == 0) { med[p] = ""; return "-" }
            for (i = 2; i <= n; i++) { t = v[i]; for (j = i - 1; j >= 1 && v[j] > t; j--) v[j + 1] = v[j]; v[j + 1] = t }
            med[p] = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
            return (n == 1) ? sprintf("%g", v[1]) : sprintf("%g / %g / %g", v[1], med[p], v[n])
        }
        $1 == m { count++; prog[count] = $2; val[count] = $3 + 0 }
        END {
            a = stats(p); b = stats(y)
            r = (med[p] != "" && med[y] != "" && med[y] > 0) ? sprintf("%.3g", med[p] / med[y]) : "-"
            printf "| %s | %s: %s | %s: %s | %s |\n", label, p, a, y, b, r
            if (a == "-" || b == "-") exit 1
        }' "$results" || missing="$missing, $1"
}
missing=""

summary start_ms notifier "start to tray icon with status tooltip (ms)"
summary start_ms picture "start to tray icon with status tooltip (ms)"
summary start_cpu_ms notifier "CPU time of that start (ms)"
summary start_cpu_ms picture "CPU time of that start (ms)"
summary private_kib notifier "private memory after 30 s idle (KiB)"
summary rss_kib notifier "resident memory after 30 s idle (KiB)"
summary idle_cpu_pct loop "idle CPU on mains power (% of a core)"
summary idle_cpu_pct notifier "idle CPU on mains power (% of a core)"
summary idle_cpu_pct monitor "idle CPU on mains power (% of a core)" economical
summary idle_cpu_pct blocked "idle CPU on mains power (% of a core)" economical
summary idle_cpu_pct timer "idle CPU on mains power (% of a core)" economical
summary switches_per_s loop "context switches per second at idle"
summary switches_per_s notifier "context switches per second at idle"
summary switches_per_s monitor "context switches per second at idle" economical
summary switches_per_s blocked "context switches per second at idle" economical
summary switches_per_s timer "context switches per second at idle" economical
summary syscalls_per_s notifier "system calls per second at idle"
summary syscalls_per_s monitor "system calls per second at idle" economical
summary syscalls_per_s blocked "system calls per second at idle" economical
summary syscalls_per_s timer "system calls per second at idle" economical
summary syscalls_per_tick loop "system calls per idle pass of the run loop"
summary syscalls_per_tick notifier "system calls per idle pass of the run loop"
summary x11_reads_per_tick notifier "of them, reads of the X connection"
summary react_tip_ms notifier "unplug announced to battery tooltip (ms)"
summary react_alert_ms notifier "unplug announced to alert shown (ms)"
summary react_both_ms notifier "unplug announced to both tooltip and alert (ms)"
summary react_tip_ms monitor "unplug announced to battery tooltip (ms)" economical
summary react_alert_ms monitor "unplug announced to alert shown (ms)" economical
summary react_both_ms monitor "unplug announced to both tooltip and alert (ms)" economical
summary react_both_ms timer "unplug announced to both tooltip and alert (ms)" economical
summary react_cast_ms monitor "unplug to the announcement sent (ms)" economical
summary react_silent_alert_ms monitor "unplug unannounced to alert shown (ms)" economical
summary react_silent_both_ms monitor "unplug unannounced to both tooltip and alert (ms)" economical
summary react_silent_alert_ms timer "unplug unannounced to alert shown (ms)" economical
idle_missing=$missing
summary changes notifier "status changes seen (growth run)"
summary rss_growth_kib notifier "resident memory growth over the changes (KiB)"
summary private_growth_kib notifier "private memory growth over the changes (KiB)"
[ "${only:-}" != idle ] || missing=$idle_missing
if [ -n "${smoke:-}" ] && [ -n "$missing" ]; then
    echo "FAIL: no figure for ${missing#, }" >&2
    exit 1
fi
