#!/usr/bin/env bash
# The first window on a 1280x800 screen: a 15x15 grid at 100% shows whole, without scroll bars,
# with the feasible-word list beside it and rows of the clue pane below; the list shows a
# 15-letter light's reversed entry whole, without scrolling sideways.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x 1280x800
start_bus
A11Y=("/usr/bin/python3" "$HERE/a11y.py")
open_zyn -d words.txt "$HERE/../../examples/blocked15.zyn"
[[ -z $("${A11Y[@]}" scrollbars) ]] || fail "the grid's pane scrolls: $("${A11Y[@]}" scrollbars | tr '\n' ' ')"
read -r gw gh < <("${A11Y[@]}" grid)
((gw >= 552 && gh >= 552)) || fail "the grid's area is smaller than the grid at 100%: $gw x $gh"
# The clue pane: its first rows are on the screen, inside the window.
read -r wx wy ww wh < <(xwininfo -id "$W" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
  /Width/ { w = $NF } /Height/ { h = $NF } END { print x, y, w, h }')
((wy + wh <= 800 && wx + ww <= 1280)) || fail "the window is larger than the screen: $ww x $wh at $wx,$wy"
(($("${A11Y[@]}" cluerows | wc -l) >= 2)) || fail "no rows of clues show: $("${A11Y[@]}" cluerows)"
import -window root first.png
say "a 15x15 at 100% without scroll bars, the clue pane below"
keys ctrl+q
expect_exit 0

# A row of fifteen cells that may be entered reversed: each word is listed as its reversal too.
grep -m 40 -x '[a-z]\{15\}' /usr/share/dict/british-english >fifteen.txt
rows=('...............')
for i in $(seq 14); do rows+=('###############'); done
foreign_grid row.txt "${rows[@]}"
open_zyn -d fifteen.txt row.txt
L="Default light properties"
keys alt+p l
dialog "$L"
n=$(line_count "$T_UPDATEFEAS")
"${DLG[@]}" press "$L" "Allow light to be entered reversed" :: press "$L" Apply
wait_lines "$T_UPDATEFEAS" $((n + 1))
"${A11Y[@]}" widths >widths.txt
grep -q ' (rev\.)'$'\t' widths.txt || fail "no reversed entry listed: $(head -n 3 widths.txt)"
! "${A11Y[@]}" scrollbars 1 | grep -qx horizontal || fail "the feasible-word list scrolls: $(awk -F'\t' '{ print $2 }' widths.txt | sort -n | tail -n 1) wide"
say "the list shows a reversed 15-letter entry whole"
keys ctrl+q
answer Return
expect_exit 0
status=0
