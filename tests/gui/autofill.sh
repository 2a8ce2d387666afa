#!/usr/bin/env bash
# Filling journey 2, Autofill: Ctrl+G on a blank 5x5 grid shows the progress dialog, which closes
# by itself; Accept hints and Save give a grid whose every light is a word of the list, none
# twice with the no-duplicates preference on. A grid with no fill: "No fill found" naming its lights. Stop during
# a long fill of a 21x21 grid with the huge list, once it has shown its progress: the window
# answers within 200 ms, the partial fill's hints stay, to be accepted, and the feasible-word list
# describes the same partial fill. A filler thread that
# cannot start is reported and leaves no progress dialog.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
setprefs "autofill_no_duplicates 1" "autofill_random 0"
# Every across and down light of a saved 5x5 document, one per line.
lights() {
  grid_rows "$1" 5 5 | tr A-Z a-z >rows5.txt
  for i in 1 3 5; do
    sed -n ${i}p rows5.txt
    cut -c$i rows5.txt | tr -d '\n'
    echo
  done
}
save() {
  keys alt+f a
  choose_file Save "$1"
  poll 20 "the saved file" test -s "$1"
}
open_five
start_fill ctrl+g
filled
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
start_fill ctrl+g
expect_box $'No fill found\n\nNothing fits 1 Across, 4 Across and 5 Across'
keys ctrl+q
expect_exit 0
say "a grid with no fill: the message"

grep -x '[a-z]*' /usr/share/dict/british-english-huge >huge.txt
foreign_grid big.txt $(cat "$HERE/../../bench/hard/h21.01.txt")
open_zyn -d huge.txt big.txt
start_fill ctrl+g
# The search shows its progress on the grid every 3 s: Stop once it has.
n=$(line_count "$T_HINTS")
wait_lines "$T_HINTS" $((n + 1))
D=$(dialog_of_zyn) || fail "the progress dialog has gone"
lists=$(line_count "$T_UPDATEFEAS")
xdotool windowfocus --sync "$D" key Return
fill_over
# The feasible-word list is published again from the partial fill the hints show.
wait_lines "$T_UPDATEFEAS" $((lists + 1))
poll 20 "the list's label" eval '(($(traced_count LISTLABEL) > lists))'
awk -v n=$((lists + 1)) -v u="$T_UPDATEFEAS" -v h="$(trace_head LISTROW)" \
  '$0 == u { k++ } k == n && index($0, h) == 1 { print tolower(substr($2, 2, length($2) - 2)) }' app.out >stopped-list.txt
ms=$(traced FILLERSTOPPED | tail -n 1 | awk '{ print $4 }')
awk -v t="$ms" 'BEGIN { exit !(t < 200) }' || fail "Stop took $ms ms"
say "Stop: the filler stopped in $ms ms; $(traced PROGRESSTIMER | tail -n 1)"
keys ctrl+a
save big.zyn
n=$(awk '$1 == "SQCT" && $4 == 0 && $5 ~ /^"[A-Z]"$/' big.zyn | wc -l)
((n > 0)) || fail "no hints were left to accept"
say "the partial fill's hints accepted: $n letters"
# The cursor's light is the first three cells of row 1: every listed word fits its hints.
pattern=$(grid_rows big.zyn 21 21 | head -n 1 | cut -c1-3 | tr A-Z a-z)
if grep -vx "$pattern" stopped-list.txt >stale.txt; then
  fail "after Stop the list has words the hints '$pattern' rule out: $(head -c 200 stale.txt | tr '\n' ' ')"
fi
say "after Stop the list fits the hints '$pattern': $(wc -l <stopped-list.txt) words"
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
