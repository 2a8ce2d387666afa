#!/usr/bin/env bash
# Preferences: Apply with no change writes the 33 entries in table order; an export size of 5 is
# stored as 10; a pasted line break does not reach the file; Cancel leaves the file as it was; a
# file that cannot be written is reported.
source "$(dirname "$0")/lib.sh" "$1"
DLG=("/usr/bin/python3" "$HERE/dialogs.py")

start_x
start_bus
printf '%s\n' apple pear plum >words.txt
ini=$XDG_CONFIG_HOME/Zyn/Zyn.ini
mkdir -p "$(dirname "$ini")"
# A file from an older version: one value set, one key no longer known.
printf 'stats_min_check_percent 50\nold_key 3\n' >"$ini"
open_zyn -d words.txt

openprefs() {
  keys alt+e p
  dialog "Preferences"
}

openprefs
"${DLG[@]}" press Preferences Apply
wait_lines "$(trace DIALOGAPPLIED "Preferences")" 1
cat >want.ini <<'EOF'
edit_click_for_block 0
edit_click_for_bar 0
edit_show_numbers 1
stats_min_check_percent 50
stats_max_check_percent 75
autofill_no_duplicates 1
autofill_random 0
export_EPS_square_points 36
export_HTML_square_pixels 36
light_numbers_in_solutions 0
lookupname_0 Look up at Collins online
lookupname_1 Look up at Oxford online
lookupname_2 Search at English Wiktionary
lookupname_3 Search at English Wikipedia
lookupname_4 Search at Startpage
lookupname_5 Look up at Dictionary.com
lookupuri_0 https://www.collinsdictionary.com/search/?dictCode=english&q=%s
lookupuri_1 https://www.oxfordlearnersdictionaries.com/definition/%s
lookupuri_2 https://en.wiktionary.org/w/index.php?search=%s
lookupuri_3 https://en.wikipedia.org/w/index.php?search=%s
lookupuri_4 https://www.startpage.com/do/search?q=%s
lookupuri_5 https://www.dictionary.com/browse/%s?s=t
startup_defdict1 
startup_ff1 
startup_af1 
startup_al 2
export_PDF_paper 0
export_PDF_solution 0
startup_minscore1 40
startup_spelling 0
dict_cache_index 1
edit_highlight_light 1
edit_heat_map 0
EOF
diff want.ini "$ini" || fail "Apply with no change wrote another file"
say "Apply with no change: the 33 entries in table order"

# The Lookup table lists its entries from the last: text 1 is the name of look-up 6.
openprefs
"${DLG[@]}" set Preferences "spin button" 0 5 :: set Preferences text 1 $'My\nsearch' :: \
  combo Preferences 0 Swedish :: press Preferences Apply
wait_lines "$(trace DIALOGAPPLIED "Preferences")" 2
sed -e 's/^export_EPS_square_points 36$/export_EPS_square_points 10/' \
  -e 's/^lookupname_5 .*/lookupname_5 Mysearch/' -e 's/^startup_al 2$/startup_al 18/' want.ini >want2.ini
diff want2.ini "$ini" || fail "the changed preferences were not stored as expected"
say "5 stored as 10, the line break left out, the start-up alphabet stored"

cp "$ini" before.ini
openprefs
"${DLG[@]}" set Preferences "spin button" 1 50 :: set Preferences text 0 "elsewhere" :: \
  press Preferences "Include numbers in filled grids" :: press Preferences Cancel
wait_line "$(trace DIALOGCLOSED "Preferences")"
cmp before.ini "$ini" || fail "Cancel changed the preferences file"
say "Cancel leaves the file byte for byte"

# A file that cannot be replaced: the system's reason, and the session goes on.
rm "$ini"
mkdir "$ini"
openprefs
"${DLG[@]}" press Preferences Apply
expect_box "Filing system error: Is a directory"
wait_lines "$(trace DIALOGAPPLIED "Preferences")" 3
say "a failed write is reported"

keys ctrl+q
expect_exit 0
status=0
