#!/usr/bin/env bash
# Batch fills of a grid set: each grid becomes a deck (tools/grid2deck.sh) over the lower-case
# words of the large British list, and `zyn -b` fills it with a time cap. Prints per grid whether
# it filled, the wall and processor time, the peak memory and the nodes searched, then a summary
# per grid size with the totals and the slowest grid.
# Usage: bash bench/bench_batch.sh [grid folder] [word list] [cap in seconds] [grid names ...]
# Without names it runs the standard set's 15x15 to 23x23 grids from bench/grids, or every grid
# of another folder. The Release build goes to build-bench/, or to the folder named by BUILD.
# Every fill uses the seed SEED (default 1), so that a run repeats; SEED=0 draws one per fill.
# OTHER=path/to/zyn runs that program too, grid by grid just before this one, for a comparison
# on a machine whose load changes. The word list's index is cached (in a folder of the run's own)
# before the first grid, so that every fill reads it as a setter's second run would; COLD=1
# empties the cache before every fill instead.
set -euo pipefail
cd "$(dirname "$0")/.."
griddir=${1:-bench/grids}
wordsrc=${2:-/usr/share/dict/british-english-huge}
cap=${3:-10}
seed=${SEED:-1}
shift $(($# < 3 ? $# : 3))
if [ $# -eq 0 ]; then
  if [ "$griddir" = bench/grids ]; then
    set -- 15.0{1..9} 15.10 puzzle17 puzzle18 puzzle19 puzzle20 puzzle21 puzzle22 19.0{1..9} 19.10 21.0{1..9} 21.10 \
      23.0{1..9} 23.10
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
progs=("$build/zyn")
names=(this)
if [ -n "${OTHER:-}" ]; then
  progs=("$OTHER" "$build/zyn")
  names=(other this)
fi

work=$(mktemp -d /tmp/zynbatchbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
grep -E '^[a-z]+$' "$wordsrc" >"$work/words.txt"
export XDG_CACHE_HOME=$work/cache
printf '.DI 1 %s\nA1 A2\n' "$work/words.txt" >"$work/warm.deck"
for p in "${progs[@]}"; do "$p" -b "$work/warm.deck" >/dev/null 2>&1 || true; done
echo "word list: $(wc -l <"$work/words.txt") words from $wordsrc; cap ${cap} s; seed $seed; grids from $griddir"
for p in "${!progs[@]}"; do echo "${names[$p]}: ${progs[$p]}"; done
printf '%-10s %-6s %-9s %8s %8s %9s %10s\n' grid prog result "wall s" "cpu s" "peak MB" nodes

# Fills the deck with program $1; sets res, wall, cpu, rss and nodes.
fillone() {
  local st=0
  [ -n "${COLD:-}" ] && rm -rf "$XDG_CACHE_HOME"
  # -D 1 adds the filler's thread log, whose "nodes searched" line counts the search's depths.
  /usr/bin/time -v -o "$work/time" timeout "$cap" "$1" -D 1 -F "$seed" -b "$work/deck" >"$work/out" 2>"$work/err" || st=$?
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$work/time")
  cpu=$(awk -F': ' '/(User|System) time/ { s += $2 } END { print s }' "$work/time")
  rss=$(awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$work/time")
  nodes=$(awk '/^nodes searched: / { print $3; exit }' "$work/out")
  # A fill counts only when every word line is complete and lists its dictionary word.
  local nw nc
  nw=$(grep -c '^W' "$work/out" || true)
  nc=$(grep -c '^# ' "$work/out" || true)
  case $st in
    0) if [ "$nw" -gt 0 ] && [ "$nw" -eq "$nc" ] && ! grep -q '^W[0-9]* .*[.?[]' "$work/out"; then res=filled; else res="bad output"; fi ;;
    4) res="no fill" ;;
    124) res=timeout ;;
    *) res="status $st" ;;
  esac
}

declare -A nfilled ntotal total totalcpu worst worstname
for g in "$@"; do
  bash tools/grid2deck.sh "$griddir/$g.txt" ".DI 1 $work/words.txt" >"$work/deck"
  case $g in puzzle*) size=puzzle ;; *) size=${g%%.*} ;; esac
  for p in "${!progs[@]}"; do
    fillone "${progs[$p]}"
    n=${names[$p]}
    printf '%-10s %-6s %-9s %8.2f %8.2f %9s %10s\n' "$g" "$n" "$res" "$wall" "$cpu" "$rss" "${nodes:--}"
    ntotal[$n,$size]=$((${ntotal[$n,$size]:-0} + 1))
    [ "$res" = filled ] && nfilled[$n,$size]=$((${nfilled[$n,$size]:-0} + 1))
    total[$n]=$(awk -v a="${total[$n]:-0}" -v b="$wall" 'BEGIN { print a + b }')
    totalcpu[$n]=$(awk -v a="${totalcpu[$n]:-0}" -v b="$cpu" 'BEGIN { print a + b }')
    if awk -v a="$wall" -v b="${worst[$n]:-0}" 'BEGIN { exit !(a > b) }'; then worst[$n]=$wall worstname[$n]=$g; fi
  done
done
echo
for n in "${names[@]}"; do
  line="$n:"
  for key in $(printf '%s\n' "${!ntotal[@]}" | grep "^$n," | sort); do
    line="$line ${key#*,} ${nfilled[$key]:-0}/${ntotal[$key]} filled;"
  done
  echo "$line"
  printf '%s: total %.2f s wall, %.2f s cpu over %d grids; slowest %s %.2f s\n' "$n" "${total[$n]}" "${totalcpu[$n]}" $# \
    "${worstname[$n]}" "${worst[$n]}"
done
