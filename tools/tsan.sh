#!/usr/bin/env bash
# The tests that run two threads (the filler, the treatments with their plug-ins on the filler
# thread, the dictionary load and the index cache's writer), built and run under ThreadSanitizer in build-tsan/; and the
# window's filling journeys, where the filler thread hands its results to the main loop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DZYN_TSAN=ON -DZYN_WERROR=ON -DZYN_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$(nproc)" --target test_filler test_treatment test_dicts test_dictcache zyn
cd build-tsan
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
ctest --output-on-failure -j"$(nproc)" -R '^(Filler|Treat|Dicts|DictCache)\.|^gui_(assist|autofill|autofillsel|treatfill|journey1)$'
