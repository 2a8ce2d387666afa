#!/usr/bin/env bash
# Turns a grid pattern into a foreign grid file that File > Open reads. The pattern is rows of
# "#" (a block) and "." (a cell), one row per line; every run of cells along a row or a column
# of two or more is a light, written with its end exclusive.
# Usage: tools/grid2foreign.sh [pattern-file] > grid
set -euo pipefail
awk '
  { sub(/\r$/, ""); g[NR - 1] = $0; if (length($0) > w) w = length($0) }
  function open(x, y) { return substr(g[y], x + 1, 1) == "." }
  END {
    h = NR
    print "  ympath grid"; printf "[Grid %d %d]\n", w, h; print "CheckingType=1"
    for (y = 0; y < h; y++) for (x = 0; x < w; x++)
      if (open(x, y) && (x == 0 || !open(x - 1, y))) {
        for (e = x; e < w && open(e, y); e++);
        if (e - x >= 2) printf "[Light %d %d %d %d]\n", x, y, e, y
      }
    for (x = 0; x < w; x++) for (y = 0; y < h; y++)
      if (open(x, y) && (y == 0 || !open(x, y - 1))) {
        for (e = y; e < h && open(x, e); e++);
        if (e - y >= 2) printf "[Light %d %d %d %d]\n", x, y, x, e
      }
  }' "${1:--}"
