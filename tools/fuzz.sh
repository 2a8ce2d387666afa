#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for a while:
#   bash tools/fuzz.sh [seconds, default 60] [target ...]   (targets: doc deck words tsd ipuz puz ccxml clues
#   cache; all by default)
# A crash stops the run with a failure status; the input that caused it is left in build-fuzz/
# as crash-<target>-*. Each target keeps the inputs it found in build-fuzz/corpus-<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
secs=${1:-60}
shift || true
targets=${*:-doc deck words tsd ipuz puz ccxml clues cache}
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZYN_FUZZ=ON -DZYN_TESTS=OFF -DZYN_BENCH=OFF >/dev/null
for t in $targets; do
  cmake --build build-fuzz --target "fuzz_$t" -j"$(nproc)" >/dev/null
done
for t in $targets; do
  echo "== fuzz_$t for $secs s"
  mkdir -p "build-fuzz/corpus-$t"
  seeds=()
  [ -d "fuzz/seeds/$t" ] && seeds+=("fuzz/seeds/$t")
  [ "$t" = deck ] && seeds+=(examples)
  [ "$t" = doc ] && seeds+=(tests/docfiles)
  # The engine's standard output and error are closed; the fuzzer's own report goes to the log.
  log="build-fuzz/fuzz-$t.log"
  if ! "build-fuzz/fuzz_$t" -dict="fuzz/$t.dict" -max_len=30000 -max_total_time="$secs" -close_fd_mask=3 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/crash-$t-" "build-fuzz/corpus-$t" "${seeds[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$t failed; see $log"
    exit 1
  fi
  grep -E "^stat::(number_of_executed_units|new_units_added)" "$log" || true
done
