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

echo "== --import of a 1 GiB zip bomb (.kpl) and of 100,000 colors in each readable format, without a display"
work=$(mktemp -d)
cp "$bin/huebrook" "$work/"
python3 - "$work" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1] + "/bomb.kpl", "w", compression=zipfile.ZIP_DEFLATED) as z:
    z.writestr("mimetype", "krita/x-colorset", compress_type=zipfile.ZIP_STORED)
    with z.open("colorset.xml", "w", force_zip64=True) as f:
        f.write(b'<?xml version="1.0"?><ColorSet version="2.0">')
        for _ in range(1024):
            f.write(b" " * (1 << 20))
with open(sys.argv[1] + "/pal.hbk", "wb") as f:
    f.write(b"".join(b"%06X" % ((i * 2654435761) & 0xFFFFFF) for i in range(100000)))
PY
( cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/time -f "bomb refused: %e s, %M KiB peak" ./huebrook --import bomb.kpl 2>&1 | tail -1 ) || true
for extension in gpl ase aco kpl soc css; do
    [ "$extension" = aco ] && continue # at most 65,535 colors
    TIMEFORMAT="export $extension: %R s"
    ( cd "$work" && time env -u DISPLAY -u WAYLAND_DISPLAY ./huebrook --export "big.$extension" )
done
cp "$work/pal.hbk" "$work/pal.orig"
for extension in gpl ase kpl soc; do
    cp "$work/pal.orig" "$work/pal.hbk"
    TIMEFORMAT="import $extension: %R s"
    ( cd "$work" && time env -u DISPLAY -u WAYLAND_DISPLAY ./huebrook --import "big.$extension" )
done
rm -rf "$work"

echo "== the main window's event loop during Clean Duplicate of 10 million records and its undo"
"$bin/bench_palette_gaps" 10000000

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
