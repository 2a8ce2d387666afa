#!/usr/bin/env bash
# Filling journey 3, Autofill selected cells: with a word typed across the top of a 5x5 grid and
# the bottom light selected, Shift+Ctrl+G fills the bottom light only; the top keeps its letters
# and every other cell stays empty.
source "$(dirname "$0")/lib.sh" "$1"

start_x
setprefs "autofill_random 0"
open_five
calibrate
mark
typein bases
settle
click $(cell_centre 0 4)
keys shift+l
start_fill shift+ctrl+g
filled
keys ctrl+a alt+f a
choose_file Save sel.zyn
poll 20 "the saved file" test -s sel.zyn
grid_rows sel.zyn 5 5 | tr A-Z a-z >rows.txt
[[ $(sed -n 1p rows.txt) == bases ]] || fail "the top row reads $(sed -n 1p rows.txt)"
[[ $(sed -n 2,4p rows.txt | tr -d '.\n') == "" ]] || fail "cells outside the selection were filled: $(tr '\n' ' ' <rows.txt)"
grep -qxF "$(sed -n 5p rows.txt)" fives.txt || fail "the bottom row reads $(sed -n 5p rows.txt)"
say "only the selected light filled: $(tr '\n' ' ' <rows.txt)"
keys ctrl+q
expect_exit 0
status=0
