#!/usr/bin/env bash
# Builds the platform-free parts natively with sanitizers and runs their
# tests, then fuzzes the two parsers of outside bytes (the settings file's
# text, the ".omp" header) with libFuzzer under the same sanitizers, a
# million inputs each, and prints how many inputs each fuzzer ran. Needs clang and
# libFuzzer (scripts/setup.sh installs them).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_HOST_BUILD_DIR:-$root/build-host}
fuzzer_lib=$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null || true)
if [ ! -f "$fuzzer_lib" ]; then
    echo "host-check: clang with libFuzzer is missing (scripts/setup.sh installs clang and libfuzzer-14-dev)" >&2
    exit 1
fi
# A folder configured with another compiler is configured again.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++' "$build/CMakeCache.txt"; then
    rm -rf "$build"
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root/tests/host" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build "$build" -j"$(nproc)" >/dev/null
cd "$build"
status=0
ctest --output-on-failure "$@" || status=1
# The fuzzers' own account of each run, for the log.
awk '/^[0-9]+\/[0-9]+ Test: /{name=$3} /^INFO: Seed: |^Done [0-9]+ runs/{print name ": " $0}' \
    Testing/Temporary/LastTest.log
exit $status
