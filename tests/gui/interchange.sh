#!/usr/bin/env bash
# Interchange in the window: File > Open takes an ipuz file as a new document without a name;
# File > Export other format writes it as .puz; Save asks for a name; a damaged .puz is refused
# with its reason and leaves the grid, its name and Save as they were; and a grid with an empty
# cell is refused as .puz without writing a file.
source "$(dirname "$0")/lib.sh" "$1"

start_x
start_bus
cat >in.ipuz <<'IPUZ'
{"version":"http://ipuz.org/v2","kind":["http://ipuz.org/crossword#1"],"title":"Imported",
 "dimensions":{"width":3,"height":3},"puzzle":[[1,0,2],[0,"#",0],[3,0,0]],
 "solution":[["C","A","T"],["A","#","O"],["T","O","E"]],
 "clues":{"Across":[[1,"Puss"],[3,"Digit"]],"Down":[[1,"Moggy"],[2,"Lug"]]}}
IPUZ
open_zyn -d words.txt
keys ctrl+o
choose_file Open in.ipuz
wait_title "Zyn: Imported"
wait_lines "$T_UPDATEFEAS" 2

keys alt+f t p
choose_file "Export as Across Lite .puz" out.puz
poll 20 "the exported file" test -s out.puz
[[ $(dd if=out.puz bs=1 skip=52 count=9 2>/dev/null) == "CATA.OTOE" ]] || fail "the .puz board"
say "an ipuz opened and exported as .puz"

# The import has no name: Save asks, proposing the imported file's name.
keys ctrl+s
dialog Save
in_dialog Return
dialog_gone
poll 20 "the saved file" test -s in.zyn
grep -q '^SQCT 2 2 0 "E"$' in.zyn || fail "the saved letters"
say "Save asked for a name and proposed in.zyn"

# A damaged .puz: refused with the reason; the grid and Save stay as they were.
head -c 60 out.puz >bad.puz
keys ctrl+o
choose_file Open bad.puz
expect_box "File format error in $WORK/bad.puz:
the file ends inside its grid"
wait_title "Zyn: Imported"
rm in.zyn
keys ctrl+s
poll 20 "Save to write in.zyn again without asking" test -s in.zyn
grep -q '^SQCT 2 2 0 "E"$' in.zyn || fail "the grid after a refused import"
say "a damaged .puz is refused and changes nothing"

# An empty cell cannot go into a .puz: the reason, and no file.
keys Tab
keys alt+f t p
choose_file "Export as Across Lite .puz" empty.puz
expect_box "Cannot export to .puz:
the cell in row 1, column 1 has no letter yet"
[[ ! -e empty.puz ]] || fail "a refused export wrote a file"
say "an unfilled grid is refused as .puz"
keys ctrl+q
answer Return
expect_exit 0
status=0
