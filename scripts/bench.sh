#!/usr/bin/env bash
# Builds the optimised native tree and runs the benchmarks (not part of the tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" bench
for program in EngineBench ImageDecodeBench; do "$root/build/bench/bench/$program" "$@"; done
