#!/usr/bin/env bash
# Journey 2: a blank 15x15 grid with twofold symmetry; blocks by Insert, by "," and by a corner
# click, each with its image; Undo and Redo; Save as adds ".zyn" and its squares show the blocks.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
setprefs "edit_click_for_block 1"
open_zyn -d words.txt
calibrate
# File > New > Blank 15x15, then Symmetry > Twofold rotational.
/usr/bin/python3 "$HERE/a11y.py" menu "File/New/Blank 15x15"
wait_lines "$T_UPDATEFEAS" 2
keys alt+m t
mark
keys Insert Down Down comma
settle
click $(cell_corner 4 6)
wait_line "$T_PRESSDONE"
say "three blocks placed"

mark
keys ctrl+z
settle
keys ctrl+s
choose_file Save j2-undone
poll 20 "the saved file" test -s j2-undone.zyn
undone=$(marked_squares j2-undone.zyn)
# Save after Save as writes the same file again, without asking.
keys ctrl+y ctrl+s
poll 20 "the file saved again" eval 'marked_squares j2-undone.zyn | grep -q "^4 6 "'
no_dialog || fail "Save asked for a name again"
keys alt+f a
choose_file Save j2
poll 20 "the saved file" test -s j2.zyn
[[ $(marked_squares j2.zyn) == "$(printf '%s\n' '0 0 0 0 1' '1 2 0 0 1' '4 6 0 0 1' '10 8 0 0 1' '13 12 0 0 1' '14 14 0 0 1')" ]] ||
  fail "blocks saved: $(marked_squares j2.zyn | tr '\n' ';')"
[[ $undone == "$(printf '%s\n' '0 0 0 0 1' '1 2 0 0 1' '13 12 0 0 1' '14 14 0 0 1')" ]] ||
  fail "after Undo: $(echo "$undone" | tr '\n' ';')"
wait_title "Zyn: j2"
say "Undo took the clicked pair away, Redo brought it back; saved as j2.zyn"
# Save as onto an existing file asks first, about the name with ".zyn" added; Cancel keeps it.
before=$(md5sum <j2-undone.zyn)
keys Insert alt+f a
choose_file Save j2-undone
answer Escape
[[ $(md5sum <j2-undone.zyn) == "$before" ]] || fail "Save as overwrote a file after Cancel"
[[ $(xdotool getwindowname "$W") == "Zyn: j2" ]] || fail "a cancelled Save as renamed the document"
keys ctrl+q
answer Return
expect_exit 0
status=0
