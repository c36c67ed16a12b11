#!/usr/bin/env bash
# The release, end to end, as a user would use it: the portable zip unzipped
# into a fresh folder and run; the installer in a fresh Wine prefix (install,
# start as the Startup shortcut does, a second start, an upgrade over the
# running monitor, uninstall). The monitor is watched only from outside (see
# tests/support/e2e-common.sh).
#
#   e2e.sh PROBE_EXE TEST_SHELL_EXE PACKAGE_FOLDER
#
# Needs DISPLAY (an X server of 1366 x 768), WINEPREFIX (for the zip) and
# ORVU_SOURCE_DIR, as CTest gives them, and the packages of
# scripts/package.sh in PACKAGE_FOLDER.
set -euo pipefail

probe_exe=$1
shell_exe=$2
packages=$3
fake_battery=${ORVU_FAKE_BATTERY:-$ORVU_SOURCE_DIR/scripts/fake-battery.sh}

source "$ORVU_SOURCE_DIR/tests/support/e2e-common.sh"
e2e_enter_battery_namespace "$0" "$@"

zip=$(ls "$packages"/Ohmwatch-*-portable.zip)
setup=$(ls "$packages"/Ohmwatch-*-setup.exe)
version=${zip##*/Ohmwatch-}
version=${version%-portable.zip}
fresh_prefix=$work/prefix
trap 'cleanup; WINEPREFIX=$fresh_prefix wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT

# The size the alert has when it shows the shipped picture.
unzip -q "$zip" -d "$work/portable"
picture_size=$(identify -format %wx%h "$work/portable/Ohmwatch/power-disconnected.png")
alert_size() { local line; line=$(window_line "$alert_title"); echo "$(field "$line" w)x$(field "$line" h)"; }

# Icons in the notification area now, from the test shell's log.
icons_shown() {
    echo $(($(grep -c '^ADD result=1' "$shell_log" || true) - $(grep -c '^DELETE result=1' "$shell_log" || true)))
}
logged_since() { # line mark, pattern
    tail -n +$(($1 + 1)) "$shell_log" | grep -q "$2"
}

# What the prefix reports: the Windows version, and 64-bit when 32-bit
# programs run under WoW64 there.
windows_reported() {
    local version bits=32
    version=$(wine cmd /c ver 2>/dev/null | tr -d '\r' | grep -o '[0-9][0-9.]*' | head -1)
    [ "$(wine cmd /c 'echo %PROCESSOR_ARCHITEW6432%' 2>/dev/null | tr -d '\r')" = AMD64 ] && bits=64
    echo "Windows $version, $bits-bit"
}

scenario_portable() {
    log "== the portable zip, unzipped into a fresh folder"
    local reported
    reported=$(windows_reported)
    log "the prefix reports $reported"
    # A run of the test matrix names the Windows it is meant for, as a
    # pattern ("5.1.*, 32-bit").
    if [ -n "${ORVU_E2E_WINDOWS:-}" ]; then
        # shellcheck disable=SC2053
        check "the prefix reports Windows $ORVU_E2E_WINDOWS" eval '[[ $reported == "Windows "$ORVU_E2E_WINDOWS ]]'
    fi
    app=$work/portable/Ohmwatch
    read_icon_sums "$app/Ohmwatch.exe"
    set_battery ac 80
    start_shell
    start_app
    expect_tray "Ohmwatch - charging (80%)" 2080 20
    set_battery battery 60
    expect_tray "Ohmwatch - 60%" 1060
    check "unplugging shows the alert" probe_ok await "$alert_title" visible 3000
    check "the alert shows the shipped picture ($picture_size)" [ "$(alert_size)" = "$picture_size" ]
    exit_through_menu
    stop_shell
}

scenario_installer() {
    log "== the installer in a fresh Wine prefix"
    export WINEPREFIX=$fresh_prefix
    wineboot -i </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    # Kept warm: each program then starts in milliseconds.
    wineserver -p </dev/null >/dev/null 2>&1 || true
    log "the fresh prefix reports $(windows_reported)"

    local user home install install_win programs menu_lnk startup_lnk key mark line code before after
    user=$(id -un)
    home=$WINEPREFIX/drive_c/users/$user
    install=$home/AppData/Local/Programs/Ohmwatch
    install_win="C:\\users\\$user\\AppData\\Local\\Programs\\Ohmwatch"
    programs="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
    menu_lnk=$programs/Ohmwatch.lnk
    startup_lnk=$programs/StartUp/Ohmwatch.lnk
    key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ohmwatch'
    reg_value() { wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
    # A shortcut's working folder is stored as UTF-16 text.
    starts_in_install() { strings -el "$1" | sed 's/^.*C:\\/C:\\/' | grep -qxF "$install_win"; }
    # What an update or uninstall would change: each file's size, change time
    # and checksum, the shortcuts' change times and the uninstall entry.
    installation() {
        (cd "$install" && find . -type f -printf '%p %s %C@ ' -exec md5sum {} \; | sort)
        find "$menu_lnk" "$startup_lnk" -printf '%p %C@\n' 2>/dev/null || true
        wine reg query "$key" 2>/dev/null | tr -d '\r' || true
    }
    # When a process started, in seconds since 1970 (to 10 ms).
    started_at() { # pid
        awk -v now="$(date +%s.%N)" -v ticks="$(cut -d' ' -f22 "/proc/$1/stat")" \
            -v hz="$(getconf CLK_TCK)" '{ printf "%.3f", now - $1 + ticks / hz }' /proc/uptime
    }
    # Exactly one monitor runs, from the install folder, started after the
    # last setup.exe did: the new version, started by the installer.
    one_new_installed_monitor() {
        local now
        now=$(monitors)
        [ "$(grep -c . <<<"$now")" = 1 ] && [ "${now#* }" = "$install/Ohmwatch.exe" ] &&
            awk "BEGIN { exit !($(started_at "${now%% *}") > $setup_started) }"
    }
    monitor_pids() { monitors | cut -d' ' -f1 | xargs; }
    no_monitor() { [ -z "$(monitors)" ]; }
    # Runs setup.exe /S; sets code, seconds (how long it took) and
    # setup_started.
    seconds=
    setup_started=
    run_setup() {
        setup_started=$(date +%s.%N)
        code=0
        wine "$setup" /S </dev/null >/dev/null 2>&1 || code=$?
        seconds=$(awk "BEGIN { printf \"%.2f\", $(date +%s.%N) - $setup_started }")
    }

    # A first installation while the portable copy runs: the portable one
    # ends, the installed one starts in its place.
    set_battery battery 50
    start_shell
    app=$work/portable/Ohmwatch
    start_app
    expect_tray "Ohmwatch - 50%" 1060 20
    mark=$(wc -l <"$shell_log")
    run_setup
    check "setup.exe /S over the running portable copy ends with code 0 (got $code)" [ "$code" = 0 ]
    wait_for_app_exit
    check "it ended the portable copy, with code 0 (got $app_code)" [ "$app_code" = 0 ]
    check "it started the installed monitor in its place" wait_until 10 one_new_installed_monitor
    check "which shows its icon" wait_until 20 logged_since "$mark" '^ADD result=1'
    local file
    for file in Ohmwatch.exe OrvuEngine.dll libgcc_s_dw2-1.dll plugins/OPPic_gdiPlus.dll \
        plugins/OPPic_omp.dll power-disconnected.png Ohmwatch.ini Uninstall.exe; do
        [ -f "$install/$file" ] || fail "$file is not installed in $install_win"
    done
    check "the Start-menu shortcut starts in the install folder" starts_in_install "$menu_lnk"
    check "the Startup shortcut starts in the install folder" starts_in_install "$startup_lnk"
    check "the uninstall entry names version $version" [ "$(reg_value DisplayVersion)" = "$version" ]
    check "the uninstall entry names the uninstaller" \
        [ "$(reg_value UninstallString)" = "\"$install_win\\Uninstall.exe\"" ]
    choose_menu 3 || fail "the menu did not open for Exit"
    check "Exit ends the installed monitor" wait_until 10 no_monitor

    # The user changes a setting; started as the Startup shortcut starts it,
    # from another current directory, the monitor reads it.
    sed -i 's/^AlertShowPercent:100/AlertShowPercent:20/' "$install/Ohmwatch.ini"
    grep -q '^AlertShowPercent:20' "$install/Ohmwatch.ini" || fail "the sample has no AlertShowPercent:100 line"
    (cd "$work" && wine start "$(winepath -w "$startup_lnk")" </dev/null >/dev/null 2>&1)
    expect_tray "Ohmwatch - 50%" 1060 20
    check "above the changed threshold (20 %) there is no alert" stays_hidden "$alert_title"
    set_battery battery 20
    expect_tray "Ohmwatch - 20%" 1020
    check "at 20 % the alert shows" probe_ok await "$alert_title" visible 3000
    check "the alert shows the installed picture ($picture_size)" [ "$(alert_size)" = "$picture_size" ]

    # A second start: ends at once with code 0, adds no icon.
    before=$(grep -c '^ADD result=1' "$shell_log")
    code=0
    (cd "$install" && timeout 20 wine Ohmwatch.exe </dev/null >/dev/null 2>&1) || code=$?
    check "a second start ends at once with code 0 (got $code)" [ "$code" = 0 ]
    sleep 0.5
    check "a second start adds no second icon" [ "$(grep -c '^ADD result=1' "$shell_log")" = "$before" ]
    check "the first monitor still runs" probe_ok await Ohmwatch present 0

    # The installer over the running monitor: it ends the monitor (its icon
    # goes), keeps the changed settings and starts the new version.
    mark=$(wc -l <"$shell_log")
    run_setup
    log "the update over the running monitor took $seconds s"
    check "setup.exe /S over the running monitor ends with code 0 (got $code)" [ "$code" = 0 ]
    check "the upgrade ended the running monitor, removing its icon" logged_since "$mark" '^DELETE result=1'
    check "the upgrade started the new version" wait_until 20 one_new_installed_monitor
    check "which shows its icon" wait_until 20 logged_since "$mark" '^ADD result=1'
    expect_tray "Ohmwatch - 20%" 1020 20
    check "one icon after the upgrade" [ "$(icons_shown)" = 1 ]
    check "the upgrade kept the changed Ohmwatch.ini" grep -q '^AlertShowPercent:20' "$install/Ohmwatch.ini"

    # The monitor started as the Startup shortcut starts it (at log-on,
    # Startup items and updaters start together) and the installer 0.05 s
    # later, while the monitor is still starting: one monitor of the new
    # version, or a refusal that changed nothing.
    choose_menu 3 || fail "the menu did not open for Exit"
    wait_until 10 no_monitor || fail "Exit did not end the monitor"
    before=$(installation)
    mark=$(wc -l <"$shell_log")
    (cd "$install" && wine Ohmwatch.exe </dev/null >/dev/null 2>&1) &
    sleep 0.05
    run_setup
    wait $! || true
    log "setup.exe /S 0.05 s after the monitor's start took $seconds s and ended with code $code"
    if [ "$code" = 0 ]; then
        check "after the update at once, one monitor of the new version runs" \
            wait_until 20 one_new_installed_monitor
        check "and the files were replaced" [ "$(installation)" != "$before" ]
    else
        check "a refused update at once changed nothing" [ "$(installation)" = "$before" ]
        check "and the monitor runs on" [ "$(monitors | grep -c .)" = 1 ]
    fi
    check "its icon shows" wait_until 20 bash -c \
        "tail -n +$((mark + 1)) '$shell_log' | grep '^\(ADD\|DELETE\) result=1' | tail -1 | grep -q ^ADD"
    expect_tray "Ohmwatch - 20%" 1020 20
    check "one icon after the update at once" [ "$(icons_shown)" = 1 ]

    # A monitor that hangs and ignores the request: the installer and the
    # uninstaller refuse, under /S with a non-zero code, and change nothing;
    # when the monitor wakes, it runs on (the requests it finds are stale).
    local hung
    hung=$(monitor_pids)
    [ "$(wc -w <<<"$hung")" = 1 ] || { fail "one monitor should run, not: $(monitors)"; return; }
    before=$(installation)
    kill -STOP $hung
    run_setup
    kill -CONT $hung
    log "setup.exe /S with a hung monitor took $seconds s"
    check "setup.exe /S with a hung monitor ends with a non-zero code (got $code)" [ "$code" != 0 ]
    check "and changed nothing" [ "$(installation)" = "$before" ]
    kill -STOP $hung
    code=0
    wine "$install/Uninstall.exe" /S "_?=$install_win" </dev/null >/dev/null 2>&1 || code=$?
    kill -CONT $hung
    check "Uninstall.exe /S with a hung monitor ends with a non-zero code (got $code)" [ "$code" != 0 ]
    check "and changed nothing" [ "$(installation)" = "$before" ]
    set_battery battery 30
    expect_tray "Ohmwatch - 30%" 1040
    check "woken, the monitor runs on" [ "$(monitor_pids)" = "$hung" ]

    # The uninstaller (it runs from a copy and returns at once) ends the
    # running monitor first and leaves only the changed settings.
    mark=$(wc -l <"$shell_log")
    wine "$install/Uninstall.exe" /S </dev/null >/dev/null 2>&1
    check "the uninstaller removes the program" \
        wait_until 30 bash -c "[ ! -e '$install/Ohmwatch.exe' ] && [ ! -e '$install/Uninstall.exe' ]"
    check "the uninstaller ended the running monitor, removing its icon" logged_since "$mark" '^DELETE result=1'
    check "no window of the program is left" [ "$(probe class Orvu_Window | grep -c . || true)" = 0 ]
    check "only the changed Ohmwatch.ini is left" [ "$(cd "$install" && find . -mindepth 1)" = ./Ohmwatch.ini ]
    check "the Start-menu shortcut is removed" [ ! -e "$menu_lnk" ]
    check "the Startup shortcut is removed" [ ! -e "$startup_lnk" ]
    check "the uninstall entry is removed" bash -c "! wine reg query '$key' >/dev/null 2>&1"

    # An update with no monitor running starts none, though the monitor
    # starts with Windows.
    rm -rf "$install"
    run_setup
    check "a second installation ends with code 0 (got $code)" [ "$code" = 0 ]
    mark=$(wc -l <"$shell_log")
    run_setup
    check "an update with no monitor running ends with code 0 (got $code)" [ "$code" = 0 ]
    check "it keeps the start with Windows" [ -e "$startup_lnk" ]
    sleep 1
    check "and starts no monitor" [ -z "$(monitors)" ]
    check "no icon was added" [ "$(tail -n +$((mark + 1)) "$shell_log" | grep -c '^ADD')" = 0 ]
    stop_shell

    # With settings as shipped, nothing at all is left.
    wine "$install/Uninstall.exe" /S </dev/null >/dev/null 2>&1
    check "uninstalling with unchanged settings removes the install folder" \
        wait_until 30 bash -c "[ ! -e '$install' ]"
}

# ORVU_E2E_ONLY=portable runs only the portable zip's run.
scenario_portable
[ "${ORVU_E2E_ONLY:-}" = portable ] || scenario_installer

if [ "$failures" -ne 0 ]; then
    log "$failures check(s) failed"
    exit 1
fi
log "all checks passed"
