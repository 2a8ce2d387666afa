#!/usr/bin/env bash
# Fills with Zyn's everyday word list against today's default list: each grid of 15.01-15.10 and
# 19.01-19.10 made into a deck (tools/grid2deck.sh) and filled by `zyn -b` with a cap on processor
# time, once from the default list (the everyday list and its minimum score, as a deck without a
# dictionary directive gets it) and once from /usr/share/dict/words with the file filter that drops
# possessives. Per grid: the outcome, processor time, and the mean and rarest scowl level of the
# words used (10 most common ... 95 rarest; "none" for a word in no scowl list, counted as 100).
# Then the load of the everyday list against LC_ALL=C sort of it (bench_dicts). With MAPPINGS=1
# also the fills from the everyday list above its floor written with other weights, in Zyn's own
# "word score" form: how the mapping from 0..100 to Zyn's score changes fills.
# Usage: bash bench/bench_words.sh [cap in processor seconds] [grid names ...]
set -euo pipefail
cd "$(dirname "$0")/.."
cap=${1:-10}
shift $(($# < 1 ? $# : 1))
[ $# -eq 0 ] && set -- 15.0{1..9} 15.10 19.0{1..9} 19.10
build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zyn bench_dicts >/dev/null
zyn=$(cd "$build" && pwd)/zyn
everyday=$(cd "$build" && pwd)/share/zyn/words-british.txt
[ -s "$everyday" ] || { echo "no everyday list at $everyday (apt-get install scowl)" >&2; exit 1; }

work=$(mktemp -d /tmp/zynwordsbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The level of each word: the lowest of the scowl lists (British and common English) it is in.
scowl=/usr/share/dict/scowl
for f in "$scowl"/english-* "$scowl"/british-*; do
  awk -v l="${f##*.}" '{ print tolower($0) "\t" l }' "$f"
done | LC_ALL=C sort -t$'\t' -k1,1 -k2,2n | awk -F'\t' '$1 != p { print; p = $1 }' >"$work/levels"

# Fills every grid from the dictionary directives $2... (none: the default list); prints one line
# per grid and leaves "filled cpu-times levels" in $work/$1.
run() {
  local name=$1
  shift
  : >"$work/$name"
  for g in "${GRIDS[@]}"; do
    bash tools/grid2deck.sh "bench/grids/$g.txt" "$@" >"$work/deck"
    local st=0
    # The folder holds no Dictionaries/ of its own, so the default is the everyday list.
    (cd "$work" && /usr/bin/time -f "%U %S" -o "$work/time" bash -c "ulimit -t $cap; exec '$zyn' -F 1 -b deck" \
      >"$work/out" 2>/dev/null) || st=$?
    local cpu res lv
    cpu=$(tail -n 1 "$work/time" | awk '{ printf "%.2f", $1 + $2 }')
    case $st in 0) res=filled ;; 4) res="no fill" ;; *) res=stopped ;; esac
    lv="- -"
    if [ $st = 0 ]; then
      lv=$(sed -n 's/^# //p' "$work/out" | sed 's/[;,].*//; s/:.*//; s/ (rev\.)//' | tr 'A-Z' 'a-z' |
        awk -F'\t' 'NR == FNR { L[$1] = $2; next } { l = ($0 in L) ? L[$0] : 100; s += l; n++; if (l > m) m = l }
          END { printf "%.1f %d", s / n, m }' "$work/levels" -)
    fi
    printf '%-6s %-10s %-8s %6s s  level mean %s rarest %s\n' "$g" "$name" "$res" "$cpu" ${lv% *} ${lv#* }
    echo "$res $cpu $lv" >>"$work/$name"
  done
}

summary() {
  sort -k2,2n "$work/$1" | awk -v n="$1" -v total="${#GRIDS[@]}" '
    { t[NR] = $2; if ($1 == "filled") { f++; ml += $3; if ($4 > mx) mx = $4 } }
    END { printf "%-10s filled %2d/%d  median %.2f s  worst %.2f s  mean level %.1f  rarest %s\n",
          n, f, total, t[int((NR + 1) / 2)], t[NR], f ? ml / f : 0, mx == 100 ? "none" : mx }'
}

GRIDS=("$@")
echo "grids: ${GRIDS[*]}; cap $cap s of processor time; seed 1"
echo "everyday list: $everyday ($(wc -l <"$everyday") words; minimum score 40 keeps $(awk -F';' '$2 >= 40' "$everyday" | wc -l))"
run everyday
run today ".DI 1 /usr/share/dict/words" ".FF 1 ^.*+(?<!'s)"
names=(everyday today)
if [ -n "${MAPPINGS:-}" ]; then
  # The words at or above the floor, scored in Zyn's own form by each mapping of s (0..100).
  declare -A maps=(
    [uniform]='0'
    [steps25]='int((s - 50) / 25 + (s >= 50 ? 0.5 : -0.5))'
    [lin25]='(s - 50) / 25'
    [lin10]='(s - 50) / 10'
    [lin5]='(s - 50) / 5'
  )
  for m in uniform steps25 lin25 lin10 lin5; do
    awk -F';' -v OFS=' ' '$2 >= 40 { s = $2; printf "%s %.1f\n", $1, '"${maps[$m]}"' }' "$everyday" >"$work/$m.txt"
    run "$m" ".DI 1 $work/$m.txt"
    names+=("$m")
  done
fi
echo
for n in "${names[@]}"; do summary "$n"; done
echo
"$build/bench_dicts" "$everyday" 5
