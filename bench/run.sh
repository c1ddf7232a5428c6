#!/usr/bin/env bash
# Runs every benchmark and prints its table: the core figures, the window offscreen, and picking
# under Xvfb at 1920x1080 and 3840x2160.
set -euo pipefail
build=${1:-build}
bin="$build/bin"

echo "== palette file and color models"
"$bin/bench_core" --benchmark_counters_tabular=true

echo "== --convert of 100,000 colors on standard input, without a display"
colors=$(mktemp)
python3 -c "import random; random.seed(1); print('\\n'.join('%06X' % random.randrange(1 << 24) for _ in range(100000)))" >"$colors"
for format in hex oklch lab display-p3 name; do
    TIMEFORMAT="$format: %R s"
    time env -u DISPLAY -u WAYLAND_DISPLAY "$bin/huebrook" --convert --format "$format" \
        <"$colors" >/dev/null
done
rm -f "$colors"

echo "== main window (offscreen)"
QT_QPA_PLATFORM=offscreen "$bin/bench_window" --benchmark_filter='^BM_(Current|Swatch|Slider|Change|Show)'

for size in 1920x1080 3840x2160; do
    echo "== picking under Xvfb at $size"
    xvfb-run -a -s "-screen 0 ${size}x24 -nolisten tcp -noreset" \
        env QT_QPA_PLATFORM=xcb "$bin/bench_window" --benchmark_filter='^BM_(Picking|Pointer|Loupe)' \
        --benchmark_counters_tabular=true
done

echo "== start-up against a bare Qt window, without and with text, 15 runs each, alternating"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$bin/huebrook" "$bin/bench_floor" "$bin/bench_floor_text" "$work/"
mkdir -m 700 "$work/runtime"
# On a session bus, as on every desktop: without one, each start would launch a bus of its own.
for floor in bench_floor bench_floor_text; do
    HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
        dbus-run-session -- xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" \
        "$bin/bench_startup" 15 "$work/$floor" "$work/huebrook"
done

echo "== picking under headless sway, KWin and GNOME Shell, 10 runs each (needs root for the rigs)"
python3 "$(dirname "$0")/wayland.py" "$bin/huebrook" 10
