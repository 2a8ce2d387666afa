#!/usr/bin/env bash
# Alphabet: Cancel changes nothing; "Swedish" fills the rows; code-point mode shows U+00C5 and the
# É among E's equivalents; an entry that is a space is refused with its message; the dialog opens
# again in printable form; Undo brings back the previous alphabet.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
printf '%s\n' apple pear plum >words.txt
start_zyn -D0x10 -d words.txt
W=$(wait_window '^Zyn: ')
openalpha() {
  xdotool windowfocus --sync "$W" key alt+a a
  wait_window '^Alphabet$' >/dev/null
}
# The table lists its entries from the last row: row r's entry is text 121-2r (from 0), its
# equivalents text 120-2r. Combo box 0 is the mode chooser, 1 the alphabet chooser.
rep() { sed -n "$((122 - 2 * $1))p" texts.txt; }
equiv() { sed -n "$((121 - 2 * $1))p" texts.txt; }
rows() { "${DLG[@]}" texts Alphabet >texts.txt; }
rowis() { rows; [[ $(rep "$1") == "$2" ]]; }

openalpha
"${DLG[@]}" pick Alphabet 1 "Russian" :: press Alphabet Cancel
wait_lines "dialog Alphabet closed" 1
xdotool windowfocus --sync "$W" key ctrl+q
expect_exit 0
say "Cancel: the document unchanged, Quit asks nothing"

start_zyn -D0x10 -d words.txt
W=$(wait_window '^Zyn: ')
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
wait_lines "dialog Alphabet applied" 1
openalpha
rows
[[ $(rep 27) == Å && $(rep 30) == "" ]] || fail "the applied alphabet reads '$(rep 27)' '$(rep 30)'"
"${DLG[@]}" press Alphabet Cancel
wait_lines "dialog Alphabet closed" 1
say "a space is refused with its message; the alphabet applied"

xdotool windowfocus --sync "$W" key ctrl+z
openalpha
rows
[[ $(rep 27) == 0 ]] || fail "after Undo row 27 reads '$(rep 27)'"
"${DLG[@]}" press Alphabet Cancel
say "Undo brings back the previous alphabet"

xdotool windowfocus --sync "$W" key ctrl+q
poll 10 "the question" eval '! no_dialog'
xdotool windowfocus --sync "$(dialog_of_zyn)" key Return
expect_exit 0
status=0
