#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test under Wine.
# Extra arguments go to ctest (for example -R settings).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure "$@"
