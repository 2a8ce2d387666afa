#!/usr/bin/env bash
# Journey 5: Grid properties. A title and author make the window title "Zyn: T by A"; the grid
# grows from 15 to 17; choosing "Circular" relabels the size fields as radii and annuli, and
# after Apply the flip and the exports that need square cells are greyed out.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
open_zyn -d words.txt
keys alt+f n Down Down Down Down Down Down Down Down Down Return
wait_lines "$T_UPDATEFEAS" 2
keys alt+p g
dialog "Grid properties"
in_dialog ctrl+a
type_dialog T
in_dialog Tab ctrl+a
type_dialog A
in_dialog Tab Tab ctrl+a
type_dialog 17
in_dialog Tab ctrl+a
type_dialog 17
in_dialog alt+a
dialog_gone
wait_title "Zyn: T by A"
keys ctrl+s
choose_file Save j5
poll 20 "the saved file" test -s j5.zyn
grep -q '^SQ 16 16 ' j5.zyn || fail "the grid did not grow to 17x17"
say "title and author in the window title, the grid 17x17"

menustate() { /usr/bin/python3 "$HERE/a11y.py" menustate >menus.txt; }
# sensitive NAME STATES: the menu items of that name, in menu order, are sensitive (1) or not (0).
sensitive() {
  local got
  got=$(awk -F'\t' -v n="$1" '$1 == n { printf "%s%s", sep, $2; sep = " " }' menus.txt)
  [[ $got == "$2" ]] || fail "'$1' is '$got', not '$2'"
}
wait_lines "$T_UPDATEFEAS" 3
menustate
sensitive "Flip in main diagonal" 1
sensitive "Rotate clockwise" 0
sensitive "Crossword Compiler XML..." 1

keys alt+p g
dialog "Grid properties"
in_dialog Tab Tab Down Down Down
circlelabels() {
  /usr/bin/python3 "$HERE/a11y.py" labels "Grid properties" >labels.txt
  grep -qx " radii" labels.txt && grep -qx " annuli" labels.txt
}
poll 20 "the labels ' radii' and ' annuli'" circlelabels
in_dialog alt+a
dialog_gone
wait_lines "$T_UPDATEFEAS" 4
menustate
sensitive "Flip in main diagonal" 0
sensitive "Rotate clockwise" 1
sensitive "Crossword Compiler XML..." 0
sensitive "as HTML..." "0 0"           # the blank and filled grids
sensitive "As HTML..." "1 0 0"         # the answers; the puzzle and the solution
sensitive "as EPS..." "1 1"
sensitive "As HTML+SVG..." "1 1"
say "a circular grid: radii and annuli, no flip and no square-only exports"
keys ctrl+q
answer Return
expect_exit 0
status=0
