#!/usr/bin/env bash
# Journey 7: free lights. Start one at the cursor, extend it along a path, rewrite its path in
# the path dialog (a line it cannot read is refused and the dialog stays), export the paths and
# import them into a new document.
source "$(dirname "$0")/lib.sh" "$1"

start_x
open_zyn -d words.txt
keys alt+e f s
keys Right ctrl+e Down ctrl+e
keys alt+e f m
dialog "Modify free light path"
in_dialog ctrl+a
type_dialog "1,1 x"
in_dialog alt+a
answer Escape
dialog "Modify free light path"
in_dialog ctrl+a
type_dialog "2,2"
in_dialog Return
type_dialog "3 3"
in_dialog Return
type_dialog "4,4"
in_dialog alt+a
dialog_gone
say "a path of three cells, written as text"

keys alt+f x
choose_file "Export free light paths" fl.fl.txt
poll 20 "the exported paths" test -s fl.fl.txt
[[ $(grep -v '^# Free light export' fl.fl.txt) == "$(printf '%s\n' '# Free light 0' '2 2' '3 3' '4 4' '' '# END')" ]] ||
  fail "exported: $(tr '\n' ';' <fl.fl.txt)"

keys ctrl+n
answer Return
wait_lines "$T_UPDATEFEAS" 3
keys alt+f m
choose_file "Import free light paths" fl.fl.txt
keys alt+f a
choose_file Save j7
poll 20 "the saved file" test -s j7.zyn
[[ $(grep '^VL ' j7.zyn) == "$(printf '%s\n' 'VL 0 0 2 2' 'VL 0 1 3 3' 'VL 0 2 4 4')" ]] ||
  fail "imported: $(grep '^VL ' j7.zyn | tr '\n' ';')"
say "exported and imported into a new document"
keys ctrl+q
expect_exit 0
status=0
