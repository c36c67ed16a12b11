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

scenario_portable() {
    log "== the portable zip, unzipped into a fresh folder"
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

    local user home install install_win programs menu_lnk startup_lnk key mark line code
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

    check "setup.exe /S ends with code 0" wine "$setup" /S
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

    # The user changes a setting; started as the Startup shortcut starts it,
    # from another current directory, the monitor reads it.
    sed -i 's/^AlertShowPercent:100/AlertShowPercent:20/' "$install/Ohmwatch.ini"
    grep -q '^AlertShowPercent:20' "$install/Ohmwatch.ini" || fail "the sample has no AlertShowPercent:100 line"
    set_battery battery 50
    start_shell
    (cd "$work" && wine start "$(winepath -w "$startup_lnk")" </dev/null >/dev/null 2>&1)
    expect_tray "Ohmwatch - 50%" 1060 20
    check "above the changed threshold (20 %) there is no alert" stays_hidden "$alert_title"
    set_battery battery 20
    expect_tray "Ohmwatch - 20%" 1020
    check "at 20 % the alert shows" probe_ok await "$alert_title" visible 3000
    check "the alert shows the installed picture ($picture_size)" [ "$(alert_size)" = "$picture_size" ]

    # A second start: ends at once with code 0, adds no icon.
    code=0
    (cd "$install" && timeout 20 wine Ohmwatch.exe </dev/null >/dev/null 2>&1) || code=$?
    check "a second start ends at once with code 0 (got $code)" [ "$code" = 0 ]
    sleep 0.5
    check "a second start adds no second icon" [ "$(grep -c '^ADD result=1' "$shell_log")" = 1 ]
    check "the first monitor still runs" probe_ok await Ohmwatch present 0

    # The installer over the running monitor: it ends the monitor (its icon
    # goes), keeps the changed settings and starts the new version.
    mark=$(wc -l <"$shell_log")
    check "setup.exe /S over the running monitor ends with code 0" bash -c "wine '$setup' /S </dev/null >/dev/null 2>&1"
    check "the upgrade ended the running monitor, removing its icon" logged_since "$mark" '^DELETE result=1'
    check "the upgrade started the new version" wait_until 20 logged_since "$mark" '^ADD result=1'
    expect_tray "Ohmwatch - 20%" 1020 20
    check "one icon after the upgrade" [ "$(icons_shown)" = 1 ]
    check "the upgrade kept the changed Ohmwatch.ini" grep -q '^AlertShowPercent:20' "$install/Ohmwatch.ini"

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
    stop_shell

    # With settings as shipped, nothing at all is left.
    rm -rf "$install"
    check "a second installation ends with code 0" wine "$setup" /S
    wine "$install/Uninstall.exe" /S </dev/null >/dev/null 2>&1
    check "uninstalling with unchanged settings removes the install folder" \
        wait_until 30 bash -c "[ ! -e '$install' ]"
}

scenario_portable
scenario_installer

if [ "$failures" -ne 0 ]; then
    log "$failures check(s) failed"
    exit 1
fi
log "all checks passed"
