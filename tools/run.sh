#!/usr/bin/env bash
# Zyn's main job: install what is missing, build, and run Zyn (with no arguments: its usage text).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF -DZYN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
if [ $# -eq 0 ]; then set -- -?; fi
exec ./build/zyn "$@"
