#!/usr/bin/env bash
# Configures and builds everything into build/ (or $ORVU_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
          -DCMAKE_BUILD_TYPE=Release "$@"
fi
cmake --build "$build" -j"$(nproc)"
