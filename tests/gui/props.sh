#!/usr/bin/env bash
# Cell and light properties. Default forms: Cancel changes nothing; a red background, a bold
# style, a mark and the treatment flag are applied and shown again; a word list whose name has an
# underscore names its box as it is; "Use dictionary 2" only, with no entry method ticked, gives
# the error once and the light may still be entered normally. Selected forms: a red background
# and a mark for the cursor cell, dictionary 2 only for every across light, with the error once;
# the saved SQSP and SQLP records show them.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
printf '%s\n' apple pear plum >my_words.txt
open_zyn -d my_words.txt
open() {
  keys alt+p "$1"
  dialog "$2"
}

open c "Default cell properties"
"${DLG[@]}" set "Default cell properties" text 3 X1 :: press "Default cell properties" Cancel
wait_line "$(trace DIALOGCLOSED "Default cell properties")"
keys ctrl+q
expect_exit 0
say "Cancel: the document unchanged, Quit asks nothing"

open_zyn -d my_words.txt
# Colour buttons: mark colour, foreground, background. Mark entries: SW, SE, NE, NW.
C="Default cell properties"
open c "$C"
"${DLG[@]}" colour "$C" 2 "#FF0000" :: set "$C" text 3 X1 :: combo "$C" 0 Bold :: \
  press "$C" "Flag for answer treatment" :: press "$C" Apply
wait_line "$(trace DIALOGAPPLIED "$C")"
open c "$C"
[[ $("${DLG[@]}" colour "$C" 2) == "#FF0000" ]] || fail "the background is not red"
"${DLG[@]}" texts "$C" >texts.txt
"${DLG[@]}" checked "$C" >checked.txt
"${DLG[@]}" combos "$C" >combos.txt
"${DLG[@]}" press "$C" Cancel
[[ $(sed -n 1p combos.txt) == Bold ]] || fail "the font style is '$(sed -n 1p combos.txt)'"
[[ $(sed -n 4p texts.txt) == X1 ]] || fail "the NW mark reads '$(sed -n 4p texts.txt)'"
grep -qx "1 Flag for answer treatment" checked.txt || fail "the treatment flag is off"
say "default cell properties: red, bold, mark X1, flagged"

L="Default light properties"
open l "$L"
"${DLG[@]}" press "$L" "Use dictionary 1 (my_words.txt)" :: press "$L" "Use dictionary 2 (<empty>)" :: \
  press "$L" "Allow light to be entered normally" :: press "$L" Apply
expect_box $'No entry methods selected:\nthis would make fill impossible.\nAllowing lights to be entered normally.'
wait_line "$(trace COMMANDDONE "/Properties/Default light properties...")"
no_dialog || fail "a second message box"
open l "$L"
"${DLG[@]}" checked "$L" >checked.txt
"${DLG[@]}" press "$L" Cancel
grep -x '1 Use dictionary .*' checked.txt >dicts.txt
[[ $(cat dicts.txt) == "1 Use dictionary 2 (<empty>)" ]] || fail "dictionaries: $(cat dicts.txt)"
grep -x '1 Allow light to be entered .*' checked.txt >methods.txt
[[ $(cat methods.txt) == "1 Allow light to be entered normally" ]] || fail "methods: $(cat methods.txt)"
say "default light properties: dictionary 2 only; no entry method: the error once"

# The selected forms. The cursor cell, then every across light.
keys shift+c
wait_line "$(trace SELMENU 0 1)"
C="Selected cell properties"
open e "$C"
"${DLG[@]}" press "$C" "Override default cell properties" :: colour "$C" 2 "#FF0000" :: set "$C" text 3 M :: \
  press "$C" Apply
wait_line "$(trace DIALOGAPPLIED "$C")"
keys alt+s g i
wait_line "$(trace SELMENU 1 12)"
L="Selected light properties"
open i "$L"
"${DLG[@]}" press "$L" "Override default light properties" :: press "$L" "Use dictionary 1 (my_words.txt)" :: \
  press "$L" "Use dictionary 2 (<empty>)" :: press "$L" "Allow light to be entered normally" :: press "$L" Apply
expect_box $'No entry methods selected:\nthis would make fill impossible.\nAllowing lights to be entered normally.'
wait_line "$(trace COMMANDDONE "/Properties/Selected light properties...")"
no_dialog || fail "a second message box for the twelve lights"
keys ctrl+s
choose_file Save props.zyn
poll 20 "the saved file" test -s props.zyn
# Own cell records: only (0, 0) overrides, red, with its mark.
[[ $(awk '$1 == "SQSP" && $7 == 1' props.zyn) == "SQSP 0 0 ff0000 000000 0 1 0 0 000000" ]] ||
  fail "SQSP: $(awk '$1 == "SQSP" && $7 == 1' props.zyn)"
[[ $(awk '$1 == "SQSPMK" && $2 == 0 && $3 == 0 && $4 == 0 { getline; print }' props.zyn) == "+M" ]] ||
  fail "the mark is not saved"
# Own light records: the twelve across lights, dictionary 2, entered normally, overriding.
awk '$1 == "SQLP" && $8 == 1' props.zyn >sqlp.txt
for y in $(seq 0 11); do echo "SQLP 0 $y 0 2 1 0 1 0 0"; done >want.txt
diff want.txt sqlp.txt || fail "the SQLP records differ"
say "selected forms saved: SQSP and SQLP as applied, the error once for twelve lights"

keys ctrl+q
expect_exit 0
status=0
