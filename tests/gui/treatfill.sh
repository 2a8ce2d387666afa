#!/usr/bin/env bash
# Autofill with an answer treatment: " Playfair cipher" with the keyword KEYWORD applied to every
# light of a 5x5 grid, Autofill, Accept hints and Save; the grid's entries, fixed in a deck with
# the same treatment, word list and lights, are a fill that `zyn -b` accepts.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
setprefs "autofill_random 0"
open_five
keys alt+a t
dialog "Answer treatment"
"${DLG[@]}" combo "Answer treatment" 0 " Playfair cipher" :: set "Answer treatment" text 0 KEYWORD :: \
  press "Answer treatment" Apply
wait_lines "$(trace DIALOGAPPLIED "Answer treatment")" 1
keys alt+p l
dialog "Default light properties"
"${DLG[@]}" press "Default light properties" "Enable answer treatment" :: press "Default light properties" Apply
wait_line "$(trace DIALOGAPPLIED "Default light properties")"
start_fill ctrl+g
filled
keys ctrl+a alt+f a
choose_file Save treated.zyn
poll 20 "the saved file" test -s treated.zyn
grid_rows treated.zyn 5 5 '#' >entries.txt
[[ $(tr -d '#\n' <entries.txt | wc -c) == 21 ]] || fail "not every cell filled: $(tr '\n' ' ' <entries.txt)"
bash "$HERE/../../tools/grid2deck.sh" entries.txt ".DICTIONARY 1 $WORK/fives.txt" ".TREATMENT 1" \
  ".MESSAGE 0 KEYWORD" >treated.deck
rc=0
"$ZYN" -b treated.deck >batch.out 2>&1 || rc=$?
[[ $rc == 0 ]] || fail "zyn -b refused the fill (status $rc): $(cat batch.out)"
say "the treated fill $(tr '\n' ' ' <entries.txt)is accepted by zyn -b"
keys ctrl+q
expect_exit 0
status=0
