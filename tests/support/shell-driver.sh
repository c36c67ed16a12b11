# Sourced by scripts that run programs under Wine with test_shell.exe as the
# notification area (tests/monitor/e2e.sh, scripts/bench.sh). The sourcing
# script sets shell_exe (the test shell) and work (a scratch folder) and
# defines log (one line of progress).

winpath() { echo "Z:${1//\//\\}"; }

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

shell_log=
shell_cmd=
shell_pid=
# Starts the shell with its log in $work/shell.log; extra arguments are
# test_shell options; $shell_timeout (default 300 s) bounds its life. Ends
# the script when the shell cannot start.
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
    log "FAIL: the test shell did not start: $(cat "$shell_log" 2>&1)"
    exit 1
}
stop_shell() {
    echo quit >>"$shell_cmd"
    wait_until 5 bash -c "! kill -0 $shell_pid 2>/dev/null" || kill -9 "$shell_pid" 2>/dev/null || true
    shell_pid=
}
shell_command() { echo "$1" >>"$shell_cmd"; }
