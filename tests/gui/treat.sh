#!/usr/bin/env bash
# Answer treatment: Cancel changes nothing; the rows follow the type; " Playfair cipher" with its
# keyword is applied and saved in the TM and TMSG records; a custom plug-in that cannot be loaded
# is reported.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
printf '%s\n' apple pear plum >words.txt
open_zyn -d words.txt
opentreat() {
  keys alt+a t
  dialog "Answer treatment"
}

# Entries: message 1, its constraints, message 2, its constraints, the plug-in.
opentreat
"${DLG[@]}" combo "Answer treatment" 0 " Playfair cipher" :: set "Answer treatment" text 0 KEYWORD :: \
  press "Answer treatment" Cancel
wait_lines "$(trace DIALOGCLOSED "Answer treatment")" 1
keys ctrl+q
expect_exit 0
say "Cancel: the document unchanged, Quit asks nothing"

open_zyn -d words.txt
opentreat
[[ $("${DLG[@]}" sensitive "Answer treatment" text 0) == 0 ]] || fail "None leaves message 1 usable"
"${DLG[@]}" combo "Answer treatment" 0 " Playfair cipher"
"${DLG[@]}" labels "Answer treatment" >labels.txt
grep -qx "Keyword:" labels.txt || fail "no label Keyword:"
[[ $("${DLG[@]}" sensitive "Answer treatment" text 0) == 1 ]] || fail "Playfair leaves message 1 insensitive"
[[ $("${DLG[@]}" sensitive "Answer treatment" text 2) == 0 ]] || fail "Playfair leaves message 2 usable"
[[ $("${DLG[@]}" sensitive "Answer treatment" text 4) == 0 ]] || fail "Playfair leaves the plug-in usable"
"${DLG[@]}" set "Answer treatment" text 0 KEYWORD :: press "Answer treatment" Apply
wait_lines "$(trace DIALOGAPPLIED "Answer treatment")" 1
keys ctrl+s
choose_file Save treat.zyn
poll 20 "the saved file" test -s treat.zyn
[[ $(grep '^TM ' treat.zyn) == "TM 0 1 0 0 0" ]] || fail "TM: $(grep '^TM ' treat.zyn)"
[[ $(awk '$1 == "TMSG" && $3 == 0 { getline; print }' treat.zyn) == "+KEYWORD" ]] || fail "TMSG: no KEYWORD"
opentreat
[[ $("${DLG[@]}" texts "Answer treatment" | sed -n 1p) == KEYWORD ]] || fail "the keyword was not kept"
say "rows follow the type; Playfair with KEYWORD applied and saved"

"${DLG[@]}" combo "Answer treatment" 0 " Custom plug-in" :: \
  set "Answer treatment" text 4 /nonexistent/zyn-plugin.so :: press "Answer treatment" Apply
got=$(/usr/bin/python3 "$HERE/a11y.py" alert)
want=$'Error loading custom plug-in\n"/nonexistent/zyn-plugin.so": '
[[ $got == "$want"* ]] || fail "the plug-in error reads '$got'"
answer Escape
wait_lines "$(trace DIALOGAPPLIED "Answer treatment")" 2
say "a missing plug-in is reported"

keys ctrl+q
answer Return
expect_exit 0
status=0
