#!/usr/bin/env bash
# Makes Zyn's everyday word list from Debian's scowl lists: one "word;score" line per word, the
# score taken from the word's commonness level (100 minus the level: level 10, the most common
# words, scores 90; level 80, the rarest kept, scores 20; level 95 is left out). Capitalised
# words that a typical dictionary has (scowl's "upper" lists: places, days, people) score 20 less
# than ordinary words of their level; possessives, abbreviations, contractions and the remaining proper names are left out.
# A word in several lists keeps its best score. The build runs this once per spelling variety.
# Usage: bash tools/mkwords.sh <scowl folder> <variety: british, american, canadian, australian,
#        british_z> <output file>
set -euo pipefail
src=$1
variety=$2
out=$3
if [ ! -d "$src" ]; then
  echo "mkwords: no scowl lists in $src (apt-get install scowl)" >&2
  exit 1
fi
files=()
for level in 10 20 35 40 50 55 60 70 80; do
  for kind in words upper; do
    for cat in english "$variety"; do
      f="$src/$cat-$kind.$level"
      [ -f "$f" ] && files+=("$f")
    done
  done
done
if [ ${#files[@]} -eq 0 ]; then
  echo "mkwords: no lists for the variety $variety in $src" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
tmp="$out.tmp.$$"
trap 'rm -f "$tmp"' EXIT
for f in "${files[@]}"; do
  base=${f##*/}
  level=${base##*.}
  kind=${base%.*}
  kind=${kind##*-}
  score=$((100 - level))
  [ "$kind" = upper ] && score=$((score - 20))
  [ "$score" -lt 1 ] && score=1
  awk -v s="$score" '!/'"'"'s$/ && !/\xe2\x80\x99s$/ && NF { sub(/\r$/, ""); print $0 ";" s }' "$f"
done | LC_ALL=C sort -t';' -k1,1 -k2,2nr | awk -F';' '$1 != last { print; last = $1 }' >"$tmp"
mv "$tmp" "$out"
trap - EXIT
