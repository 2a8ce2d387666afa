#!/usr/bin/env bash
# The window's start-up and memory on a private Xvfb display: the time from starting `zyn` to the
# window's first paint and to the first assistance result (feasible words listed), and the idle
# window's resident memory, with the default word list and with a ten-word list.
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
