#!/usr/bin/env bash
# Builds Zyn without sanitizers and runs the benchmarks: all of them, or those named
# (e.g. `bash tools/bench.sh rebuild dicts`).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
if [ $# -eq 0 ]; then
  set -- $(cd build-bench && ls bench_* | sed 's/^bench_//')
fi
for b in "$@"; do
  echo "== bench_$b"
  ./build-bench/bench_"$b"
done
