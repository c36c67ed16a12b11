#!/usr/bin/env bash
# Builds the platform-free parts natively with sanitizers and runs their
# tests (and, when clang is installed, a short fuzzing run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_HOST_BUILD_DIR:-$root/build-host}
compiler=()
if command -v clang++ >/dev/null && [ -n "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null | grep /)" ] \
   && [ -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
    compiler=(-DCMAKE_CXX_COMPILER=clang++)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root/tests/host" -B "$build" "${compiler[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" >/dev/null
cd "$build"
ctest --output-on-failure "$@"
