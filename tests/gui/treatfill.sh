#!/usr/bin/env bash
# Autofill with an answer treatment: " Playfair cipher" with the keyword KEYWORD applied to every
# light of a 5x5 grid, Autofill, Accept hints and Save; the grid's entries, fixed in a deck with
# the same treatment, word list and lights, are a fill that `zyn -b` accepts.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
setprefs "autofill_random 0"
grep -x '[a-z]\{5\}' /usr/share/dict/british-english >fives.txt
foreign_grid five.txt '.....' '.#.#.' '.....' '.#.#.' '.....'
open_zyn -F 1 -d fives.txt five.txt
keys alt+a t
dialog "Answer treatment"
"${DLG[@]}" combo "Answer treatment" 0 " Playfair cipher" :: set "Answer treatment" text 0 KEYWORD :: \
  press "Answer treatment" Apply
wait_lines "dialog Answer treatment applied" 1
keys alt+p l
dialog "Default light properties"
"${DLG[@]}" press "Default light properties" "Enable answer treatment" :: press "Default light properties" Apply
wait_line "dialog Default light properties applied"
n=$(line_count "progress dialog shown")
keys ctrl+g
wait_lines "progress dialog shown" $((n + 1))
poll 60 "the end of the fill" eval 'grep -q "^stopped filler in" app.out'
grep -q "^stopped filler in .* status=2$" app.out || fail "the fill: $(grep '^stopped filler' app.out)"
keys ctrl+a alt+f a
choose_file Save treated.zyn
poll 20 "the saved file" test -s treated.zyn
awk '$1 == "SQCT" && $4 == 0 && $5 ~ /^"[A-Z]"$/ { g[$2, $3] = substr($5, 2, 1) }
  END { for (y = 0; y < 5; y++) { r = ""; for (x = 0; x < 5; x++) r = r ((x, y) in g ? g[x, y] : "#"); print r } }' \
  treated.zyn >entries.txt
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
