#!/usr/bin/env bash
# Dictionaries: a second list chosen with Browse in slot 2, the warning that no light uses it, the
# statistics of both slots with a rejected character and its line; Cancel changes nothing; a
# list that cannot be loaded leaves the others loaded, and the dialog shows which slots are.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
printf '%s\n' apple pear plum >one.txt
printf '%s\n' quince fig straße "o'clock" damson >two.txt
open_zyn -d one.txt

# Cancel: nothing changes and the document stays unchanged, so Quit asks nothing.
keys alt+a d
dialog "Dictionaries"
"${DLG[@]}" set Dictionaries text 26 missing.txt :: press Dictionaries Cancel
wait_lines "$(trace DIALOGCLOSED "Dictionaries")" 1
keys ctrl+q
expect_exit 0
say "Cancel: no reload, no change to the document"

open_zyn -d one.txt
keys alt+a d
dialog "Dictionaries"
# The table lists its rows from the last: the seventh Browse button is row 2's.
"${DLG[@]}" press Dictionaries " Browse... " 7
choose_file "Choose a dictionary" two.txt
wait_line "$(trace CHOSEN "$PWD/two.txt")"
[[ $("${DLG[@]}" texts Dictionaries | sed -n 24p) == "$PWD/two.txt" ]] || fail "Browse did not fill slot 2"
"${DLG[@]}" press Dictionaries Apply
expect_box $'No lights have properties set to use\nwords from dictionary 2'
wait_line "$(trace DIALOGAPPLIED "Dictionaries")"
say "slot 2 chosen with Browse; the unused-slot warning"

keys alt+a y
dialog "Dictionary statistics"
"${DLG[@]}" labels "Dictionary statistics" >stats.txt
"${DLG[@]}" press "Dictionary statistics" OK
cat >want.txt <<WANT
  Name: one.txt
  Usable entries: 3
  After file filter: 3
  After answer filter: 3
  No Unicode characters were rejected
  Name: $PWD/two.txt
  Usable entries: 5
  After file filter: 5
  After answer filter: 5
  Rejected Unicode characters:
    U+0027 ('):  one occurrence, at line 4
    U+00DF (ß):  one occurrence, at line 3
WANT
for n in 3 4 5 6 7 8 9; do echo "  Name: <empty>"; done >>want.txt
sort want.txt >want.sorted
sort stats.txt >got.sorted
diff want.sorted got.sorted || fail "the statistics differ"
say "statistics: counts and the rejected ß with its line"

# A list that cannot be loaded in slot 2: reported, slot 1 stays loaded, and the dialog says so.
keys alt+a d
dialog "Dictionaries"
"${DLG[@]}" set Dictionaries text 23 missing.txt :: press Dictionaries Apply
expect_box $'Dictionary 2\nFile not found'
expect_box $'Dictionaries loaded: 1\nNot loaded: 2'
wait_lines "$(trace DIALOGAPPLIED "Dictionaries")" 2
keys alt+a d
dialog "Dictionaries"
"${DLG[@]}" labels Dictionaries >states.txt
"${DLG[@]}" press Dictionaries Cancel
[[ $(grep -c '^loaded$' states.txt) == 1 && $(grep -c '^not loaded$' states.txt) == 1 ]] ||
  fail "the dialog's slot states: $(tr '\n' ';' <states.txt)"
say "a missing list in slot 2: reported, slot 1 still loaded, the dialog shows which"

# Applying was a change: Quit asks first.
keys ctrl+q
answer Return
expect_exit 0
status=0
