#!/usr/bin/env bash
# Journey 3: New > Blocked 13x13 template > No unches on edges; an across word, "/" to turn
# down, a down word through the shared cell; Save, then Open it again: the same letters, and
# the title names the file. Opening a picture by mistake changes nothing: the error names the
# file, and the grid, its undo history and the name Save writes to stay.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus  # to read the error box
open_zyn -d words.txt
# File > New > Blocked 13x13 template (the eleventh item) > No unches on edges (its first).
keys alt+f n Down Down Down Down Down Down Down Down Down Down Right Return
wait_lines "$T_UPDATEFEAS" 2
mark
typein crossword
keys Home slash
typein cat
settle
keys ctrl+s
choose_file Save j3.zyn
poll 20 "the saved file" test -s j3.zyn
# The cells holding a letter, as the SQCT records give them: x y "letter".
letters() { awk '$1 == "SQCT" && $4 == 0 && $5 ~ /^"[A-Z]"$/ { print $2, $3, $5 }' "$1" | tr '\n' ' '; }
want='0 0 "C" 1 0 "R" 2 0 "O" 3 0 "S" 4 0 "S" 5 0 "W" 6 0 "O" 7 0 "R" 8 0 "D" 0 1 "A" 0 2 "T" '
[[ $(letters j3.zyn) == "$want" ]] || fail "letters saved: $(letters j3.zyn)"
# 36 blocks, at the squares whose column and row are both odd.
[[ $(marked_squares j3.zyn | awk '$3 == 0 && $4 == 0 && $5 == 1 && $1 % 2 && $2 % 2' | wc -l) == 36 ]] ||
  fail "the template's blocks"
say "saved: $(letters j3.zyn)"

# A new document, then Open the saved one.
keys ctrl+n
wait_title "Zyn: (untitled)"
keys ctrl+o
choose_file Open j3.zyn
wait_title "Zyn: j3"
keys alt+f a
choose_file Save j3-again.zyn
poll 20 "the saved file" test -s j3-again.zyn
[[ $(letters j3-again.zyn) == "$want" ]] || fail "letters after reopening: $(letters j3-again.zyn)"
say "reopened with the same letters, title 'Zyn: <stem>'"
# A picture opened by mistake: the error names it, and everything stays as it was.
keys Home x
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >shot.png
keys ctrl+o
answer Return  # the unsaved X: proceed
choose_file Open shot.png
expect_box "File format error in $WORK/shot.png:
line 1"
wait_title "Zyn: j3-again"
keys ctrl+z
touch -d 2001-01-01 j3-again.zyn
keys ctrl+s
poll 20 "the file saved again" eval '[[ $(stat -c %Y j3-again.zyn) -gt 1000000000 ]]'
no_dialog || fail "Save asked for a name after the failed Open"
[[ $(letters j3-again.zyn) == "$want" ]] || fail "letters after the failed Open and Undo: $(letters j3-again.zyn)"
say "a picture opened by mistake: reported by name; grid, Undo and Save as before"
keys ctrl+q
expect_exit 0
status=0
