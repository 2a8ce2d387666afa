#!/usr/bin/env bash
# Journey 4: a barred 12x12 grid: bars by clicks near edges and by Return, a merge by Ctrl+M,
# a letter typed into the merged cell; saved and read back from the file.
source "$(dirname "$0")/lib.sh" "$1"

start_x
setprefs "edit_click_for_bar 1" "edit_click_for_block 1"
open_zyn -d words.txt
calibrate
# File > New > Blank 12x12 (the sixth item); Symmetry > None.
keys alt+f n Down Down Down Down Down Return
wait_lines "$T_UPDATEFEAS" 2
keys alt+m n
# A click on the middle of the right edge of (2,2), and on the bottom edge of (6,3).
read -r x y < <(cell_centre 2 2)
click $((x + SQ / 2 - 2)) "$y"
read -r x y < <(cell_centre 6 3)
click "$x" $((y + SQ / 2 - 2))
# Return: the bar before the cursor; the cursor is put on (5,5) going across.
click $(cell_centre 5 5)
keys Return
click $(cell_centre 8 7)
mark
keys ctrl+m q
settle
keys ctrl+s
choose_file Save j4
poll 20 "the saved file" test -s j4.zyn
# (2,2): bar after it across; (6,3): bar after it down; (4,5): bar before (5,5); (8,7) merged
# with (9,7).
want=$(printf '%s\n' '2 2 1 0 0' '6 3 2 0 0' '4 5 1 0 0' '8 7 0 1 0')
[[ $(marked_squares j4.zyn) == "$want" ]] || fail "squares saved: $(marked_squares j4.zyn | tr '\n' ';')"
grep -qx 'SQCT 8 7 0 "Q"' j4.zyn || fail "the merged cell's letter"
say "bars by clicks and Return, a merged cell with its letter, all saved"
keys ctrl+q
expect_exit 0
status=0
