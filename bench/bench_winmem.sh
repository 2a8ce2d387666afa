#!/usr/bin/env bash
# The idle window's resident memory on a 63x63 grid at each zoom of the View menu, on a private
# Xvfb display: a fresh window per zoom, the zoom's key, the resident memory once the grid has
# been painted at that zoom, then again after the wheel has scrolled the grid pane over the
# whole grid (row band by row band), and the peak. Once on a blank grid, once on a grid with a
# letter in every open square. Zyn's everyday word list, as a user starts the window.
# Usage: bash bench/bench_winmem.sh [runs]   (Release build in build-bench/, or BUILD=folder)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target zyn wordlists >/dev/null
zyn=$(readlink -f "$build/zyn")
list=$(readlink -f "$build/share/zyn/words-british.txt")

export LC_ALL=C.UTF-8
work=$(mktemp -d /tmp/zynwinmem.XXXXXX)
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_CACHE_HOME=$work/.cache XDG_RUNTIME_DIR=$work/run NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=:$(cat "$work/display")

# The grid of bench_window.sh (a block at every fourth square of every fourth row), blank and
# with a letter in every open square.
grid() {
  awk -v fill="$1" 'BEGIN {
    print "63 63 0 0 0"
    for (y = 0; y < 63; y++) { for (x = 0; x < 63; x++) printf "%d ", (x % 4 == 3 && y % 4 == 3); print "" }
    for (y = 0; y < 63; y++) {
      s = ""
      for (x = 0; x < 63; x++) s = s (fill && !(x % 4 == 3 && y % 4 == 3) ? sprintf("%c", 65 + (7 * x + 3 * y) % 26) : " ")
      print s
    } }'
}
grid 0 >"$work/blank.txt"
grid 1 >"$work/filled.txt"

rss() { awk '/^VmRSS/ { print int($2 / 1024) }' /proc/$pid/status; }
hwm() { awk '/^VmHWM/ { print int($2 / 1024) }' /proc/$pid/status; }
# waitfor PATTERN [COUNT]: until the trace output has COUNT lines matching PATTERN (default 1);
# gives up after 60 s.
waitfor() {
  local end=$((SECONDS + 60))
  until [ "$(grep -c -- "$1" "$work/out" || true)" -ge "${2:-1}" ]; do
    [ $SECONDS -lt $end ] || { echo "timed out waiting for \"$1\"" >&2; exit 1; }
    sleep 0.05
  done
}
# settle: until no repaint has been traced for half a second.
settle() {
  local n m
  n=$(grep -c "^expose event" "$work/out" || true)
  while sleep 0.5; m=$(grep -c "^expose event" "$work/out" || true); [ "$m" != "$n" ]; do n=$m; done
}

# one DOC KEY: the window on DOC, zoomed with KEY; prints the memory after the paint, after the
# sweep and the peak, in MB.
one() {
  local w px bands b after n
  : >"$work/out"
  "$zyn" -D0x30 -d "$list" "$1" >>"$work/out" 2>/dev/null &
  pid=$!
  waitfor "^expose event"
  until w=$(xdotool search --onlyvisible --name "^Zyn: " 2>/dev/null | head -n 1) && [ -n "$w" ]; do sleep 0.05; done
  settle
  if [ "$2" != ctrl+0 ]; then
    n=$(grep -c "^expose event" "$work/out")
    xdotool windowfocus --sync "$w" key "$2"
    waitfor "^zoom level"
    waitfor "^expose event" $((n + 1))
  fi
  settle
  after=$(rss)
  # Down the grid a band at a time, the wheel taking the band right to its end and back left.
  px=$(awk '/^zoom level/ { p = $4 } END { print p ? p : 36 }' "$work/out")
  bands=$((63 * px / 300 + 2))
  xdotool mousemove --window "$w" 150 200
  for b in $(seq "$bands"); do
    if [ $((b % 2)) = 1 ]; then xdotool click --repeat 120 --delay 4 7; else xdotool click --repeat 120 --delay 4 6; fi
    xdotool click --repeat 6 --delay 4 5
  done
  settle
  printf '%8d %8d %8d' "$after" "$(rss)" "$(hwm)"
  xdotool windowfocus --sync "$w" key ctrl+q
  wait $pid
  pid=
}

echo "resident memory in MB of the 63x63 window: after the first paint at the zoom, after scrolling"
echo "over the whole grid, and the peak (word list $list)"
printf '%-8s %-6s %8s %8s %8s\n' grid zoom painted scrolled peak
for i in $(seq "$runs"); do
  for doc in blank filled; do
    for z in "50% ctrl+8" "71% ctrl+9" "100% ctrl+0" "141% ctrl+1" "200% ctrl+2"; do
      printf '%-8s %-6s ' "$doc" "${z% *}"
      one "$work/$doc.txt" "${z#* }"
      echo
    done
  done
done
