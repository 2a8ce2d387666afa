#!/usr/bin/env bash
# Zyn's main job: install what is missing, build, and fill a puzzle. With no arguments it fills
# the bundled 15x15 example from the default word list and prints the fill; arguments go to zyn.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF -DZYN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
if [ $# -eq 0 ]; then set -- -b examples/grid15.deck; fi
exec ./build/zyn "$@"
