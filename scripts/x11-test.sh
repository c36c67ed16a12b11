#!/usr/bin/env bash
# Runs one test command inside an Xvfb session (started by xvfb-run) in the
# X11 test prefix. Wine's desktop process is started here first, with the
# session's display and without the test's output streams: started by the
# test itself it would hold CTest's pipe open after the test ended, and
# started without a display it would report a 1024 x 768 screen to every
# program that follows. It ends with the session's X server.
set -euo pipefail
wine wineboot </dev/null >/dev/null 2>&1 || true
exec "$@"
