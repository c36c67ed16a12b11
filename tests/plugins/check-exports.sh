#!/usr/bin/env bash
# Fails unless every module given exports exactly Create_Plugin,
# Release_Plugin and Version_Plugin under these plain names: the host looks
# them up by name, so a decorated name ("_Create_Plugin", "Version_Plugin@0")
# would make the module unusable.
# Usage: check-exports.sh <objdump> <module.dll>...
set -euo pipefail
objdump=$1
shift
status=0
for module in "$@"; do
    names=$("$objdump" -p "$module" |
        sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
    if [ "$names" != "Create_Plugin Release_Plugin Version_Plugin " ]; then
        echo "$module exports: ${names:-nothing}" >&2
        status=1
    else
        echo "$module: $names"
    fi
done
exit $status
