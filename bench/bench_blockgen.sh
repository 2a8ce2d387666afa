#!/usr/bin/env bash
# Block patterns and their fills: bench_blockgen makes the patterns of seeds 1 to N for each
# style on 15x15 and 21x21 (printing the time each took), then every pattern becomes a deck
# (tools/grid2deck.sh, without a dictionary directive, so that Zyn's default word list fills it)
# and `zyn -b` fills it with a time cap. Prints per style and size how many filled, found no
# fill or hit the cap, and the median and slowest time of the fills.
# Usage: bash bench/bench_blockgen.sh [seeds] [cap in seconds]
# The Release build goes to build-bench/, or to the folder named by BUILD; every fill uses the
# seed SEED (default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
seeds=${1:-100}
cap=${2:-10}
seed=${SEED:-1}
build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zyn bench_blockgen >/dev/null

work=$(mktemp -d /tmp/zynblockgen.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/grids"
"$build/bench_blockgen" "$work/grids" "$seeds"
echo
echo "fills: zyn -b with its default word list, cap ${cap} s, seed $seed"
printf '%-12s %7s %7s %8s %9s %9s\n' grids filled "no fill" timeout "med s" "max s"
for style in american british free; do
  for n in 15 21; do
    filled=0 nofill=0 timeout=0
    : >"$work/times"
    for g in "$work/grids/$style$n".*.txt; do
      [ -e "$g" ] || continue
      bash tools/grid2deck.sh "$g" >"$work/deck"
      st=0
      t0=$(date +%s.%N)
      timeout "$cap" "$build/zyn" -F "$seed" -b "$work/deck" >"$work/out" 2>/dev/null || st=$?
      t1=$(date +%s.%N)
      case $st in
        0) filled=$((filled + 1)); awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }' >>"$work/times" ;;
        4) nofill=$((nofill + 1)) ;;
        124) timeout=$((timeout + 1)) ;;
        *) echo "$g: status $st" >&2 ;;
      esac
    done
    read -r med max < <(sort -n "$work/times" | awk '{ v[NR] = $1 } END { if (NR) printf "%.2f %.2f\n", v[int((NR + 1) / 2)], v[NR]; else print "- -" }')
    printf '%-12s %7d %7d %8d %9s %9s\n' "$style $n" "$filled" "$nofill" "$timeout" "$med" "$max"
  done
done
