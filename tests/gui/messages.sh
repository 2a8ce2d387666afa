#!/usr/bin/env bash
# Message boxes: the errors and warning of a start without its word list, About, a close refused
# while a box is open; the session still ends with status 0. An unknown alphabet is reported, the
# window goes on with the preferred one, and the session ends with status 16.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
start_zyn -D0x10 -d missing.txt
expect_box $'Dictionary 1\nFile not found'
expect_box "No words available from any dictionary"
expect_box "No dictionaries loaded"
W=$(wait_window '^Zyn: \(untitled\)$')
say "start-up messages shown and closed"

xdotool windowfocus --sync "$W" key alt+h
xdotool key a
about=$(/usr/bin/python3 "$HERE/a11y.py" alert)
[[ $about == "Zyn release "* ]] || fail "About says '$about'"
# Closing the window while the box is open is refused: the request goes before the key that
# closes the box, and About's command ends with the window still there.
/usr/bin/python3 "$HERE/closewin.py" "$W"
xdotool windowfocus --sync "$(dialog_of_zyn)" key Escape
wait_line "$(trace COMMANDDONE /Help/About)"
alive "$APP_PID" && [[ $(window_of '^Zyn: ') == "$W" ]] || fail "the window closed under a message box"
poll 10 "About to close" no_dialog
say "About shown; closing refused while it was open"

/usr/bin/python3 "$HERE/closewin.py" "$W"
expect_exit 0

# A document naming a treatment plug-in (and a word list): Zyn asks before loading it, and opens
# the document without it when told so.
sed 's|^TM 0 0 0 0 0$|TM 0 9 0 0 0|' "$HERE/../docfiles/plain.zyn" | awk -v dir="$WORK" 'p { print "+" dir p; p = 0; next }
  /^TM 0 9 / { p = "/plugin.so" } /^DFN 0$/ { p = "/words.txt" } { print }' >plug.zyn
start_zyn plug.zyn
expect_box "This document uses the answer treatment plug-in
$WORK/plugin.so

A plug-in is a program: load it only if you trust where it came from.
Load the plug-in?"
W=$(wait_window '^Zyn: ')
no_dialog || fail "a message after opening without the plug-in"
xdotool windowfocus --sync "$W" key ctrl+q
expect_exit 0
say "a document's plug-in is loaded only when the user agrees"

printf '%s\n' housekeepers crosswording >two.txt  # as long as the grid's lights
start_zyn -D0x20 -a Klingon -d two.txt
expect_box "Unrecognised alphabet"
W=$(wait_window '^Zyn: \(untitled\)$')
wait_line "$T_UPDATEFEAS"
# Two words cannot fill a whole grid; assistance for the current light only lists them.
xdotool windowfocus --sync "$W" key alt+a
xdotool key i l
wait_lines "$T_UPDATEFEAS" 2
label=$(/usr/bin/python3 "$HERE/a11y.py" label)
[[ $label == " Feasible characters: CH" ]] || fail "the label reads '$label'"
xdotool windowfocus --sync "$W" key ctrl+q
expect_exit 16
say "an unknown alphabet: reported, the preferred one used, status 16"
status=0
