#!/usr/bin/env bash
# Checks the output folder as it would be copied to a Windows machine:
# every module is a 32-bit PE file, the program is a windowed program that
# imports the engine, every DLL a module imports is either beside the program
# (or in plugins/, for plugins) or part of Windows itself, and no module
# imports a function that Windows XP SP3 lacks (post-xp-imports.txt: lines
# "dll function", the DLL's name in lower case).
#   check_binaries.sh <objdump> <post-xp-list> <output-folder>
# With --modules, checks only the imports of the modules given:
#   check_binaries.sh <objdump> <post-xp-list> --modules <module>...
set -euo pipefail
objdump=$1
post_xp=$2
shift 2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# DLLs every Windows XP installation has.
system_dlls="kernel32.dll user32.dll gdi32.dll msvcrt.dll shell32.dll shlwapi.dll
advapi32.dll ole32.dll oleaut32.dll comctl32.dll comdlg32.dll msimg32.dll winmm.dll
gdiplus.dll ws2_32.dll version.dll"

# The module's imports as lines "dll function", the DLL in lower case, from
# objdump's import tables (a "DLL Name:" line, then one line per function
# after the "vma: Hint/Ord Member-Name" heading).
imported_functions() { # dump
    awk '/^[[:space:]]*DLL Name: / { dll = tolower($3); table = 0; next }
         /^[[:space:]]*vma:[[:space:]]*Hint\/Ord/ { table = 1; next }
         table && NF == 0 { table = 0; next }
         table && NF >= 3 { print dll " " $3 }' <<<"$1"
}

check_module() { # module
    local module=$1 dump dll
    dump=$("$objdump" -p "$module")
    grep -q 'file format pei-i386' <<<"$dump" || fail "$module is not a 32-bit PE file"
    grep -q 'Magic.*010b' <<<"$dump" || fail "$module is not PE32"
    local imports
    imports=$(imported_functions "$dump")
    [ -n "$imports" ] || fail "no imported function found in $module (objdump's format changed?)"
    while read -r dll function; do
        fail "$(basename "$module") imports $function ($dll), which Windows XP SP3 lacks"
    done < <(grep -Fxf <(grep -v '^#' "$post_xp") <<<"$imports" || true)
    while read -r dll; do
        dll_lower=${dll,,}
        if grep -qw -- "$dll_lower" <<<"$system_dlls"; then
            continue
        fi
        if [ -f "$out/$dll" ] || [ -f "$(dirname "$module")/$dll" ]; then
            continue
        fi
        fail "$module imports $dll, which is neither beside it nor part of Windows"
    done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | sort -u)
}

if [ "${1:-}" = "--modules" ]; then
    shift
    for module in "$@"; do
        out=$(dirname "$module")
        check_module "$module"
    done
    if [ $failures -ne 0 ]; then
        echo "$failures problem(s)"
        exit 1
    fi
    echo "checked $# module(s)"
    exit 0
fi

out=$1
shopt -s nullglob
modules=("$out"/*.exe "$out"/*.dll "$out"/plugins/*.dll)
[ ${#modules[@]} -ge 4 ] || fail "expected the program, the engine and runtime DLLs in $out"
for module in "${modules[@]}"; do
    check_module "$module"
done

program=$("$objdump" -p "$out/Ohmwatch.exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$program" || fail "Ohmwatch.exe is not a windowed program"
grep -q 'DLL Name: OrvuEngine.dll' <<<"$program" || fail "Ohmwatch.exe does not import OrvuEngine.dll"

engine=$("$objdump" -p "$out/OrvuEngine.dll")
for symbol in _ZN4Orvu4Core3RunEPNS_3AppEb _ZTVN4Orvu9ExceptionE _ZN4Orvu9ShowErrorERKNS_9ExceptionE; do
    grep -q "$symbol" <<<"$engine" || fail "OrvuEngine.dll does not export $symbol"
done

for plugin in "$out"/plugins/OPPic_*.dll; do
    exports=$("$objdump" -p "$plugin" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
    for name in Create_Plugin Release_Plugin Version_Plugin; do
        grep -qE "\] $name\$" <<<"$exports" || fail "$plugin does not export $name undecorated"
    done
done

if [ $failures -ne 0 ]; then
    echo "$failures problem(s)"
    exit 1
fi
echo "checked ${#modules[@]} modules: $(cd "$out" && ls "${modules[@]#$out/}" | tr '\n' ' ')"
