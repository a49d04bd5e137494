#!/usr/bin/env bash
# Configures and builds one tree: "win32" (the program and its Windows tests), "win64" (the same
# sources for x86_64, whose Windows tests run where 32-bit code cannot), "native" (the
# platform-free modules with sanitizers), "bench" (native, optimised, with the benchmarks) or
# "fuzz" (clang, the libFuzzer targets with the address and undefined-behaviour sanitizers).
# Targets after the tree build only those (and what they need): build.sh win32 quorvalent.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:?usage: build.sh win32|win64|native|bench|fuzz [TARGET...]}
shift
targets=()
for target in "$@"; do targets+=(--target "$target"); done
# QV_JOBS caps the parallel compiles (several builds sharing one machine). QV_BUILD_TESTS=OFF
# builds a tree without its tests (the 32-bit program where its tests cannot run).
jobs=${QV_JOBS:-$(nproc)}
tests=${QV_BUILD_TESTS:-ON}

case "$tree" in
  win32)  args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release -DQV_TESTS="$tests") ;;
  win64)  args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release -DQV_TESTS="$tests") ;;
  native) args=(-DQV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQV_TESTS="$tests") ;;
  bench)  args=(-DQV_BENCHMARKS=ON -DQV_TESTS=OFF -DCMAKE_BUILD_TYPE=Release) ;;
  fuzz)   args=(-DQV_FUZZ=ON -DQV_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
                -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown tree: $tree" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$root/build/$tree" "${args[@]}" >/dev/null
cmake --build "$root/build/$tree" -j "$jobs" "${targets[@]}"
