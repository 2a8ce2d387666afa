#!/usr/bin/env bash
# Journey 1: start the window, read its title and menus, quit with Ctrl+Q. After an edit,
# closing the window asks: Cancel keeps it, Proceed ends the session with status 0.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
start_zyn -D0x20
W=$(wait_window '^Zyn: ')
say "window shown"
# Read widgets only once the start-up fill has published its result.
wait_line "$T_UPDATEFEAS"

/usr/bin/python3 "$HERE/a11y.py" menus >menus.txt
printf '%s\n' "Zyn: (untitled)" File Edit Properties Select Symmetry Autofill Help >want.txt
diff want.txt menus.txt || fail "title and menus differ"
say "title and menus as expected"

# Undo and Redo with nothing to undo change nothing, so Quit asks nothing.
xdotool windowfocus --sync "$W" key ctrl+z ctrl+y ctrl+q
expect_exit 0

open_zyn -d words.txt
mark
typein a
settle
/usr/bin/python3 "$HERE/closewin.py" "$W"
answer Escape
wait_line "$T_CLOSEREFUSED"
alive "$APP_PID" || fail "Cancel closed the window"
keys b
/usr/bin/python3 "$HERE/closewin.py" "$W"
answer Return
expect_exit 0
say "closing with unsaved work: Cancel keeps the window, Proceed closes it"
status=0
