#!/usr/bin/env bash
# Clues in the window: write three clues in the clue pane with the keyboard (F2, Enter and Tab
# go on to the next clue, capitals and Return reach the clue, not the menus), go back to the grid
# and move its cursor, which selects the light's row, write a fourth; save, reopen and find them
# all; export the puzzle as PDF and read its text.
source "$(dirname "$0")/lib.sh" "$1"

start_x
foreign_grid grid.txt '...' '.#.' '...'
open_zyn -d words.txt grid.txt
wait_line "$(trace CLUEPANE "0 of 4 clued")"
keys F2
wait_line "$(trace EDITINGCLUE "1 Across")"
typein 'Taxi "cab" RANK'
keys Return
wait_line "$(trace CLUESET "1 Across" 'Taxi "cab" RANK' '')"
wait_line "$(trace EDITINGCLUE "3 Across")"
typein "Bottom row"
keys Tab
wait_line "$(trace CLUESET "3 Across" "Bottom row" "")"
wait_line "$(trace EDITINGCLUE "1 Down")"
typein "Left side"
keys Return
wait_line "$(trace CLUESET "1 Down" "Left side" "")"
wait_line "$(trace EDITINGCLUE "2 Down")"
say "three clues written with the keyboard"
# Escape ends the edit of 2 Down unchanged, a second one goes back to the grid, where the
# cursor moves two cells left onto 1 Down and back onto 2 Down, and the pane follows.
keys Escape Escape
keys Left Left
wait_line "$(trace CLUEFOLLOWS "1 Down")"
keys Right Right
wait_line "$(trace CLUEFOLLOWS "2 Down")"
keys F2
wait_lines "$(trace EDITINGCLUE "2 Down")" 2
typein "Right side"
keys Return
wait_line "$(trace CLUESET "2 Down" "Right side" "")"
wait_line "$(trace CLUEPANE "4 of 4 clued")"
keys Escape Escape
say "the grid's cursor selects its clue"

keys alt+f a
choose_file Save clued
poll 20 "the saved file" test -s clued.zyn
[[ $(head -c 7 clued.zyn) == "#ZYN2v6" ]] || fail "saved as $(head -n 1 clued.zyn)"
[[ $(grep -A1 '^CL' clued.zyn | grep '^+' | tr '\n' ';') == '+Taxi "cab" RANK;+Left side;+Bottom row;+Right side;' ]] ||
  fail "saved clues: $(grep -A2 '^CL' clued.zyn | tr '\n' ';')"
keys ctrl+q
expect_exit 0

open_zyn clued.zyn
wait_line "$(trace CLUEPANE "4 of 4 clued")"
keys alt+f p d
choose_file "Export puzzle as PDF" clued.pdf
poll 20 "the PDF" test -s clued.pdf
text=$(pdftotext clued.pdf -)
for part in 'Across' '1 Taxi "cab" RANK (3)' '3 Bottom row (3)' 'Down' '2 Right side (3)'; do
  grep -qF -- "$part" <<<"$text" || fail "the PDF lacks '$part': $text"
done
say "reopened with its clues, and exported as a printable puzzle"
keys ctrl+q
expect_exit 0
status=0
