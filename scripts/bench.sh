#!/usr/bin/env bash
# Builds the optimised native tree and runs the benchmarks (not part of the tests), then times
# the program's start under Wine on a private display (start to main window shown).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" bench
for program in EngineBench ImageDecodeBench GridLoadMemoryBench; do "$root/build/bench/bench/$program" "$@"; done

tree=win32
. "$root/scripts/wine-env.sh" win32
if ! wine_env_can_run_win32; then tree=win64; . "$root/scripts/wine-env.sh" win64; fi
"$root/scripts/build.sh" "$tree"
trap wine_env_stop EXIT
wine_env_start private-display
"$WINELOADER" "$root/build/$tree/tests/e2e/StartupBenchmark.exe"
"$WINELOADER" "$root/build/$tree/tests/e2e/SuiteCalculationBenchmark.exe"
