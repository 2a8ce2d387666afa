#!/usr/bin/env bash
# The whole test suite: install what is missing, build under AddressSanitizer and
# UndefinedBehaviorSanitizer with warnings as errors, and run every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DZYN_SANITIZE=ON -DZYN_WERROR=ON >/dev/null
cmake --build build-test -j"$(nproc)"
cd build-test
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --output-on-failure -j"$(nproc)"
