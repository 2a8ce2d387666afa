# Shared by the window's end-to-end tests: a private Xvfb display and home folder, an optional
# private D-Bus session with the accessibility bus (for dogtail), the program under test, and
# helpers that wait for what it shows and prints. Every process started here is ended by PID.
#
#   source lib.sh <zyn binary>
#   start_x; [start_bus]; start_zyn [args]; ...; expect_exit 0
#
# Debian 12 packages: xvfb xauth x11-utils imagemagick fonts-dejavu-core xdotool, and for
# dogtail python3-dogtail libatk-adaptor libgail-common dbus-daemon at-spi2-core.
set -euo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8   # the only locale there is; also fixes $EPOCHREALTIME's point

ZYN=$(readlink -f "$1")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
T0=$EPOCHREALTIME
WORK=$(mktemp -d /tmp/zyngui.XXXXXX)
XVFB_PID= BUS_PID= APP_PID=
status=1

say() { awk -v a="$T0" -v b="$EPOCHREALTIME" -v m="$*" 'BEGIN { printf "[%6.2fs] %s\n", b - a, m }'; }
fail() { echo "FAIL: $*" >&2; exit 1; }

alive() {  # a zombie counts as gone
  local st
  st=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ $st != Z* ]]
}

stop_pids() {  # TERM, wait up to 5 s, then KILL what is left
  local p i left
  for p in "$@"; do alive "$p" && kill -TERM "$p" 2>/dev/null || true; done
  for i in $(seq 50); do
    left=
    for p in "$@"; do alive "$p" && left=1; done
    [[ -z $left ]] && return 0
    sleep 0.1
  done
  for p in "$@"; do alive "$p" && kill -KILL "$p" 2>/dev/null || true; done
}

cleanup() {
  set +e
  [[ -n $APP_PID ]] && stop_pids "$APP_PID"
  # Everything the bus activated (bus launcher, accessibility bus, registry) is in its session.
  [[ -n $BUS_PID ]] && stop_pids $(ps -eo pid=,sid= | awk -v s="$BUS_PID" '$2 == s { print $1 }')
  [[ -n $XVFB_PID ]] && stop_pids "$XVFB_PID"
  if [[ $status -ne 0 ]]; then
    for f in app.out app.err xvfb.err bus.err; do
      [[ -s $WORK/$f ]] && { echo "--- $f" >&2; tail -n 40 "$WORK/$f" >&2; }
    done
    echo "--- kept $WORK" >&2
  else
    rm -rf "$WORK"
  fi
  say "$(basename "$0"): $([[ $status -eq 0 ]] && echo PASS || echo FAIL)"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

poll() {  # poll SECONDS WHAT CMD...: rerun CMD every 50 ms until it succeeds
  local what=$2 end=$((${EPOCHREALTIME/./} + $1 * 1000000))
  shift 2
  until "$@"; do
    ((${EPOCHREALTIME/./} < end)) || fail "timed out waiting for $what"
    sleep 0.05
  done
}

# A private, repeatable home: the file chooser starts in the working folder with a name entry.
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/.local/share
export XDG_CACHE_HOME=$WORK/home/.cache XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_CONFIG_HOME/gtk-2.0" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[Filechooser Settings]\nLocationMode=filename-entry\nStartupMode=cwd\n' \
  >"$XDG_CONFIG_HOME/gtk-2.0/gtkfilechooser.ini"
unset GTK_MODULES GTK2_RC_FILES DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
export NO_AT_BRIDGE=1
# GTK and its libraries keep caches for the life of the process; only Zyn's own leaks matter.
export LSAN_OPTIONS=suppressions=$HERE/lsan.supp:print_suppressions=0
# GLib has no frame pointers: only the slow unwinder sees the GTK frames that the suppressions
# name behind a g_malloc (the file chooser keeps a few such strings).
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0
# The file chooser runs GLib and GIO worker threads that hand memory over through futexes, which
# ThreadSanitizer cannot see; it checks the program's own loads and stores, not the library calls
# (malloc, free, strlen...) that such handovers go through.
export TSAN_OPTIONS=suppressions=$HERE/tsan.supp:ignore_interceptors_accesses=1:${TSAN_OPTIONS:-}
# GLib's slice allocator hands memory between threads through its own magazines; plain malloc
# lets the sanitizers follow it.
export G_SLICE=always-malloc
cd "$WORK"

start_x() {  # [WIDTHxHEIGHT of the screen, 1024x768 by default]
  # -displayfd: the server picks a free display and reports it once it accepts connections;
  # -noreset: no reset (and refused connections) when the last client leaves.
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>display 2>xvfb.err &
  XVFB_PID=$!
  poll 10 "Xvfb to report its display" test -s display
  export DISPLAY=:$(cat display)
}

start_bus() {
  # After DISPLAY and XDG_RUNTIME_DIR are exported: the services the bus activates inherit them.
  setsid dbus-daemon --session --nofork --print-address=3 3>bus.addr >bus.err 2>&1 &
  BUS_PID=$!
  poll 10 "the session bus" test -s bus.addr
  export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 bus.addr)
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
  A11Y=1
  # Every request over the accessibility bus mallocs a great deal inside GLib, and the slow
  # unwinder makes each of those cost milliseconds: a table of a hundred entries took half a
  # minute to read. These scripts unwind by frame pointers instead; such stacks end at GLib's
  # allocator, so leaks of memory GLib allocated are not reported here (the scripts without the
  # bus still report them), while leaks of Zyn's own allocations keep their whole stack.
  export ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=1
  export LSAN_OPTIONS=suppressions=$HERE/lsan-a11y.supp:print_suppressions=0
}

