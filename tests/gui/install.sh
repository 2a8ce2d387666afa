#!/usr/bin/env bash
# Zyn installed as a desktop program: `cmake --install` of this build into a private prefix puts
# every file in its place; the desktop entry, the file type and the manual pages pass their
# checkers, and the pages describe every option and kind of output the programs list; the
# installed programs run from the prefix; a plug-in builds against the installed header; and a
# document whose name has spaces and non-ASCII letters, opened through the desktop entry as a
# file manager opens it, opens in the window.
source "$(dirname "$0")/lib.sh" "$1"

P=$WORK/prefix
cmake --install "$(dirname "$ZYN")" --prefix "$P" >install.log || fail "cmake --install: $(tail -n 3 install.log)"
for f in bin/zyn bin/zyn-export lib/zyn/zyn-window share/applications/zyn.desktop share/mime/packages/zyn.xml \
  share/icons/hicolor/scalable/apps/zyn.svg share/man/man1/zyn.1.gz share/man/man1/zyn-export.1.gz \
  include/zyn/zynplugin.h share/doc/zyn/PLUGINS.md share/doc/zyn/copyright share/doc/zyn/changelog.gz \
  share/doc/zyn/examples/blocked15.zyn share/doc/zyn/examples/jumbles.deck share/doc/zyn/examples/plugins/swapends.c \
  share/zyn/words-british.txt share/zyn/words-american.txt share/zyn/words-canadian.txt \
  share/zyn/words-australian.txt share/zyn/words-british_z.txt; do
  [[ -s $P/$f ]] || fail "not installed: $f"
done
for s in 16 22 24 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$P/share/icons/hicolor/${s}x$s/apps/zyn.png") || fail "no ${s}px icon"
  [[ $got == "${s}x$s" ]] || fail "the ${s}px icon is $got"
done
# Nothing of the build tree: the manual pages name the prefix's folders only.
zcat "$P"/share/man/man1/*.gz | grep -F "$(dirname "$ZYN")" && fail "a manual page names the build tree"
say "installed: programs, desktop entry, file type, icons, manual pages, examples, header, word lists"

out=$(desktop-file-validate "$P/share/applications/zyn.desktop" 2>&1) || fail "desktop-file-validate: $out"
[[ -z $out ]] || fail "desktop-file-validate: $out"
for page in zyn zyn-export; do
  man=$P/share/man/man1/$page.1.gz
  [[ $(lexgrog "$man") == "$man: \"$page - "* ]] || fail "lexgrog: $(lexgrog "$man")"
  MANWIDTH=80 man --warnings -l "$man" >"$page.txt" 2>man.err || fail "man -l $page failed"
  [[ ! -s man.err ]] || fail "man -l $page: $(cat man.err)"
done
# Every option of the usage texts has its entry in OPTIONS, every kind of output in KINDS OF OUTPUT.
section() { awk -v s="$1" '/^[A-Z]/ { on = ($0 == s) } on' "$2"; }
for page in zyn zyn-export; do
  "$P/bin/$page" -? >usage.txt || true
  for o in $(grep -E '^ *(Usage|OR):|^ {7}\[' usage.txt | grep -oE '\[-[A-Za-z?]' | cut -c 2- | sort -u) -?; do
    section OPTIONS "$page.txt" | grep -qE "^ {7}$(printf '%s' "$o" | sed 's/?/\\?/')( |$)" ||
      fail "$page.1 does not describe $o"
  done
done
kinds=$(awk '/for the kind:$/ { on = 1; next } on && /^$/ { exit } on { print $1 }' usage.txt)
[[ $(wc -w <<<"$kinds") -ge 10 ]] || fail "no kinds in the usage: $(cat usage.txt)"
for k in $kinds; do
  section "KINDS OF OUTPUT" zyn-export.txt | grep -qE "(^|[ ,])$k(,|$| )" || fail "zyn-export.1 does not describe the kind $k"
done
say "desktop-file-validate, lexgrog and man -l are clean; the pages cover the usage texts"

# The file type, by name and by the first line alone, and Zyn as the program that opens it.
export XDG_DATA_DIRS=$P/share:/usr/share
update-mime-database "$P/share/mime"
update-desktop-database "$P/share/applications"
mkdir docs
DOC="$WORK/docs/a grid, Zoë's.zyn"
foreign_grid five.txt '.....' '.#.#.' '.....' '.#.#.' '.....'
"$P/bin/zyn-export" -d "$WORK/words.txt" five.txt zyn "$DOC" || fail "zyn-export could not convert the grid"
head -c 200 "$DOC" >docs/noname
for f in "$DOC" docs/noname; do
  got=$(gio info -a standard::content-type "$f" | sed -n 's/^ *standard::content-type: //p')
  [[ $got == application/x-zyn ]] || fail "$f is of type '$got'"
done
got=$(xdg-mime query default application/x-zyn)
[[ $got == zyn.desktop ]] || fail "xdg-mime names '$got' for application/x-zyn"
say "application/x-zyn by name and by content; its program is zyn.desktop"

# The installed programs, from the prefix, away from the build tree.
"$P/bin/zyn" -b "$P/share/doc/zyn/examples/jumbles.deck" >batch.txt || fail "the installed zyn -b failed"
grep -q '^W0 ' batch.txt || fail "batch output: $(head -n 3 batch.txt)"
"$P/bin/zyn-export" "$P/share/doc/zyn/examples/blocked15.zyn" png b.png || fail "the installed zyn-export failed"
[[ $(identify -format %m b.png) == PNG ]] || fail "zyn-export wrote no PNG"
# A deck that names no word list fills from the everyday list in the prefix's share/zyn.
printf 'r1c1 r1c2 r1c3 r1c4 r1c5\n' >plain.deck
"$P/bin/zyn" -b plain.deck >plain.txt 2>plain.err || fail "the installed zyn -b without a word list failed"
[[ ! -s plain.err && $(head -n 1 plain.txt) =~ ^W0\ [A-Z]{5}$ ]] ||
  fail "the installed zyn did not fill from its everyday list: $(cat plain.err plain.txt)"
cc -shared -fPIC -Wall -Werror -I"$P/include/zyn" -o swapends.so "$P/share/doc/zyn/examples/plugins/swapends.c" ||
  fail "the example plug-in does not build against the installed header"
say "installed zyn -b, zyn-export and a plug-in built against the installed header"

# Open the document as a file manager does, through the desktop entry's Exec line.
start_x
setprefs "startup_defdict1 $WORK/words.txt"
PATH=$P/bin:$PATH gio launch "$P/share/applications/zyn.desktop" "$DOC" >app.out 2>app.err ||
  fail "gio launch failed"
W=$(wait_window '^Zyn: ')
APP_PID=$(xdotool getwindowpid "$W")
name=${DOC##*/}
[[ $(xdotool getwindowname "$W") == "Zyn: ${name%.zyn}" ]] || fail "the window is named '$(xdotool getwindowname "$W")'"
# zyn runs the installed window's program in its own place.
[[ $(readlink -f "/proc/$APP_PID/exe") == "$P/lib/zyn/zyn-window" ]] || fail "the window is not the installed zyn's"
/usr/bin/python3 "$HERE/closewin.py" "$W"
poll 20 "zyn to exit" eval '! alive $APP_PID'
APP_PID=
if grep -E 'CRITICAL|WARNING|ERROR|Sanitizer' app.err >&2; then fail "zyn printed warnings"; fi
say "the desktop entry opened '${DOC##*/}' in the installed zyn"
status=0
