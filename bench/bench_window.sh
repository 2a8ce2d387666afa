#!/usr/bin/env bash
# The window's start-up and memory on a private Xvfb display: the time from starting `zyn` to the
# window's first paint and to the first assistance result (feasible words listed), and the idle
# window's resident memory, with the default word list and with a ten-word list. Then the time
# from a key press reaching the window to the end of the repaint it causes, typing letters into
# a 15x15 and a 63x63 grid (the window's own trace "key shown in"), and into the 63x63 grid
# with a 100-byte clue on every light. Then, with the lower-case
# words of the huge British list and assistance on the entire grid: the time from a key to the
# feasible-word list and hints it changes ("key answered in") on the empty standard grid 15.01;
# the longest gap between the 100 ms ticks of the main loop while an autofill of a hard 21x21
# grid runs for 5 s, and how long its Stop takes; the resident memory before and after 100
# edits.
# Usage: bash bench/bench_window.sh [runs]   (Release build in build-bench/, or BUILD=folder)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zyn zyn-export >/dev/null
zyn=$(readlink -f "$build/zyn")
zynexport=$(readlink -f "$build/zyn-export")

export LC_ALL=C.UTF-8
work=$(mktemp -d /tmp/zynwinbench.XXXXXX)
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work/run NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
printf '%s\n' apple bread crane dough eagle fable grape heron ivory jelly >"$work/ten.txt"

now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
# one LABEL ARGS...: start zyn, time the first paint and the first list, read the idle memory, quit
one() {
  local label=$1 t0 paint= ready= pid rss
  shift
  rm -f "$work/out"
  : >"$work/out"
  t0=$(now_ms)
  "$zyn" -D0x20 "$@" >>"$work/out" 2>/dev/null &
  pid=$!
  while [ -z "$ready" ] || [ -z "$paint" ]; do
    [ -z "$paint" ] && grep -q "^expose event" "$work/out" && paint=$(($(now_ms) - t0))
    [ -z "$ready" ] && grep -qx "updatefeas()" "$work/out" && ready=$(($(now_ms) - t0))
    sleep 0.005
  done
  sleep 1
  rss=$(awk '/^VmRSS/ { print int($2 / 1024) }' /proc/$pid/status)
  xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "^Zyn: " | head -n 1)" key ctrl+q
  wait $pid
  printf '%-22s %8d %8d %8d\n' "$label" "$paint" "$ready" "$rss"
}

echo "default word list: $(readlink -f /usr/share/dict/words) ($(wc -l </usr/share/dict/words) lines)"
printf '%-22s %8s %8s %8s\n' run "paint ms" "list ms" "RSS MB"
for i in $(seq "$runs"); do
  one "default list"
  one "ten words" -d "$work/ten.txt"
done

# keys LABEL DOC: type 20 letters into DOC, one at a time, and report the repaint times.
keys() {
  local label=$1 pid w
  : >"$work/out"
  "$zyn" -D0x10 -d "$work/ten.txt" "$2" >>"$work/out" 2>/dev/null &
  pid=$!
  until w=$(xdotool search --onlyvisible --name "^Zyn: " 2>/dev/null | head -n 1) && [ -n "$w" ]; do sleep 0.05; done
  sleep 1
  xdotool windowfocus --sync "$w"
  for i in $(seq 20); do xdotool key --window "$w" a; sleep 0.15; done
  sleep 0.5
  xdotool windowfocus --sync "$w" key ctrl+q
  sleep 0.5
  # Typing made changes: the question is answered with Proceed.
  xdotool key Return
  wait $pid
  awk '/^key shown in/ { print $4 }' "$work/out" | sort -n | awk -v l="$label" '{ t[n++] = $1 } END {
    printf "%-22s %3d keys: median %.2f ms, worst %.2f ms\n", l, n, t[int((n - 1) / 2)], t[n - 1] }'
  # The clue pane follows each edit once the window is idle, after the repaint.
  awk '/^clue pane refreshed in/ { print $5 }' "$work/out" | sort -n | awk -v l="$label" '{ t[n++] = $1 } END {
    if (n) printf "%-22s %3d clue pane refreshes: median %.2f ms, worst %.2f ms\n", l, n, t[int((n - 1) / 2)], t[n - 1] }'
}
awk 'BEGIN { for (y = 0; y < 15; y++) { for (x = 0; x < 15; x++) printf "%d ", (x % 4 == 3 && y % 4 == 3); print "" }
             for (y = 0; y < 15; y++) printf "%15s\n", "" }' | sed '1i 15 15 0 0 0' >"$work/g15.txt"
awk 'BEGIN { for (y = 0; y < 63; y++) { for (x = 0; x < 63; x++) printf "%d ", (x % 4 == 3 && y % 4 == 3); print "" }
             for (y = 0; y < 63; y++) printf "%63s\n", "" }' | sed '1i 63 63 0 0 0' >"$work/g63.txt"
