#!/usr/bin/env bash
# Builds the fuzz tree (clang, libFuzzer with the address and undefined-behaviour sanitizers) and
# runs each named target (default: every target of fuzz/CMakeLists.txt) for RUNS inputs (default
# 1000000) on a scratch copy of its seed corpus. Each run's summary goes to
# build/fuzz-results/NAME.txt, its whole log to NAME.log, and any crashing input beside them as
# NAME-crash-... (move a fixed one into fuzz/crashes/NAME/ so that the tests replay it).
# Usage: fuzz.sh [NAME...] [RUNS]. Extra libFuzzer options may come in FUZZ_ARGS.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

runs=1000000
names=()
for arg in "$@"; do
  if [[ "$arg" =~ ^[0-9]+$ ]]; then runs=$arg; else names+=("$arg"); fi
done
if [ ${#names[@]} -eq 0 ]; then
  mapfile -t names < <(sed -n 's/^[[:space:]]*qv_add_fuzzer(\([A-Za-z0-9_]*\).*/\1/p' "$root/fuzz/CMakeLists.txt")
fi
[ ${#names[@]} -eq 0 ] && { echo "no fuzz targets" >&2; exit 2; }

"$root/scripts/install-deps.sh" || exit 1
cmake -S "$root" -B "$root/build/fuzz" -DQV_FUZZ=ON -DQV_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
targets=()
for name in "${names[@]}"; do targets+=("${name}_fuzz"); done
cmake --build "$root/build/fuzz" -j "$(nproc)" --target "${targets[@]}" || exit 1

results="$root/build/fuzz-results"
mkdir -p "$results"
status=0
for name in "${names[@]}"; do
  work="$root/build/fuzz-work/$name"
  rm -rf "$work"; mkdir -p "$work"
  [ -d "$root/fuzz/corpus/$name" ] && cp -r "$root/fuzz/corpus/$name/." "$work/"
  log="$results/$name.log"
  start=$(date +%s)
  "$root/build/fuzz/fuzz/${name}_fuzz" -runs="$runs" -print_final_stats=1 -rss_limit_mb=2048 \
    -artifact_prefix="$results/$name-" ${FUZZ_ARGS:-} "$work" >"$log" 2>&1
  rc=$?
  end=$(date +%s)
  [ $rc -ne 0 ] && status=1
  {
    echo "target: $name"
    echo "runs asked: $runs"
    echo "exit status: $rc"
    echo "seconds: $((end - start))"
    echo "seed files: $(find "$root/fuzz/corpus/$name" -type f 2>/dev/null | wc -l)"
    echo "corpus after the run: $(find "$work" -type f | wc -l)"
    grep -E '^(Done [0-9]+ runs|stat::|INFO: Seed|==[0-9]+==ERROR|SUMMARY:|.*runtime error:)' "$log"
    tail -n 3 "$log" | grep -E '#[0-9]+' || true
  } >"$results/$name.txt"
  echo "== $name: exit $rc ($(grep -m1 '^Done' "$log" || echo 'no Done line'))"
done
exit $status
