#!/usr/bin/env bash
# Runs every benchmark and prints its table: the core figures, the window offscreen, and picking
# under Xvfb at 1920x1080 and 3840x2160.
set -euo pipefail
build=${1:-build}
bin="$build/bin"

echo "== palette file and color models"
"$bin/bench_core" --benchmark_counters_tabular=true

echo "== main window (offscreen)"
QT_QPA_PLATFORM=offscreen "$bin/bench_window" --benchmark_filter='^BM_(Current|Swatch|Slider|Change|Show)'

for size in 1920x1080 3840x2160; do
    echo "== picking under Xvfb at $size"
    xvfb-run -a -s "-screen 0 ${size}x24 -nolisten tcp -noreset" \
        env QT_QPA_PLATFORM=xcb "$bin/bench_window" --benchmark_filter='^BM_(Picking|Pointer)' \
        --benchmark_counters_tabular=true
done
