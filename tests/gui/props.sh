#!/usr/bin/env bash
# Cell and light properties, default forms: Cancel changes nothing; a red background, a bold style,
# a mark and the treatment flag are applied and shown again; a word list whose name has an
# underscore names its box as it is; "Use dictionary 2" only, with no entry method ticked, gives
# the error once and the light may still be entered normally.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
printf '%s\n' apple pear plum >my_words.txt
start_zyn -D0x10 -d my_words.txt
W=$(wait_window '^Zyn: ')
open() {
  xdotool windowfocus --sync "$W" key alt+p "$1"
  wait_window "^$2\$" >/dev/null
}

open c "Default cell properties"
"${DLG[@]}" set "Default cell properties" text 3 X1 :: press "Default cell properties" Cancel
wait_line "dialog Default cell properties closed"
xdotool windowfocus --sync "$W" key ctrl+q
expect_exit 0
say "Cancel: the document unchanged, Quit asks nothing"

start_zyn -D0x10 -d my_words.txt
W=$(wait_window '^Zyn: ')
# Colour buttons: mark colour, foreground, background. Mark entries: SW, SE, NE, NW.
C="Default cell properties"
open c "$C"
"${DLG[@]}" colour "$C" 2 "#FF0000" :: set "$C" text 3 X1 :: combo "$C" 0 Bold :: \
  press "$C" "Flag for answer treatment" :: press "$C" Apply
wait_line "dialog $C applied"
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
wait_line "dialog $L applied"
sleep 0.3
no_dialog || fail "a second message box"
open l "$L"
"${DLG[@]}" checked "$L" >checked.txt
"${DLG[@]}" press "$L" Cancel
grep -x '1 Use dictionary .*' checked.txt >dicts.txt
[[ $(cat dicts.txt) == "1 Use dictionary 2 (<empty>)" ]] || fail "dictionaries: $(cat dicts.txt)"
grep -x '1 Allow light to be entered .*' checked.txt >methods.txt
[[ $(cat methods.txt) == "1 Allow light to be entered normally" ]] || fail "methods: $(cat methods.txt)"
say "default light properties: dictionary 2 only; no entry method: the error once"

xdotool windowfocus --sync "$W" key ctrl+q
poll 10 "the question" eval '! no_dialog'
xdotool windowfocus --sync "$(dialog_of_zyn)" key Return
expect_exit 0
status=0
