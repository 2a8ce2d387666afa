#!/usr/bin/env bash
# The window's start-up and memory on a private Xvfb display: the time from starting `zyn` to the
# window's first paint and to the first assistance result (feasible words listed), and the idle
# window's resident memory, with the default word list and with a ten-word list. Then the time
# from a key press reaching the window to the end of the repaint it causes, typing letters into
# a 15x15 and a 63x63 grid (the window's own trace "key shown in").
# Usage: bash bench/bench_window.sh [runs]   (Release build in build-bench/, or BUILD=folder)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zyn >/dev/null
zyn=$(readlink -f "$build/zyn")

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
}
awk 'BEGIN { for (y = 0; y < 15; y++) { for (x = 0; x < 15; x++) printf "%d ", (x % 4 == 3 && y % 4 == 3); print "" }
             for (y = 0; y < 15; y++) printf "%15s\n", "" }' | sed '1i 15 15 0 0 0' >"$work/g15.txt"
awk 'BEGIN { for (y = 0; y < 63; y++) { for (x = 0; x < 63; x++) printf "%d ", (x % 4 == 3 && y % 4 == 3); print "" }
             for (y = 0; y < 63; y++) printf "%63s\n", "" }' | sed '1i 63 63 0 0 0' >"$work/g63.txt"
echo "key press to the end of its repaint (ten-word list):"
for i in $(seq "$runs"); do
  keys "15x15" "$work/g15.txt"
  keys "63x63" "$work/g63.txt"
done
