#!/usr/bin/env bash
# Configures and builds everything into build/ (or $ORVU_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}
toolchain="$root/cmake/toolchain-mingw-i686.cmake"

# CMake keeps the compilers it found at the first configure. When the
# toolchain file has changed since (another thread model, say), an old build
# folder would go on building with the old compilers: configure it afresh.
stamp="$build/toolchain.sha1"
wanted=$(sha1sum < "$toolchain")
if [ -f "$build/CMakeCache.txt" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
    echo "build.sh: the toolchain changed; configuring $build afresh"
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
          -DCMAKE_BUILD_TYPE=Release "$@"
    echo "$wanted" > "$stamp"
fi
cmake --build "$build" -j"$(nproc)"
