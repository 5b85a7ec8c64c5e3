#!/usr/bin/env bash
# Builds dari and runs one of its jobs.
#   ./dev.sh example   build the library and run the example programs
#   ./dev.sh test      build and run every unit test
#   ./dev.sh bench     build and run the benchmarks (optional baselines if installed)
set -euo pipefail
cd "$(dirname "$0")"

job="${1:-}"
case "$job" in
  example|test|bench) ;;
  *) echo "usage: ./dev.sh example|test|bench" >&2; exit 2 ;;
esac

# Debian packages the build needs; installed when we are root, otherwise we say how.
missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
  else
    echo "dari needs these packages; run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
fi

jobs=$(nproc 2>/dev/null || echo 2)

case "$job" in
  example)
    cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DDARI_BUILD_TESTS=OFF >/dev/null
    cmake --build build/release -j "$jobs" --target dari_examples
    for program in $(cat build/release/examples/example_list.txt); do
      echo "=== $program ==="
      (cd build/release/examples && "./$program")
      echo
    done
    ;;
  test)
    cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release -DDARI_BUILD_TESTS=ON >/dev/null
    cmake --build build/test -j "$jobs"
    (cd build/test && ctest -j "$jobs" --output-on-failure)
    ;;
  bench)
    cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DDARI_BUILD_TESTS=OFF \
      -DDARI_BUILD_BENCH=ON >/dev/null
    cmake --build build/bench -j "$jobs"
    for b in build/bench/bench/dari_bench_*; do
      [ -x "$b" ] && "$b" "${@:2}"
    done
    ;;
esac
