#!/usr/bin/env bash
# Filling journey 4, Statistics: on a 3x3 blank grid the General page gives the table by length
# and the summary lines; with the window open, a block in the centre refreshes it.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
foreign_grid square.txt '...' '...' '...'
open_zyn -d words.txt square.txt
keys alt+e t
wait_window '^Statistics$' >/dev/null
# The table's labels come last cell first.
labels() { /usr/bin/python3 "$HERE/a11y.py" labels Statistics | grep -v '^ *$' | tr '\n' '|'; }
want='1.00:1.00:1.00|6|3|  Check ratio min:mean:max  |  Overchecked  |  Underchecked  |  Count  |  Length  |'
want+='  Total lights: 6|  Mean length: 3.0|  Checked light characters: 18/18 (100.0%)|'
want+='  Checked grid cells: 9/9 (100.0%)|  Lights with double unches: 0|'
want+='  Lights with triple, quadruple etc. unches: 0|  Lights too long for filler: 0|'
want+='  Total free lights: 0|  Free lights too long for filler: 0|  Clues: 0 of 6 lights clued|'
got=$(labels)
[[ $got == "$want" ]] || fail "the General page reads '$got'"
say "the General page of a 3x3 grid"

n=$(line_count "$T_STATS")
keys Right Down Insert
wait_lines "$T_STATS" $((n + 1))
poll 20 "four lights" eval '[[ $(labels) == *"|  Total lights: 4|"* ]]'
got=$(labels)
[[ $got == '0.67:0.67:0.67|4|3|'* && $got == *'|  Checked light characters: 8/12 (66.7%)|'* ]] ||
  fail "after the block: '$got'"
say "refreshed after a block in the centre"
keys ctrl+q
answer Return
expect_exit 0
status=0
