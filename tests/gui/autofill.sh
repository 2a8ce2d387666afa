#!/usr/bin/env bash
# Filling journey 2, Autofill: Ctrl+G on a blank 5x5 grid shows the progress dialog, which closes
# by itself; Accept hints and Save give a grid whose every light is a word of the list, none
# twice with the no-duplicates preference on. A grid with no fill: "No fill found". Stop during
# a long fill of a 21x21 grid with the huge list, once it has shown its progress: the window
# answers within 200 ms and the partial fill's hints stay, to be accepted. A filler thread that
# cannot start is reported and leaves no progress dialog.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
setprefs "autofill_no_duplicates 1" "autofill_random 0"
grep -x '[a-z]\{5\}' /usr/share/dict/british-english >fives.txt
foreign_grid five.txt '.....' '.#.#.' '.....' '.#.#.' '.....'
# Every across and down light of a saved 5x5 document, one per line, from its letters.
lights() {
  awk '$1 == "SQCT" && $4 == 0 && $5 ~ /^"[A-Z]"$/ { g[$2, $3] = tolower(substr($5, 2, 1)) }
    END {
      for (i = 0; i < 5; i += 2) {
        a = d = ""
        for (j = 0; j < 5; j++) { a = a g[j, i]; d = d g[i, j] }
        print a; print d
      }
    }' "$1"
}
# The progress dialog has closed and the filler has been stopped.
fill_over() { poll 60 "the end of the fill" eval 'grep -q "^stopped filler in" app.out'; }
save() {
  keys alt+f a
  choose_file Save "$1"
  poll 20 "the saved file" test -s "$1"
}
# Ctrl+G, and wait for the progress dialog to show.
autofill() {
  local n
  n=$(line_count "progress dialog shown")
  keys "${1:-ctrl+g}"
  wait_lines "progress dialog shown" $((n + 1))
}

open_zyn -F 1 -d fives.txt five.txt
autofill
fill_over
grep -q "^stopped filler in .* status=2$" app.out || fail "the fill: $(grep '^stopped filler' app.out)"
keys ctrl+a
save five.zyn
lights five.zyn >got.txt
[[ $(grep -cxFf fives.txt got.txt) == 6 ]] || fail "lights not in the list: $(tr '\n' ' ' <got.txt)"
[[ $(sort -u got.txt | wc -l) == 6 ]] || fail "a word twice: $(tr '\n' ' ' <got.txt)"
say "filled, accepted and saved: $(tr '\n' ' ' <got.txt)"
keys ctrl+q
expect_exit 0

printf '%s\n' cat dog emu >three.txt
foreign_grid square.txt '...' '...' '...'
open_zyn -d three.txt square.txt
autofill
expect_box "No fill found"
keys ctrl+q
expect_exit 0
say "a grid with no fill: the message"

grep -x '[a-z]*' /usr/share/dict/british-english-huge >huge.txt
foreign_grid big.txt $(cat "$HERE/../../bench/hard/h21.01.txt")
open_zyn -d huge.txt big.txt
autofill
# The search shows its progress on the grid every 3 s: Stop once it has.
n=$(line_count "refreshhints()")
wait_lines "refreshhints()" $((n + 1))
D=$(dialog_of_zyn) || fail "the progress dialog has gone"
xdotool windowfocus --sync "$D" key Return
fill_over
ms=$(awk '/^stopped filler in/ { print $4 }' app.out | tail -n 1)
awk -v t="$ms" 'BEGIN { exit !(t < 200) }' || fail "Stop took $ms ms"
say "Stop: the filler stopped in $ms ms; $(grep '^progress timer' app.out | tail -n 1)"
keys ctrl+a
save big.zyn
n=$(awk '$1 == "SQCT" && $4 == 0 && $5 ~ /^"[A-Z]"$/' big.zyn | wc -l)
((n > 0)) || fail "no hints were left to accept"
say "the partial fill's hints accepted: $n letters"
keys ctrl+q
expect_exit 0

# A filler thread the system refuses: the message, and no progress dialog left behind.
ZYN_TEST_NO_FILLER_THREAD=1 start_zyn -D0x30 -d three.txt square.txt
W=$(wait_window '^Zyn: ')
keys ctrl+g
expect_box "Could not start filler"
no_dialog || fail "a dialog stayed on screen"
say "a filler that cannot start: reported, the progress dialog gone"
keys ctrl+q
expect_exit 0
status=0
