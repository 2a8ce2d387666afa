#!/usr/bin/env bash
# Journey 6: every export item of the File menu on a filled document opened from the command
# line, each to a name of its own; each file is read back by a program that knows its format.
# Exporting to a name that exists asks first, and Cancel leaves the file alone.
source "$(dirname "$0")/lib.sh" "$1"

start_x
cp "$HERE/../../examples/blocked15.zyn" filled.zyn
open_zyn -d words.txt filled.zyn
wait_title "Zyn: A blocked 15x15, filled by Zyn"
# name, the submenu's and the item's mnemonic, the chooser's title
while read -r name sub item title; do
  keys alt+f "$sub" "$item"
  choose_file "${title//_/ }" "$name"
  poll 30 "the file $name" test -s "$name"
done <<'LIST'
b.eps       b e  Export_blank_grid_as_EPS
b.svg       b s  Export_blank_grid_as_SVG
b.png       b p  Export_blank_grid_as_PNG
b.html      b h  Export_blank_grid_as_HTML
f.eps       f e  Export_filled_grid_as_EPS
f.svg       f s  Export_filled_grid_as_SVG
f.png       f p  Export_filled_grid_as_PNG
f.html      f h  Export_filled_grid_as_HTML
a.txt       w t  Export_answers_as_plain_text
a.html      w h  Export_answers_as_HTML
p.html      p h  Export_puzzle_as_HTML
ps.html     p s  Export_puzzle_as_HTML+SVG
pp.html     p p  Export_puzzle_as_HTML+PNG
s.html      l h  Export_solution_as_HTML
ss.html     l s  Export_solution_as_HTML+SVG
sp.html     l p  Export_solution_as_HTML+PNG
c.xml       t c  Export_as_Crossword_Compiler_XML
LIST
say "17 exports written"

for f in b.eps f.eps; do gs -q -dNOPAUSE -dBATCH -sDEVICE=nullpage "$f" || fail "$f does not render"; done
for f in b.svg f.svg; do rsvg-convert "$f" -o "$f.png" || fail "$f does not render"; done
for f in b.png f.png; do [[ $(identify -format %m "$f") == PNG ]] || fail "$f is no PNG"; done
for f in b.html f.html a.html p.html ps.html pp.html s.html ss.html sp.html; do
  xmllint --html --noout "$f" 2>xmllint.err || fail "$f is not HTML"
done
xmllint --noout c.xml || fail "c.xml is not XML"
grep -q '^1 ' a.txt || grep -qi 'across' a.txt || fail "a.txt lists no answers"
say "every file opens"

# The same name again: the chooser asks before overwriting; Cancel keeps the file.
# An old time on the file, so that a rewrite would change it.
touch -d @1000000000 b.eps
before=$(stat -c %Y.%s b.eps)
keys alt+f b e
dialog "Export blank grid as EPS"
in_dialog ctrl+a
type_dialog b.eps
in_dialog Return
answer Escape
in_dialog Escape
dialog_gone
[[ $(stat -c %Y.%s b.eps) == "$before" ]] || fail "b.eps was overwritten"
say "an existing file is not overwritten unasked"
keys ctrl+q
expect_exit 0
status=0
