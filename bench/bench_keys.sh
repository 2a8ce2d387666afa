#!/usr/bin/env bash
# What one key costs the window, by kind of key: a block (","), a bar (Return), a merge
# (Ctrl+M), a letter, Undo (Ctrl+Z) and Redo (Ctrl+Y) of the letters, and the Apply of a dialog
# (Default cell properties, Alt+A), each pressed six (Apply three) times into a 15x15 and a 63x63
# grid on a private Xvfb display. For each key the window's trace "key repainted in" (debug bit 0x10) gives the time
# from the key to the end of the grid's next repaint, the fills it started, and the repaints it
# asked for of the whole area and of rectangles; per kind the median of each.
# Usage: bash bench/bench_keys.sh [runs]   (Release build in build-bench/, or BUILD=folder;
# OTHER=path/to/zyn runs that program too, run by run just before this one)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
build=${BUILD:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DZYN_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zyn >/dev/null
progs=("$(readlink -f "$build/zyn")") tags=(this)
if [ -n "${OTHER:-}" ]; then progs=("$(readlink -f "$OTHER")" "${progs[@]}") tags=(other this); fi

export LC_ALL=C.UTF-8
work=$(mktemp -d /tmp/zynkeybench.XXXXXX)
export HOME=$work XDG_CONFIG_HOME=$work/.config XDG_RUNTIME_DIR=$work/run NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=:$(cat "$work/display")
printf '%s\n' apple bread crane dough eagle fable grape heron ivory jelly >"$work/ten.txt"
for n in 15 63; do
  awk -v n=$n 'BEGIN { for (y = 0; y < n; y++) { for (x = 0; x < n; x++) printf "%d ", (x % 4 == 3 && y % 4 == 3); print "" }
                       for (y = 0; y < n; y++) printf "%" n "s\n", "" }' | sed "1i $n $n 0 0 0" >"$work/g$n.txt"
done

count() { grep -c "$1" "$work/out" || true; }
# Wait until the trace has more than n lines matching $1, at most 5 s.
waitfor() {
  local i
  for i in $(seq 500); do
    [ "$(count "$1")" -gt "$2" ] && return 0
    sleep 0.01
  done
  return 1
}
# press KIND KEYS...: press the keys (the last one is measured) and note its trace line.
press() {
  local kind=$1 n
  shift
  n=$(count "^key repainted in")
  xdotool key "$@"
  if waitfor "^key repainted in" "$n"; then
    echo "$kind $(grep "^key repainted in" "$work/out" | tail -n 1)" >>"$work/keys"
  fi
  # Let the assistance the key restarted end before the next key.
  sleep 0.3
}
# session PROG DOC: one window on DOC, every kind of key.
session() {
  local pid w i n
  : >"$work/out"
  "$1" -D0x10 -d "$work/ten.txt" "$2" >>"$work/out" 2>/dev/null &
  pid=$!
  until w=$(xdotool search --onlyvisible --name "^Zyn: " 2>/dev/null | head -n 1) && [ -n "$w" ]; do sleep 0.05; done
  waitfor "^syncselmenu" 0
  xdotool windowfocus --sync "$w"
  sleep 0.5
  # Blocks from the first square on, bars and merges after them, then letters, which Undo takes
  # back and Redo puts in again.
  for i in 1 2 3 4 5 6; do press block comma; done
  for i in 1 2 3 4 5 6; do press bar Return; done
  xdotool key Home
  sleep 0.3
  for i in 1 2 3 4 5 6; do press merge ctrl+m; done
  xdotool key Down
  sleep 0.3
  for i in 1 2 3 4 5 6; do press letter a; done
  for i in 1 2 3 4 5 6; do press ctrl+z ctrl+z; done
  for i in 1 2 3 4 5 6; do press ctrl+y ctrl+y; done
  for i in 1 2 3; do
    n=$(count "^dialog Default cell properties shown")
    xdotool key alt+p c
    waitfor "^dialog Default cell properties shown" "$n"
    xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "^Default cell properties\$" | head -n 1)"
    sleep 0.3
    press apply alt+a
    xdotool windowfocus --sync "$w"
  done
  xdotool key ctrl+q
  sleep 0.5
  # The edits made changes: the question is answered with Proceed.
  xdotool key Return
  wait $pid
}
printf '%-8s %-6s %-8s %7s %7s %7s %9s\n' grid key program starts whole rects "ms"
for n in 15 63; do
  for t in "${tags[@]}"; do : >"$work/keys.$n.$t"; done
  for i in $(seq "$runs"); do
    for j in "${!progs[@]}"; do
      : >"$work/keys"
      session "${progs[$j]}" "$work/g$n.txt"
      cat "$work/keys" >>"$work/keys.$n.${tags[$j]}"
    done
  done
  for k in letter block bar merge ctrl+z ctrl+y apply; do
    for tag in "${tags[@]}"; do
      # "KIND key repainted in T ms: F filler starts, W whole-area invalidations, R rectangles"
      awk -v k=$k -v g="${n}x$n" -v tag="$tag" '$1 == k { t[n] = $5; f[n] = $7; w[n] = $10; r[n++] = $13 }
        function med(a, m, i, j, x) { for (i = 0; i < m; i++) for (j = i + 1; j < m; j++) if (a[j] < a[i]) { x = a[i]; a[i] = a[j]; a[j] = x }
                                      return a[int((m - 1) / 2)] }
        END { if (n) printf "%-8s %-6s %-8s %7d %7d %7d %9.2f\n", g, k, tag, med(f, n), med(w, n), med(r, n), med(t, n) }' \
        "$work/keys.$n.$tag"
    done
  done
done
