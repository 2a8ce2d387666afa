#!/usr/bin/env bash
# Zoom: the menu's named levels, In and Out stopping at the ends, Ctrl+wheel and the buttons.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
start_zyn -D0x30
W=$(wait_window '^Zyn: ')
wait_line "$T_UPDATEFEAS"
gridsize() { /usr/bin/python3 "$HERE/a11y.py" grid; }
resized_from() { [[ $(gridsize) != "$1" ]]; }
press() { xdotool windowfocus --sync "$W" key "$1"; }
# zoomed LEVEL PIXELS COUNT: the COUNTth time the window reports that level.
zoomed() { wait_lines "$(trace ZOOM "$1" "$2")" "$3"; }

# Below about 47 pixels a square the grid is smaller than its pane, which the drawing area
# fills; sizes are compared at the large end, levels at the small end.
s36=$(gridsize)
press ctrl+2
zoomed 16 72 1
poll 10 "the grid to grow" resized_from "$s36"
s72=$(gridsize)
press ctrl+plus
zoomed 16 72 2
[[ $(gridsize) == "$s72" ]] || fail "zooming in past the largest size changed the grid"
press ctrl+minus
zoomed 15 67 1
poll 10 "the grid to shrink" resized_from "$s72"
s67=$(gridsize)
((${s67%% *} < ${s72%% *})) || fail "zooming out grew the grid: $s72 to $s67"
press ctrl+8
zoomed 0 18 1
press ctrl+minus
zoomed 0 18 2
say "zoom menu: $s67 < $s72, clamped at both ends"

xdotool mousemove --window "$W" 100 150 keydown ctrl click 4 keyup ctrl
zoomed 1 20 1
mapfile -t buttons < <(/usr/bin/python3 "$HERE/a11y.py" buttons)
xdotool mousemove ${buttons[1]} click 1
zoomed 2 22 1
xdotool mousemove ${buttons[0]} click 1
zoomed 1 20 2
press ctrl+0
zoomed 8 36 1
poll 10 "the grid back at 100%" eval '[[ $(gridsize) == "$s36" ]]'
say "Ctrl+wheel and the zoom buttons"

press ctrl+q
expect_exit 0
status=0