# The 63x63 grid with a clue of 100 bytes on every light, shown in the clue pane.
clue=$(printf 'A clue of one hundred bytes%073d' 0)
if "$zynexport" "$work/g63.txt" clues-txt "$work/g63.clues.txt" 2>/dev/null; then
  sed "s/ (\([0-9]*\))\$/ $clue (\1)/" "$work/g63.clues.txt" >"$work/g63.clued.txt"
  "$zynexport" -d "$work/ten.txt" -c "$work/g63.clued.txt" "$work/g63.txt" zyn "$work/g63c.zyn" 2>/dev/null || true
fi
echo "key press to the end of its repaint (ten-word list):"
for i in $(seq "$runs"); do
  keys "15x15" "$work/g15.txt"
  keys "63x63" "$work/g63.txt"
  if [ -s "$work/g63c.zyn" ]; then keys "63x63, $(wc -l <"$work/g63.clued.txt") clues" "$work/g63c.zyn"; fi
done

grep -x '[a-z]*' /usr/share/dict/british-english-huge >"$work/huge.txt"
bash tools/grid2foreign.sh bench/grids/15.01.txt >"$work/15.01.txt"
bash tools/grid2foreign.sh bench/hard/h21.01.txt >"$work/h21.01.txt"
# launch DOC: start zyn on DOC with the huge list and window traces (pid), and wait for its
# window (w) and its first list.
launch() {
  : >"$work/out"
  "$zyn" -D0x30 -d "$work/huge.txt" "$1" >>"$work/out" 2>/dev/null &
  pid=$!
  until w=$(xdotool search --onlyvisible --name "^Zyn: " 2>/dev/null | head -n 1) && [ -n "$w" ]; do sleep 0.05; done
  until grep -q "^updatefeas()" "$work/out"; do sleep 0.05; done
}
# answered: 20 keys into 15.01, waiting for each key's list before the next.
answered() {
  local pid w n
  launch "$work/15.01.txt"
  xdotool windowfocus --sync "$w"
  # A letter and its deletion, ten times: each key on a grid with at most one letter.
  for k in s BackSpace s BackSpace s BackSpace s BackSpace s BackSpace s BackSpace s BackSpace s BackSpace s BackSpace s BackSpace; do
    n=$(grep -c "^key answered in" "$work/out" || true)
    xdotool key --window "$w" $k
    until [ "$(grep -c "^key answered in" "$work/out" || true)" -gt "$n" ]; do sleep 0.01; done
  done
  xdotool windowfocus --sync "$w" key ctrl+q
  sleep 0.5
  xdotool key Return
  wait $pid
  awk '/^key answered in/ { print $4 }' "$work/out" | sort -n | awk '{ t[n++] = $1 } END {
    printf "%-22s %3d keys: median %.1f ms, worst %.1f ms\n", "15.01, huge list", n, t[int((n - 1) / 2)], t[n - 1] }'
}
echo "key press to the feasible-word list and hints it changes (entire grid, huge list):"
for i in $(seq "$runs"); do answered; done

# longfill: Autofill of a hard 21x21 grid for 5 s, then Stop.
longfill() {
  local pid w d
  launch "$work/h21.01.txt"
  xdotool windowfocus --sync "$w" key ctrl+g
  until grep -q "^progress dialog shown" "$work/out"; do sleep 0.05; done
  sleep 5
  for d in $(xdotool search --onlyvisible --class zyn); do
    [ -z "$(xdotool getwindowname "$d")" ] && xdotool windowfocus --sync "$d" key Return && break
  done
  until grep -q "^stopped filler in" "$work/out"; do sleep 0.05; done
  xdotool windowfocus --sync "$w" key ctrl+q
  wait $pid
  printf "%s; %s\n" "$(grep '^progress timer' "$work/out")" "$(grep -o '^stopped filler in [0-9.]* ms' "$work/out")"
}
echo "autofill of h21.01 for 5 s, then Stop:"
for i in $(seq "$runs"); do longfill; done

# edits: the resident memory after start-up and after 100 edits (50 letters, each deleted again).
edits() {
  local pid w before after
  launch "$work/15.01.txt"
  sleep 1
  before=$(awk '/^VmRSS/ { print $2 }' /proc/$pid/status)
  xdotool windowfocus --sync "$w"
  for i in $(seq 50); do xdotool key --window "$w" e BackSpace; sleep 0.1; done
  sleep 2
  after=$(awk '/^VmRSS/ { print $2 }' /proc/$pid/status)
  xdotool windowfocus --sync "$w" key ctrl+q
  sleep 0.5
  xdotool key Return
  wait $pid
  printf "resident memory: %d MB after start-up, %d MB after 100 edits\n" $((before / 1024)) $((after / 1024))
}
for i in $(seq "$runs"); do edits; done
