#!/usr/bin/env bash
# Filling journey 3, Autofill selected cells: with a word typed across the top of a 5x5 grid and
# the bottom light selected, Shift+Ctrl+G fills the bottom light only; the top keeps its letters
# and every other cell stays empty.
source "$(dirname "$0")/lib.sh" "$1"

start_x
setprefs "autofill_random 0"
grep -x '[a-z]\{5\}' /usr/share/dict/british-english >fives.txt
foreign_grid five.txt '.....' '.#.#.' '.....' '.#.#.' '.....'
open_zyn -F 1 -d fives.txt five.txt
calibrate
mark
typein bases
settle
click $(cell_centre 0 4)
keys shift+l
n=$(line_count "progress dialog shown")
keys shift+ctrl+g
wait_lines "progress dialog shown" $((n + 1))
poll 60 "the end of the fill" eval 'grep -q "^stopped filler in .* status=2$" app.out'
keys ctrl+a alt+f a
choose_file Save sel.zyn
poll 20 "the saved file" test -s sel.zyn
# The letters of each row, '.' for an empty cell.
rows() {
  awk '$1 == "SQCT" && $4 == 0 && $5 ~ /^"[A-Z]"$/ { g[$2, $3] = tolower(substr($5, 2, 1)) }
    END { for (y = 0; y < 5; y++) { r = ""; for (x = 0; x < 5; x++) r = r ((x, y) in g ? g[x, y] : "."); print r } }' "$1"
}
rows sel.zyn >rows.txt
[[ $(sed -n 1p rows.txt) == bases ]] || fail "the top row reads $(sed -n 1p rows.txt)"
[[ $(sed -n 2,4p rows.txt | tr -d '.\n') == "" ]] || fail "cells outside the selection were filled: $(tr '\n' ' ' <rows.txt)"
grep -qxF "$(sed -n 5p rows.txt)" fives.txt || fail "the bottom row reads $(sed -n 5p rows.txt)"
say "only the selected light filled: $(tr '\n' ' ' <rows.txt)"
keys ctrl+q
expect_exit 0
status=0
