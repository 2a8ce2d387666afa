#!/usr/bin/env bash
# The start-up of `zyn -b` as a script that runs it over many grids pays it: the bare start-up
# with a two-word list (minor page faults and peak memory from GNU `time`, wall time), then a
# deck of one short word over the lower-case words of the large British list, cold (the index
# cache emptied before every run) and warm (the cache written by the run before). Medians of the
# runs; OTHER=path/to/zyn runs that program too, run by run beside this one.
# Usage: bash bench/bench_startup.sh [runs] [word list]   (Release build in build-bench/, or BUILD=folder)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
wordsrc=${2:-/usr/share/dict/british-english-huge}
build=${BUILD:-build-bench}
if [ ! -x /usr/bin/time ]; then
  echo "needs GNU time: apt-get install time" >&2
  exit 1
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zyn >/dev/null
progs=("$build/zyn")
names=(this)
if [ -n "${OTHER:-}" ]; then
  progs=("$OTHER" "$build/zyn")
  names=(other this)
fi

work=$(mktemp -d /tmp/zynstartbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME=$work/cache
printf 'ab\ncd\n' >"$work/two.txt"
printf '.DI 1 %s\nA1 A2\n' "$work/two.txt" >"$work/two.deck"
grep -E '^[a-z]+$' "$wordsrc" >"$work/words.txt"
printf '.DI 1 %s\nA1 A2\n' "$work/words.txt" >"$work/words.deck"
echo "bare: a two-word list; cold and warm: $(wc -l <"$work/words.txt") words from $wordsrc; $runs runs"

# timed PROG DECK KIND: appends "faults KB milliseconds" of one run to $work/t.KIND (the wall
# time taken around GNU time, whose own resolution is 10 ms)
timed() {
  local t0=${EPOCHREALTIME/./} t1
  /usr/bin/time -f '%R %M' -o "$work/one" "$1" -b "$2" >/dev/null 2>&1
  t1=${EPOCHREALTIME/./}
  echo "$(cat "$work/one") $(((t1 - t0) / 1000))" >>"$work/t.$3"
}
for i in $(seq "$runs"); do
  for p in "${!progs[@]}"; do
    n=${names[$p]}
    timed "${progs[$p]}" "$work/two.deck" "$n.bare"
    rm -rf "$XDG_CACHE_HOME"
    timed "${progs[$p]}" "$work/words.deck" "$n.cold"
    # A run that ends before its cache file is written leaves it to a process of its own.
    for k in $(seq 500); do
      ls "$XDG_CACHE_HOME"/zyn/index-* >/dev/null 2>&1 && break
      sleep 0.01
    done
    timed "${progs[$p]}" "$work/words.deck" "$n.warm"
  done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf '%-6s %-5s %10s %10s %10s\n' prog run faults "peak MB" "wall ms"
for n in "${names[@]}"; do
  for r in bare cold warm; do
    f=$(awk '{ print $1 }' "$work/t.$n.$r" | median)
    m=$(awk '{ print $2 / 1024 }' "$work/t.$n.$r" | median)
    s=$(awk '{ print $3 }' "$work/t.$n.$r" | median)
    printf '%-6s %-5s %10s %10.1f %10s\n' "$n" "$r" "$f" "$m" "$s"
  done
done
