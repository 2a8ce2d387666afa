#!/usr/bin/env bash
# The hard-grid benchmark: every grid of bench/hard (made by bench/gengrids.py) filled by `zyn -b`
# from the lower-case words of the large British list with a 10 s cap.
# Usage: bash bench/bench_hard.sh [word list] [cap in seconds] [grid names ...]
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash bench/bench_batch.sh bench/hard "${1:-/usr/share/dict/british-english-huge}" "${2:-10}" "${@:3}"
