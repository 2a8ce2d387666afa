#!/usr/bin/env bash
# Filling journey 1, patterns and assistance: Ctrl+L "c.t" lists exactly the matching words by
# weight and the line below names the feasible letters; Ban takes a word off the list and
# "Unban all answers" brings it back; Copy puts the citation form on the clipboard; a look-up
# opens its expanded address; moving through the list with the keyboard enters nothing until
# Enter; a click on a word enters it into the light; Never use takes a word off the list for good,
# through the personal word list, which the next session reads.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
# A stand-in for the desktop's opener that records the address it was given.
mkdir bin
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened.txt"\n' "$WORK" >bin/xdg-open
chmod +x bin/xdg-open
export PATH=$WORK/bin:$PATH
# A look-up address with a lone "%" at its end, kept as it is.
setprefs "lookupname_0 Look it up" "lookupuri_0 https://example.org/find?q=%s&all=%"
printf '%s\n' cat 'cot 1' 'cut 2' dog 'dot -1' >fix.txt
foreign_grid row.txt '...'
open_zyn -d fix.txt row.txt
calibrate

# The rows of the feasible-word list as the last refill traced them, one line.
listed() {
  awk -v u="$T_UPDATEFEAS" -v h="$(trace_head LISTROW)" '$0 == u { n = 0; delete w }
    index($0, h) == 1 { s = substr($0, length(h) + 1); sub(/> .*/, "", s); w[n++] = s }
    END { for (i = 0; i < n; i++) printf "%s%s", (i ? " " : ""), w[i] }' app.out
}
list_is() { [[ $(listed) == "$1" ]]; }
wait_list() { poll 20 "the list '$1' (now '$(listed)')" list_is "$1"; }
label_is() { [[ $(/usr/bin/python3 "$HERE/a11y.py" label) == "$1" ]]; }
# Open the light's contents, give them TEXT (or leave them), and close with Return or Escape.
contents() {
  keys ctrl+l
  dialog "Light contents"
  if [[ $1 == read ]]; then
    /usr/bin/python3 "$HERE/dialogs.py" texts "Light contents"
    in_dialog Escape
  else
    in_dialog ctrl+a
    type_dialog "$1"
    in_dialog Return
  fi
  dialog_gone
}
# The screen centre of the list row showing WORD.
row_of() { /usr/bin/python3 "$HERE/a11y.py" list | awk -F '\t' -v w="$1" '$1 == w { print $2 }'; }
# Right-click a row and choose the Nth item of its pop-up menu.
popup_item() {
  local xy
  xy=$(row_of "$1")
  [[ -n $xy ]] || fail "no row '$1' in the list"
  xdotool mousemove $xy click 3
  /usr/bin/python3 "$HERE/a11y.py" popup >popup.txt
  xy=$(awk -F '\t' -v i="$2" 'NR == i { print $2 }' popup.txt)
  [[ -n $xy ]] || fail "no item $2 in the pop-up menu: $(tr '\n' ';' <popup.txt)"
  xdotool mousemove $xy click 1
}
# The same for the item named NAME.
popup_named() {
  local xy
  xy=$(row_of "$1")
  [[ -n $xy ]] || fail "no row '$1' in the list"
  xdotool mousemove $xy click 3
  /usr/bin/python3 "$HERE/a11y.py" popup >popup.txt
  xy=$(awk -F '\t' -v n="$2" '$1 == n { print $2 }' popup.txt)
  [[ -n $xy ]] || fail "no item '$2' in the pop-up menu: $(tr '\n' ';' <popup.txt)"
  xdotool mousemove $xy click 1
}

contents c.t
wait_list "cut cot cat"
keys Right
poll 20 "the feasible letters" label_is " Feasible characters: UOA"
say "Ctrl+L c.t: the list by weight and the feasible letters"

popup_item cut 1
[[ $(head -n 1 popup.txt | cut -f 1) == 'Ban "cut"' ]] || fail "the first item reads '$(head -n 1 popup.txt)'"
wait_list "cot cat"
poll 20 "the letters without U" label_is " Feasible characters: OA"
say "Ban: the word leaves the list"

popup_item cot 2
poll 20 "the clipboard" eval '[[ $(xclip -o -selection clipboard 2>/dev/null) == cot ]]'
popup_item cot 3
[[ $(sed -n 3p popup.txt | cut -f 1) == "Look it up" ]] || fail "the look-up reads '$(sed -n 3p popup.txt)'"
poll 20 "the opened address" test -s opened.txt
[[ $(cat opened.txt) == "https://example.org/find?q=cot&all=%" ]] || fail "opened '$(cat opened.txt)'"
say "Copy and a look-up: $(cat opened.txt)"

keys alt+a u
wait_list "cut cot cat"
say "Unban all answers: the word is back"

# The keyboard moves through the list without entering what it passes; Enter enters one word.
/usr/bin/python3 "$HERE/a11y.py" focuslist
keys Down Down Down Return
# Enter's word is the first the list entered: the keys before it entered none.
wait_line "$(trace ROWSELECT 2)"
[[ $(traced_count ROWSELECT) == 1 ]] || fail "moving through the list entered a word: $(traced ROWSELECT | head -n 1)"
wait_list cat
[[ $(contents read) == CAT ]] || fail "Enter entered '$(contents read)'"
keys ctrl+z
wait_list "cut cot cat"
say "moving through the list enters nothing; Enter enters the word"

xdotool mousemove $(row_of cot) click 1
wait_list cot
[[ $(contents read) == COT ]] || fail "the light holds '$(contents read)'"
say "a click entered the word"

keys ctrl+z
wait_list "cut cot cat"
popup_named cot "Never use"
wait_list "cut cat"
[[ $(cat "$XDG_CONFIG_HOME/Zyn/personal-words.txt") == "cot;0" ]] || fail "the personal list holds '$(cat "$XDG_CONFIG_HOME/Zyn/personal-words.txt")'"
keys alt+a u
wait_lines "$(trace COMMANDDONE "/Autofill/Unban all answers")" 2
wait_list "cut cat"
say "Never use: the word leaves the list, even after Unban all answers"

keys ctrl+q
answer Return
expect_exit 0
open_zyn -d fix.txt row.txt
contents c.t
wait_list "cut cat"
say "the next session leaves it out too"
keys ctrl+q
answer Return
expect_exit 0
status=0
