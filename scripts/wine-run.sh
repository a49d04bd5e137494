#!/usr/bin/env bash
# Runs a Windows program of one tree under Wine: wine-run.sh win32|win64 PROGRAM [ARGS...].
# The test runner starts the display and the wine server first; run by hand, this starts what
# it needs through wine-env.sh.
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1; shift
. "$root/scripts/wine-env.sh" "$tree"
exec "$WINELOADER" "$@"
