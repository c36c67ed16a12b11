#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the Windows test
# programs under Wine (ctest in build/), then the platform-free parts built
# natively with sanitizers (ctest in build-host/). Extra arguments go to the
# Wine ctest run (for example -R settings).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVU_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"

status=0
echo "== Windows tests under Wine =="
(cd "$build" && ctest --output-on-failure "$@") || status=1
echo "== Platform-free code, native with sanitizers =="
"$root/scripts/host-check.sh" || status=1
exit $status
