#!/usr/bin/env bash
# Takes docs/screenshot.png: the window on the filled 15x15 example, on a private Xvfb display,
# with the feasible words of the cursor's light listed beside the grid; and docs/clues.png: the
# same grid with the clues of docs/blocked15.clues.txt, one of them being written in the pane;
# docs/blockgen.png: the Generate blocks dialog; docs/lighttint.png: the grid of the torus
# example, whose cursor's light runs over the right edge into the left, tinted.
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
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
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
kill $zyn
wait $zyn 2>/dev/null || true

out=$(pwd)/docs/blockgen.png
./build/zyn -D0x30 -d build/share/zyn/words-british.txt examples/blank15.txt >"$work/out" 2>/dev/null &
zyn=$!
until grep -qx "updatefeas()" "$work/out"; do sleep 0.1; done
w=$(xdotool search --onlyvisible --name "^Zyn: " | head -n 1)
xdotool windowfocus --sync "$w" key --delay 100 alt+a g
until d=$(xdotool search --onlyvisible --name "^Generate blocks$" | head -n 1) && [ -n "$d" ]; do sleep 0.1; done
sleep 1
import -window "$d" "$out"
echo "wrote $out"
kill $zyn
wait $zyn 2>/dev/null || true

out=$(pwd)/docs/lighttint.png
./build/zyn -D0x30 examples/torus.zyn >"$work/out" 2>/dev/null &
zyn=$!
until grep -qx "updatefeas()" "$work/out"; do sleep 0.1; done
w=$(xdotool search --onlyvisible --name "^Zyn: " | head -n 1)
sleep 1
# The grid alone: the drawing area starts 12 pixels in and 39 down the window; the torus is
# eight squares of 36 pixels and a margin.
import -window "$w" -crop 300x300+12+39 +repage "$out"
echo "wrote $out"
