#!/usr/bin/env bash
# Installs what is missing, builds the trees and runs every test: the native tree (sanitizers) and
# the Windows tests under Wine, in shards with private displays. The Windows tests run from the 32-bit program
# tree where this machine can execute 32-bit code, else from the 64-bit tree of the same sources
# (the 32-bit tree is still built, so the program itself always compiles and links).
# --win64 takes the 64-bit path on any machine, as on one that cannot execute 32-bit code.
# Ends with one summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
force_win64=0
for arg in "$@"; do
  case "$arg" in
    --win64) force_win64=1 ;;
    *) echo "usage: test.sh [--win64]" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh" || exit 1
"$root/scripts/build.sh" native || exit 1

. "$root/scripts/wine-env.sh" win32
if [ "$force_win64" -eq 0 ] && wine_env_can_run_win32; then
  wintree=win32
  "$root/scripts/build.sh" win32 || exit 1
else
  wintree=win64
  if [ "$force_win64" -eq 1 ]; then
    echo "--win64: the Windows tests run from the 64-bit tree."
  else
    echo "This machine cannot execute 32-bit x86 code: the Windows tests run from the 64-bit tree."
  fi
  # The 32-bit program is still built, without the tests that cannot run here.
  QV_BUILD_TESTS=OFF "$root/scripts/build.sh" win32 || exit 1
  "$root/scripts/build.sh" win64 || exit 1
  . "$root/scripts/wine-env.sh" win64
fi

results="$root/build/test-results"
rm -rf "$results"; mkdir -p "$results/native" "$results/$wintree"

status=0
echo "== native tests"
GTEST_OUTPUT="xml:$results/native/" ctest --test-dir build/native --output-on-failure -j "$(nproc)" || status=1

# The Windows tests run in shards, each with its own display, Wine prefix and server: one test
# program per shard at a time, as many at once as there are shards. A Wine test keeps about two
# processes busy (the program and its server), so half the cores; Wine programs also spend much of
# their time waiting, so even two cores take three. QV_TEST_SHARDS overrides the number.
cores=$(nproc)
shards=${QV_TEST_SHARDS:-$(( cores / 2 > 3 ? cores / 2 : 3 ))}
# The printer tests print for real to a CUPS PDF queue, shared by every shard: one scheduler for
# the whole run, started before the shards so that each Wine prefix finds the queue.
. "$root/scripts/cups-env.sh"
trap 'wine_env_stop; cups_env_stop' EXIT
cups_env_start
wine_env_start_shards "$shards" || exit 1
echo "== $wintree tests (Wine, $shards shards: $QV_WINE_SHARDS)"
# A Windows program reads a path without a drive as relative: Wine maps the Unix root to Z:.
# CTest starts the longest tests first once it has recorded their times (build/TREE/Testing).
GTEST_OUTPUT="xml:Z:$results/$wintree/" ctest --test-dir "build/$wintree" --output-on-failure -j "$shards" || status=1
wine_env_stop
cups_env_stop

# One line over the trees, counting test cases from the GoogleTest reports. A test program that
# crashed before writing its report counts as one failure.
passed=0; failed=0
count() { sed -n 's/.*<testsuites [^>]*'"$1"'="\([0-9]*\)".*/\1/p' "$2" | head -n 1; }
for tree in native "$wintree"; do
  for xml in "$results/$tree"/*.xml; do
    [ -f "$xml" ] || continue
    t=$(count tests "$xml"); f=$(count failures "$xml"); e=$(count errors "$xml"); d=$(count disabled "$xml")
    passed=$((passed + ${t:-0} - ${f:-0} - ${e:-0} - ${d:-0})); failed=$((failed + ${f:-0} + ${e:-0}))
  done
  expected=$(ctest --test-dir "build/$tree" -N 2>/dev/null | sed -n 's/^Total Tests: \([0-9]*\)/\1/p')
  reported=$(find "$results/$tree" -name '*.xml' | wc -l)
  [ "${expected:-0}" -gt "$reported" ] && failed=$((failed + expected - reported))
done
[ "$failed" -gt 0 ] && status=1
echo "summary: $passed passed, $failed failed"
exit $status
