#!/usr/bin/env bash
# Runs a Windows program of one tree under Wine: wine-run.sh win32|win64 PROGRAM [ARGS...].
# The test runner starts the displays and the wine servers first (QV_WINE_SHARDS names them) and
# this takes a free one for the program's lifetime; run by hand (or by a hand-run ctest), this
# prepares the tree's prefix, starts a display when there is none, and programs on the same
# display take turns.
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1; shift
. "$root/scripts/wine-env.sh" "$tree"
if [ -n "${QV_WINE_SHARDS:-}" ]; then
  wine_env_claim_shard
else
  mkdir -p "$root/build"
  # By hand: the tree's prefix as the test command sets it up, and a display of its own when
  # there is none.
  wine_env_prefix_ready
  if [ -z "${DISPLAY:-}" ]; then
    wine_env_start_display || exit 1
    trap 'for pid in "${qv_xvfb_pids[@]}"; do kill "$pid" 2>/dev/null; done' EXIT
  fi
  exec 9>"$WINEPREFIX.display${DISPLAY:-none}.lock"
  flock 9
fi
# The program does not inherit the lock: a helper it leaves running must not hold the display.
"$WINELOADER" "$@" 9>&-
