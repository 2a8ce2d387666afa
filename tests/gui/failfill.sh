#!/usr/bin/env bash
# A fill that finds nothing says where. On a 2x2 grid whose four lights must share the two words
# of the list, each used once, the message names the light where the search most often ran out,
# its cells are marked red on the grid and named below it, and the assistance the fill replaced
# comes back, so that the cells show their hints again; the next edit takes the marks away. A
# letter that no word fits: the assistance names its lights below the grid and marks them, and
# so does Autofill's message; turning the assistance off takes its marks away. A grid with one light no word is long enough for: Autofill names
# it, only its cells are marked, and the hints are as they were before the fill.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
setprefs "autofill_no_duplicates 1" "autofill_random 0"
# The colour a little up and right of the centre of cell (x, y) at 100%, clear of its hints.
cellcolour() {
  import -window "$W" shot.png
  /usr/bin/python3 "$HERE/pixels.py" at shot.png $((OX + B + $1 * SQ + 29)) $((OY + B + $2 * SQ + 9))
}
red() {  # red RRGGBB: redder than blue by a margin
  local c=$1
  (($((16#${c:0:2})) > $((16#${c:4:2})) + 40))
}
label_is() { [[ $(/usr/bin/python3 "$HERE/a11y.py" label) == "$1" ]]; }

printf '%s\n' ab ba >two.txt
foreign_grid square.txt '..' '..'
open_zyn -d two.txt square.txt
calibrate
label_is " Feasible characters: AB" || fail "before the fill: $(/usr/bin/python3 "$HERE/a11y.py" label)"
start_fill ctrl+g
n=$(line_count "$T_UPDATEFEAS")
expect_box $'No fill found\n\nThe search ran out of candidates most often in 1 Down'
# The assistance runs again: the list and characters of the cursor's cell are back.
wait_lines "$T_UPDATEFEAS" $((n + 1))
poll 20 "the feasible characters to come back" label_is " Feasible characters: AB"
has_line "$(trace FAILURE "The search ran out of candidates most often in 1 Down")" || fail "no failure shown"
red "$(cellcolour 0 1)" || fail "1 Down's second cell is not marked: $(cellcolour 0 1)"
red "$(cellcolour 1 1)" && fail "a cell of no failed light is marked"
say "the message names 1 Down, its cells are marked, and the hints are back"
# An edit takes the marks away (a letter here makes the assistance mark another failure, and
# Undo of it leaves a grid with none).
mark
keys Right a
settle
keys ctrl+z
settle
red "$(cellcolour 0 1)" && fail "the marks stayed after an edit"
say "an edit takes the marks away"

# Q at the end of 2 Down and 3 Across: nothing fits them, as the assistance already says.
mark
keys Down q
settle
poll 20 "the failure named below the grid" has_line "$(trace FAILURE "Nothing fits 3 Across and 2 Down")"
red "$(cellcolour 1 0)" || fail "2 Down is not marked"
start_fill ctrl+g
expect_box $'No fill found\n\nNothing fits 3 Across and 2 Down'
say "a letter nothing fits: named below the grid and by Autofill"
# Assistance turned off finds nothing, so it shows no failure either.
mark
keys alt+a i o
settle
red "$(cellcolour 1 0)" && fail "the marks stayed with assistance off"
say "assistance off takes the marks away"
keys ctrl+q
answer Return
expect_exit 0

# A 2x2 block that ab and ba fill (repeats allowed) and, below it, 4 Across of three cells.
setprefs "autofill_no_duplicates 0" "autofill_random 0"
foreign_grid one.txt '..#' '..#' '###' '...'
open_zyn -d two.txt one.txt
calibrate
before=$(/usr/bin/python3 "$HERE/a11y.py" label)
start_fill ctrl+g
n=$(line_count "$T_UPDATEFEAS")
expect_box $'No fill found\n\nNothing fits 4 Across'
wait_lines "$T_UPDATEFEAS" $((n + 1))
poll 20 "the feasible characters to come back" label_is "$before"
for x in 0 1 2; do red "$(cellcolour $x 3)" || fail "cell $x of 4 Across is not marked: $(cellcolour $x 3)"; done
for c in "0 0" "1 1"; do red "$(cellcolour $c)" && fail "cell $c of the block is marked"; done
say "one light too long for every word: named, marked alone, and the hints as they were"
keys ctrl+q
expect_exit 0
status=0
