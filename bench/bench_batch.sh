#!/usr/bin/env bash
# Batch fills of a grid set: each grid becomes a deck (tools/grid2deck.sh) over the lower-case
# words of the large British list, and `zyn -b` fills it with a time cap. Prints per grid the wall
# time, the peak memory, the nodes searched and whether it filled, then a summary per grid size
# with the total time and the slowest grid.
# Usage: bash bench/bench_batch.sh [grid folder] [word list] [cap in seconds] [grid names ...]
# Without names it runs the standard set's 15x15 to 23x23 grids from bench/grids, or every grid
# of another folder. The Release build goes to build-bench/, or to the folder named by BUILD.
set -euo pipefail
cd "$(dirname "$0")/.."
griddir=${1:-bench/grids}
wordsrc=${2:-/usr/share/dict/british-english-huge}
cap=${3:-10}
shift $(($# < 3 ? $# : 3))
if [ $# -eq 0 ]; then
  if [ "$griddir" = bench/grids ]; then
    set -- 15.0{1..9} 15.10 puzzle17 puzzle18 puzzle19 19.0{1..9} 19.10 21.0{1..9} 21.10 23.0{1..9} 23.10
  else
    set -- $(cd "$griddir" && ls *.txt | sed 's/\.txt$//')
  fi
fi
if [ ! -x /usr/bin/time ]; then
  echo "needs GNU time for the peak memory: apt-get install time" >&2
  exit 1
fi

build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zyn >/dev/null

work=$(mktemp -d /tmp/zynbatchbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
grep -E '^[a-z]+$' "$wordsrc" >"$work/words.txt"
echo "word list: $(wc -l <"$work/words.txt") words from $wordsrc; cap ${cap} s; grids from $griddir"
printf '%-10s %-9s %8s %9s %10s\n' grid result "wall s" "peak MB" nodes

declare -A nfilled ntotal
total=0 worst=0 worstname=""
for g in "$@"; do
  bash tools/grid2deck.sh "$griddir/$g.txt" ".DI 1 $work/words.txt" >"$work/deck"
  st=0
  # -D 1 adds the filler's thread log, whose "nodes searched" line counts the search's depths.
  /usr/bin/time -v -o "$work/time" timeout "$cap" "$build/zyn" -D 1 -b "$work/deck" >"$work/out" 2>"$work/err" || st=$?
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$work/time")
  rss=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$work/time")
  nodes=$(awk '/^nodes searched: / { print $3; exit }' "$work/out")
  # A fill counts only when every word line is complete and lists its dictionary word.
  nw=$(grep -c '^W' "$work/out" || true)
  nc=$(grep -c '^# ' "$work/out" || true)
  case $st in
    0) if [ "$nw" -gt 0 ] && [ "$nw" -eq "$nc" ] && ! grep -q '^W[0-9]* .*[.?[]' "$work/out"; then res=filled; else res="bad output"; fi ;;
    4) res="no fill" ;;
    124) res=timeout ;;
    *) res="status $st" ;;
  esac
  printf '%-10s %-9s %8.2f %9s %10s\n' "$g" "$res" "$wall" "$rss" "${nodes:--}"
  case $g in puzzle*) size=puzzle ;; *) size=${g%%.*} ;; esac
  ntotal[$size]=$((${ntotal[$size]:-0} + 1))
  [ "$res" = filled ] && nfilled[$size]=$((${nfilled[$size]:-0} + 1))
  total=$(awk -v a="$total" -v b="$wall" 'BEGIN { print a + b }')
  if awk -v a="$wall" -v b="$worst" 'BEGIN { exit !(a > b) }'; then worst=$wall worstname=$g; fi
done
echo
for size in $(printf '%s\n' "${!ntotal[@]}" | sort); do
  echo "$size: ${nfilled[$size]:-0}/${ntotal[$size]} filled"
done
printf 'total %.2f s over %d grids; slowest %s %.2f s\n' "$total" $# "$worstname" "$worst"
