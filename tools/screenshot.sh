#!/usr/bin/env bash
# Takes docs/screenshot.png: the window on the filled 15x15 example, on a private Xvfb display,
# with the feasible words of the cursor's light listed beside the grid; and docs/clues.png: the
# same grid with the clues of docs/blocked15.clues.txt, one of them being written in the pane.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF -DZYN_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target zyn zyn-export >/dev/null
out=$(pwd)/docs/screenshot.png
mkdir -p docs
work=$(mktemp -d /tmp/zynshot.XXXXXX)
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work/run NO_AT_BRIDGE=1 LC_ALL=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
zyn=
trap 'kill $zyn $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
./build/zyn -D0x20 examples/blocked15.zyn >"$work/out" 2>/dev/null &
zyn=$!
until grep -qx "updatefeas()" "$work/out"; do sleep 0.1; done
w=$(xdotool search --onlyvisible --name "^Zyn: " | head -n 1)
# Assistance for the light at the cursor, and the cursor on the second across light.
xdotool windowfocus --sync "$w" key --delay 100 alt+a i l Down Down
sleep 1.5
import -window "$w" "$out"
echo "wrote $out"
kill $zyn
wait $zyn 2>/dev/null || true

out=$(pwd)/docs/clues.png
./build/zyn-export -c docs/blocked15.clues.txt examples/blocked15.zyn zyn "$work/clued.zyn"
./build/zyn -D0x30 "$work/clued.zyn" >"$work/out" 2>/dev/null &
zyn=$!
until grep -qx "updatefeas()" "$work/out"; do sleep 0.1; done
w=$(xdotool search --onlyvisible --name "^Zyn: " | head -n 1)
# The cursor on 23 Across, whose clue is being written.
xdotool windowfocus --sync "$w" key --delay 100 Down Down Down Down Down Down Down Down Down Down \
  Right Right Right Right Right Right Right Right Right Right F2
until grep -q "^editing clue" "$work/out"; do sleep 0.1; done
xdotool type --delay 60 "Foundation of an argument"
sleep 1
import -window "$w" "$out"
echo "wrote $out"