start_zyn() {
  if [[ -n ${A11Y:-} ]]; then
    env -u NO_AT_BRIDGE GTK_MODULES=gail:atk-bridge "$ZYN" "$@" >app.out 2>app.err &
  else
    "$ZYN" "$@" >app.out 2>app.err &
  fi
  APP_PID=$!
}

# The trace lines the program prints, from core/traces.h: TRACE_NAME "format" is T_NAME here.
while IFS= read -r l; do
  if [[ $l =~ ^#define\ TRACE_([A-Z0-9_]+)\ \"([^\"\\]*)\"$ ]]; then
    printf -v "T_${BASH_REMATCH[1]}" '%s' "${BASH_REMATCH[2]}"
  fi
done <"$HERE/../../core/traces.h"
[[ -n ${T_UPDATEFEAS:-} ]] || fail "no trace lines read from core/traces.h"
# trace NAME [ARG...]: the line the program prints for NAME with those arguments.
trace() {
  local f=T_$1
  [[ -v $f ]] || fail "no trace $1 in core/traces.h"
  shift
  # shellcheck disable=SC2059  # the format is the trace's
  printf -- "${!f}" "$@"
}
# trace_head NAME: the fixed start of NAME's lines, before its first argument.
trace_head() {
  local f=T_$1
  [[ -v $f ]] || fail "no trace $1 in core/traces.h"
  printf '%s' "${!f%%\%*}"
}
# traced NAME: the lines printed so far for NAME, whatever their arguments.
traced() { awk -v h="$(trace_head "$1")" 'index($0, h) == 1' app.out; }
traced_count() { traced "$1" | wc -l; }

has_line() { grep -Fxq -- "$1" app.out; }
wait_line() { poll "${2:-60}" "the trace line '$1'" has_line "$1"; }
line_count() { grep -Fxc -- "$1" app.out || true; }
has_lines() { (($(line_count "$1") >= $2)); }
wait_lines() { poll 60 "$2 trace lines '$1'" has_lines "$1" "$2"; }  # LINE COUNT
window_of() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
got_window() { [[ -n $(window_of "$1") ]]; }
wait_window() { poll "${2:-20}" "a window named '$1'" got_window "$1"; window_of "$1"; }

expect_exit() {  # the program leaves by itself with this status, and printed no warnings
  local rc=0
  poll 20 "zyn to exit" eval '! alive $APP_PID'
  wait "$APP_PID" || rc=$?
  APP_PID=
  [[ $rc -eq $1 ]] || fail "exit status $rc, expected $1"
  if grep -E 'CRITICAL|WARNING|ERROR|Sanitizer' app.err >&2; then fail "zyn printed warnings"; fi
}

# The message box or dialog now showing: a window of Zyn's without a title.
dialog_of_zyn() {
  local w
  for w in $(xdotool search --onlyvisible --class zyn 2>/dev/null); do
    [[ -z $(xdotool getwindowname "$w" 2>/dev/null) ]] && { echo "$w"; return 0; }
  done
  return 1
}
no_dialog() { ! dialog_of_zyn >/dev/null; }
window_gone() { ! xdotool search --onlyvisible --class zyn 2>/dev/null | grep -qx "$1"; }

# Read the message box showing, compare its text, and close it with Escape.
expect_box() {
  local want=$1 got d
  got=$(/usr/bin/python3 "$HERE/a11y.py" alert) || fail "no message box"
  [[ $got == "$want" ]] || fail "message box says '$got', expected '$want'"
  d=$(dialog_of_zyn) || fail "no message box window"
  xdotool windowfocus --sync "$d" key Escape
  poll 10 "the message box to close" window_gone "$d"
}

# ---- driving Zyn's main window -------------------------------------------------------------
# A short word list, so that a start under the sanitizers takes no time reading the default one.
printf '%s\n' cat cot cut dog dig act ace arc tic toe ore era ape eve ewe >words.txt
# Preferences: "key value" lines, read at start-up.
setprefs() { mkdir -p "$XDG_CONFIG_HOME/Zyn"; printf '%s\n' "$@" >"$XDG_CONFIG_HOME/Zyn/Zyn.ini"; }

# Start zyn with drawing and window traces and wait for its window and its first fill's result;
# W is the main window.
open_zyn() {
  start_zyn -D0x30 "$@"
  W=$(wait_window '^Zyn: ')
  wait_lines "$T_UPDATEFEAS" 1
}
keys() { xdotool windowfocus --sync "$W" key --delay 40 "$@"; }
typein() { xdotool windowfocus --sync "$W" type --delay 40 "$1"; }
title_is() { [[ $(xdotool getwindowname "$W" 2>/dev/null) == "$1" ]]; }
wait_title() { poll 20 "the title '$1'" title_is "$1"; }
# Wait until the window has taken a key or command and repainted: the number of repaints of the
# grid grows past what it was before (call mark first).
mark() { MARK=$(traced_count EXPOSE); }
repainted() { (($(traced_count EXPOSE) > MARK)); }
settle() { poll 20 "the grid to repaint" repainted; }

# The grid's geometry at 100%: the margin and square size in pixels, and the drawing area's
# origin within the main window, found from the trace of a right click (which does nothing on the
# grid; the trace gives the click's position within the drawing area).
B=5 SQ=36
# The traces of pointer buttons pressed (GDK_BUTTON_PRESS, 4), not released.
pressed() { traced PRESS | grep ' type=00000004 ' || true; }
presses() { pressed | wc -l; }
calibrate() {
  local n
  n=$(presses)
  xdotool mousemove --window "$W" 200 200 click 3
  poll 20 "the right click's trace" eval '(($(presses) > n))'
  read -r OX OY < <(pressed | tail -n 1 | awk -v h="$(trace_head PRESS)" \
    '{ s = substr($0, length(h) + 1); sub(/\).*/, "", s); split(s, p, ","); printf "%d %d\n", 200 - p[1], 200 - p[2] }')
}
# click X Y [button]: a click at a point of the drawing area, waiting for its trace.
click() {
  local n
  n=$(presses)
  xdotool mousemove --window "$W" $((OX + $1)) $((OY + $2)) click "${3:-1}"
  poll 20 "the click's trace" eval '(($(presses) > n))'
}
cell_centre() { echo $((B + $1 * SQ + SQ / 2)) $((B + $2 * SQ + SQ / 2)); }
cell_corner() { echo $((B + $1 * SQ)) $((B + $2 * SQ)); }  # its top-left corner

# A dialog of Zyn's by its title; focus it and type into it.
dialog() {
  local re
  re=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
  D=$(wait_window "^$re\$")
  xdotool windowfocus --sync "$D"
}
in_dialog() { xdotool windowfocus --sync "$D" key --delay 40 "$@"; }
type_dialog() { xdotool windowfocus --sync "$D" type --delay 30 "$1"; }
dialog_gone() { poll 20 "the dialog to close" window_gone "$D"; }
# The file chooser named TITLE: replace the proposed name with NAME and press Return.
choose_file() {
  dialog "$1"
  in_dialog ctrl+a
  type_dialog "$2"
  in_dialog Return
  dialog_gone
}
# The question box now showing: answer with a key (Return: its first button; Escape: cancel).
answer() {
  local q
  poll 20 "a question box" eval 'dialog_of_zyn >/dev/null'
  q=$(dialog_of_zyn)
  xdotool windowfocus --sync "$q" key "$1"
  poll 20 "the question box to close" window_gone "$q"
}
# The SQ records (x y bars merge flags) of a saved document whose flags, bars or merges are set.
marked_squares() { awk '$1 == "SQ" && ($4 != 0 || $5 != 0 || $6 != 0) { print $2, $3, $4, $5, $6 }' "$1"; }

# ---- fills ------------------------------------------------------------------------------------
# A grid drawing ('.' a cell, '#' a block; one line a row) as a foreign grid file that Open reads.
foreign_grid() {  # foreign_grid OUT ROW...
  local out=$1
  shift
  printf '%s\n' "$@" | bash "$HERE/../../tools/grid2foreign.sh" >"$out"
}
# Open the 5x5 grid of the fill tests (four blocks, six lights of five) with the five-letter
# words of the everyday British list, fives.txt, and the filler's seed 1.
open_five() {
  grep -x '[a-z]\{5\}' /usr/share/dict/british-english >fives.txt
  foreign_grid five.txt '.....' '.#.#.' '.....' '.#.#.' '.....'
  open_zyn -F 1 -d fives.txt five.txt "$@"
}
# Start an autofill with KEY and wait for its progress dialog, or for its end if it ends first.
start_fill() {
  local shown stopped
  shown=$(line_count "$T_PROGRESSSHOWN") stopped=$(traced_count FILLERSTOPPED)
  keys "$1"
  # A quick fill can end, and its dialog be closed, before the X server has mapped the dialog.
  poll 60 "the progress dialog or the end of the fill" \
    eval '(($(line_count "$T_PROGRESSSHOWN") > shown || $(traced_count FILLERSTOPPED) > stopped))'
}
# The progress dialog has closed and the filler has been stopped; filled: and the grid was filled.
fill_over() { poll 60 "the end of the fill" eval '[[ -n $(traced FILLERSTOPPED) ]]'; }
filled() {
  fill_over
  traced FILLERSTOPPED | grep -q ' status=2$' || fail "the fill: $(traced FILLERSTOPPED)"
}
# grid_rows DOC W H [EMPTY]: the letters of a saved document, a line a row, EMPTY ('.') where none.
grid_rows() {
  awk -v w="$2" -v h="$3" -v e="${4:-.}" '$1 == "SQCT" && $4 == 0 && $5 ~ /^"[A-Z]"$/ { g[$2, $3] = substr($5, 2, 1) }
    END { for (y = 0; y < h; y++) { r = ""; for (x = 0; x < w; x++) r = r ((x, y) in g ? g[x, y] : e); print r } }' "$1"
}
