#!/usr/bin/env bash
# Turns a grid pattern into a deck for `zyn -b`. The pattern is rows of "#" (a block),
# "." (an empty cell) and letters (a fixed cell), one row per line; blank lines and lines
# starting with ";" are skipped. Every run of two or more cells across or down becomes a
# word line; cells are named r<row>c<column>, counted from 1.
# Usage: tools/grid2deck.sh [pattern-file] [deck directive ...] > deck
# Each further argument is copied before the words as a directive line, e.g. ".RA 1".
set -euo pipefail
src=${1:--}
shift || true
for d in "$@"; do printf '%s\n' "$d"; done
awk '
  /^[ \t]*$/ || /^;/ { next }
  { sub(/\r$/, ""); rows[n++] = toupper($0); if (length($0) > w) w = length($0) }
  function cell(r, c) { return (c <= length(rows[r]) ? substr(rows[r], c, 1) : "#") }
  function emit(names, pat, fixed) {
    printf "%s", names
    if (fixed) printf " =%s", pat
    printf "\n"
  }
  function run(r, c, dr, dc,    names, pat, fixed, len, ch) {
    names = ""; pat = ""; fixed = 0; len = 0
    while (r < n && c <= w && cell(r, c) != "#") {
      ch = cell(r, c)
      names = names (len ? " " : "") "r" (r + 1) "c" c
      if (ch == "." || ch == " ") pat = pat "."
      else { pat = pat ch; fixed = 1 }
      len++; r += dr; c += dc
    }
    if (len >= 2) emit(names, pat, fixed)
  }
  END {
    for (r = 0; r < n; r++)
      for (c = 1; c <= w; c++)
        if (cell(r, c) != "#" && (c == 1 || cell(r, c - 1) == "#")) run(r, c, 0, 1)
    for (r = 0; r < n; r++)
      for (c = 1; c <= w; c++)
        if (cell(r, c) != "#" && (r == 0 || cell(r - 1, c) == "#")) run(r, c, 1, 0)
  }
' "$src"
