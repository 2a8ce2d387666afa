#!/usr/bin/env bash
# The cursor's light is tinted on every grid type, at 50% and at 200%, and the tint follows the
# cursor: on a plain grid, a torus (both lights wrap), a hexagonal and a circular grid, a light
# and the one after it in the cursor's directions (/), then back (Page Up). On a free light the
# path is tinted and the cursor drawn, and typing moves on along the path. Cells are found by the
# trace of their centres on the drawing area; a cell counts as tinted when a good share of the
# middle of it is blue, and as plain when almost none is.
source "$(dirname "$0")/lib.sh" "$1"

start_x 1280x800
grep -x '[a-z]\{3,6\}' /usr/share/dict/british-english >words36.txt
# share CELL...: for each cell, the blue and grey percentages of the middle half of it (the
# square of half-side SQ/4 around its centre) in shot.png; the centres are those traced last.
share() {
  local pts=() c xy
  for c in "$@"; do
    xy=$(traced CELLCENTRE | awk -v c="$c" '$3 == c { p = $5 } END { print p }')
    [[ -n $xy ]] || fail "no centre traced for cell $c"
    pts+=($((OX + ${xy%,*})) $((OY + ${xy#*,})))
  done
  /usr/bin/python3 "$HERE/pixels.py" share shot.png $((SQ / 4)) "${pts[@]}"
}
# quiet NAME: wait until the grid has been repainted since the last trace NAME and then not
# again for 0.4 s: a key's repaint, and a zoom's or a relayout's, may come in several parts.
painted_after() {
  awk -v h="$(trace_head "$1")" -v e="$(trace_head EXPOSE)" 'index($0, h) == 1 { s = 0 } index($0, e) == 1 { s = 1 }
    END { exit !s }' app.out
}
quiet() {
  local n m i
  poll 20 "a repaint after the trace $1" painted_after "$1"
  n=$(traced_count EXPOSE)
  for i in $(seq 40); do
    sleep 0.4
    m=$(traced_count EXPOSE)
    ((m == n)) && return 0
    n=$m
  done
  fail "the grid is never still"
}
shoot() { import -window "$W" shot.png; }
# press KEY: a key for the grid, once the window says it has shown it and is still again.
shown() { traced_count KEYSHOWN; }
press() {
  local n
  n=$(shown)
  keys "$1"
  poll 20 "the key $1 to be shown" eval '(($(shown) > n))'
  quiet KEYSHOWN
}
# tints WHAT "CELLS" "CELLS": the first cells are tinted in shot.png, the others are plain.
tints() {
  local what=$1 on off c b i=0
  read -ra on <<<"$2"
  read -ra off <<<"$3"
  local cells=("${on[@]}" "${off[@]}")
  while read -r b _; do
    c=${cells[i]}
    if ((i < ${#on[@]})); then
      ((b >= 30)) || fail "$what at $SQ px: cell $c is not tinted ($b% blue)"
    else
      ((b <= 10)) || fail "$what at $SQ px: cell $c is tinted ($b% blue)"
    fi
    i=$((i + 1))
  done < <(share "${cells[@]}")
}
# zoom KEY LEVEL PIXELS: zoom and wait until the cells' new centres are traced.
zoom() {
  local n
  n=$(line_count "$(trace ZOOM "$2" "$3")")
  keys "$1"
  wait_lines "$(trace ZOOM "$2" "$3")" $((n + 1))
  quiet ZOOM
  SQ=$3
}
# follows NAME "CELLS A" "CELLS B": the cursor's light is A (its cursor cell left out), and after
# / it is B and A is plain; Page Up brings A back.
follows() {
  shoot
  tints "$1" "$2" "$3"
  press slash
  shoot
  tints "$1, after /" "$3" "$2"
  press Prior
  shoot
  tints "$1, back" "$2" ""
}
# The grid, then for each zoom the light A and B of the cursor; what keys reach A first.
check() {  # check NAME DOC [KEYS] "CELLS A" "CELLS B"
  local name=$1 doc=$2 first=$3
  open_zyn -d words36.txt "$doc"
  calibrate
  keys alt+a i o  # no hints over the cells' middles
  quiet CONFIGURE
  [[ -n $first ]] && press $first
  for z in "ctrl+8 0 18" "ctrl+2 16 72"; do
    zoom $z
    follows "$name" "$4" "$5"
  done
  say "$name: the tint follows the cursor at 50% and 200%"
  keys ctrl+q
  poll 10 "the question or the exit" eval 'dialog_of_zyn >/dev/null || ! alive $APP_PID'
  dialog_of_zyn >/dev/null && answer Return
  expect_exit 0
}

foreign_grid plain.txt '.....' '.#.#.' '.....' '.#.#.' '.....'
check plain plain.txt "" "1,0 2,0 3,0 4,0" "0,1 0,2 0,3 0,4"
# The torus's 2 Across runs from the right edge into the cursor's corner, and its column's light
# from the fourth row over the bottom edge.
check torus "$HERE/../../examples/torus.zyn" "" "1,0 6,0 7,0" "0,3 0,4 0,5 0,6 0,7"
# The first direction has no light through the corner of the hexagonal grid.
check hexagonal "$HERE/../../examples/hexagonal.zyn" slash "1,0 2,1 3,1 4,2 5,2 6,3" "0,1 0,2 0,3 0,4"
check circular "$HERE/../../examples/circular.zyn" "" "1,0 2,0 3,0 4,0 5,0" "0,1 0,2 0,3"

# A free light from the corner along the top row and down the middle column; the cursor on it at
# the corner (its third direction there, after across and down).
open_zyn -d words36.txt plain.txt
calibrate
keys alt+a i o
quiet CONFIGURE
keys alt+e f s Right ctrl+e Right ctrl+e Down ctrl+e Down ctrl+e  # the cursor ends at 2,2
for k in Left Left Up Up slash slash; do press $k; done
for z in "ctrl+8 0 18" "ctrl+2 16 72"; do
  zoom $z
  shoot
  tints "the free light" "1,0 2,0 2,1 2,2" "3,0 4,0 0,1"
  read -r _ grey < <(share 0,0)
  ((grey >= 15)) || fail "no cursor drawn on the free light at $SQ px ($grey% grey)"
done
say "a free light: its path tinted and the cursor drawn at 50% and 200%"
typein abcde
keys ctrl+s  # saved beside the grid it was opened from
poll 20 "the saved file" test -s plain.txt.zyn
[[ $(grid_rows plain.txt.zyn 5 5 | tr '\n' ' ') == "ABC.. ..D.. ..E.. ..... ..... " ]] ||
  fail "typed along the free light: $(grid_rows plain.txt.zyn 5 5 | tr '\n' ' ')"
say "typing on the free light moves on along its path"
keys ctrl+q
expect_exit 0
status=0
