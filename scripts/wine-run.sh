#!/usr/bin/env bash
# Runs a Windows program of one tree under Wine: wine-run.sh win32|win64 PROGRAM [ARGS...].
# The test runner starts the displays and the wine servers first (QV_WINE_SHARDS names them) and
# this takes a free one for the program's lifetime; run by hand, this starts what it needs
# through wine-env.sh, and programs on the same display take turns (a hand-run `ctest -j`).
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1; shift
. "$root/scripts/wine-env.sh" "$tree"
if [ -n "${QV_WINE_SHARDS:-}" ]; then
  wine_env_claim_shard
else
  mkdir -p "$root/build"
  exec 9>"$WINEPREFIX.display${DISPLAY:-none}.lock"
  flock 9
fi
# The program does not inherit the lock: a helper it leaves running must not hold the display.
"$WINELOADER" "$@" 9>&-
