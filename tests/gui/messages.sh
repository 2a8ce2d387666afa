#!/usr/bin/env bash
# Message boxes: the errors and warning of a start without its word list, About, a close refused
# while a box is open; the session still ends with status 0.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
start_zyn -d missing.txt
expect_box $'Dictionary 1\nFile not found'
expect_box "No words available from any dictionary"
expect_box "No dictionaries loaded"
W=$(wait_window '^Zyn: \(untitled\)$')
say "start-up messages shown and closed"

xdotool windowfocus --sync "$W" key alt+h
xdotool key a
about=$(/usr/bin/python3 "$HERE/a11y.py" alert)
[[ $about == "Zyn release "* ]] || fail "About says '$about'"
# Closing the window while the box is open is refused.
/usr/bin/python3 "$HERE/closewin.py" "$W"
sleep 0.5
alive "$APP_PID" || fail "the window closed under a message box"
xdotool windowfocus --sync "$(dialog_of_zyn)" key Escape
poll 10 "About to close" no_dialog
say "About shown; closing refused while it was open"

/usr/bin/python3 "$HERE/closewin.py" "$W"
expect_exit 0
status=0
