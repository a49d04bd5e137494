#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine on your display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: run this from a desktop session, or start a virtual one first, for example" >&2
  echo "  Xvfb :1 -screen 0 1280x1024x24 &  export DISPLAY=:1" >&2
  exit 1
fi
"$root/scripts/install-deps.sh"
tree=win32
. "$root/scripts/wine-env.sh" win32
if ! wine_env_can_run_win32; then
  echo "This machine cannot execute 32-bit x86 code: starting the 64-bit build of the program." >&2
  tree=win64
  . "$root/scripts/wine-env.sh" win64
fi
# Only the program and what it needs: the tests are built by the test command.
"$root/scripts/build.sh" "$tree" quorvalent
trap wine_env_stop EXIT
wine_env_start
"$WINELOADER" "$root/build/$tree/Quorvalent/quorvalent.exe"
