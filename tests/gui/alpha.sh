#!/usr/bin/env bash
# Alphabet: Cancel changes nothing; "Swedish" fills the rows; code-point mode shows U+00C5 and the
# É among E's equivalents; an entry that is a space is refused with its message; the dialog opens
# again in printable form; Undo brings back the previous alphabet. On a grid with letters: a row
# inserted at the top keeps every letter in its cell, and an alphabet without them asks first:
# declined, nothing changes; accepted, the cells empty, and Undo brings back alphabet and letters.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
printf '%s\n' apple pear plum >words.txt
open_zyn -d words.txt
alphagone() { poll 20 "the alphabet dialog to close" eval '! got_window "^Alphabet$"'; }
# Once the last one has gone: its trace comes before its window is destroyed.
openalpha() {
  alphagone
  keys alt+a a
  dialog "Alphabet"
}
# The table lists its entries from the last row: row r's entry is text 121-2r (from 0), its
# equivalents text 120-2r. Combo box 0 is the mode chooser, 1 the alphabet chooser.
rep() { sed -n "$((122 - 2 * $1))p" texts.txt; }
equiv() { sed -n "$((121 - 2 * $1))p" texts.txt; }
rows() { "${DLG[@]}" texts Alphabet >texts.txt; }
rowis() { rows; [[ $(rep "$1") == "$2" ]]; }

openalpha
"${DLG[@]}" pick Alphabet 1 "Russian" :: press Alphabet Cancel
wait_lines "$(trace DIALOGCLOSED "Alphabet")" 1
keys ctrl+q
expect_exit 0
say "Cancel: the document unchanged, Quit asks nothing"

open_zyn -d words.txt
openalpha
rows
[[ $(rep 27) == 0 ]] || fail "row 27 of Roman plus digits reads '$(rep 27)'"
"${DLG[@]}" pick Alphabet 1 Swedish
poll 10 "row 27 to read Å" rowis 27 Å
[[ $(rep 1) == A && $(rep 29) == Ö && $(rep 30) == "" ]] || fail "the rows are not Swedish"
"${DLG[@]}" combo Alphabet 0 "Edit as Unicode code points"
poll 10 "row 27 as a code point" rowis 27 U+00C5
[[ $(equiv 5) == *"U+00C9"* ]] || fail "E's equivalents read '$(equiv 5)'"
"${DLG[@]}" combo Alphabet 0 "Edit as printable characters"
poll 10 "row 27 printable again" rowis 27 Å
say "Swedish fills the rows; code points U+00C5 and U+00C9"

"${DLG[@]}" set Alphabet text 61 " " :: press Alphabet Apply
expect_box $'Entries may not be space characters or\nany of the following: . - ? , [ ] ^ "'
wait_lines "$(trace DIALOGAPPLIED "Alphabet")" 1
openalpha
rows
[[ $(rep 27) == Å && $(rep 30) == "" ]] || fail "the applied alphabet reads '$(rep 27)' '$(rep 30)'"
"${DLG[@]}" press Alphabet Cancel
wait_lines "$(trace DIALOGCLOSED "Alphabet")" 1
say "a space is refused with its message; the alphabet applied"

keys ctrl+z
openalpha
rows
[[ $(rep 27) == 0 ]] || fail "after Undo row 27 reads '$(rep 27)'"
"${DLG[@]}" press Alphabet Cancel
say "Undo brings back the previous alphabet"

keys ctrl+q
answer Return
expect_exit 0

# A grid with letters.
open_zyn -d words.txt
mark
typein cat
settle
letters() { awk '$1 == "SQCT" && $4 == 0 && $5 != "\".\"" { print $2, $3, $5 }' "$1" | tr '\n' ' '; }
save() {
  rm -f "$1"
  keys alt+f a
  choose_file Save "$1"
  poll 20 "the saved file" test -s "$1"
}
# Applying goes on after the dialog's trace: wait for the dialog to go.
# The row buttons are listed from the last row too: the last "+" is row 1's.
openalpha
"${DLG[@]}" press Alphabet + 58 :: set Alphabet text 119 Þ :: press Alphabet Apply
alphagone
save moved.zyn
[[ $(letters moved.zyn) == '0 0 "C" 1 0 "A" 2 0 "T" ' ]] || fail "after the new row: $(letters moved.zyn)"
grep -qx 'ALP 1 0 0 0' moved.zyn && grep -qx '+Þ' moved.zyn || fail "Þ is not the first entry"
say "a row inserted at the top: the letters keep their cells"

openalpha
"${DLG[@]}" pick Alphabet 1 Russian :: press Alphabet Apply
q=$(/usr/bin/python3 "$HERE/a11y.py" alert)
[[ $q == "This alphabet changes 3 cells of the grid:"* ]] || fail "the question reads '$q'"
answer Escape
wait_lines "$(trace DIALOGSHOWN "Alphabet")" 3
"${DLG[@]}" press Alphabet Cancel
alphagone
save declined.zyn
cmp <(grep -v '^#' moved.zyn) <(grep -v '^#' declined.zyn) || fail "declining changed the document"
openalpha
"${DLG[@]}" pick Alphabet 1 Russian :: press Alphabet Apply
answer Return
# The word list has no Cyrillic words.
expect_box "No words available from any dictionary"
alphagone
save russian.zyn
[[ $(letters russian.zyn) == "" ]] || fail "Russian kept letters: $(letters russian.zyn)"
keys ctrl+z
save undone.zyn
cmp <(grep -v '^#' moved.zyn) <(grep -v '^#' undone.zyn) || fail "Undo did not bring the alphabet and letters back"
say "asked before the letters go; declined, nothing changes; Undo brings them back"

keys ctrl+q
expect_exit 0
status=0
