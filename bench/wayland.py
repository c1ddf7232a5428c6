#!/usr/bin/env python3
"""Picking under headless sway, KDE Plasma (KWin) and GNOME Shell: from the eyedropper's click to
the frozen screen, beside the bare capture's latency in the same session (grim's screencopy on
sway, KWin's ScreenShot2 on KDE, the portal's screenshot on GNOME).
Usage: wayland.py HUEBROOK_EXECUTABLE [RUNS]. Needs root, like the tests' rigs."""
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
os.environ["HUEBROOK_EXE"] = os.path.abspath(sys.argv[1])
import test_wayland  # noqa: E402  (reads HUEBROOK_EXE)

runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
for desktop in ("sway", "kde", "gnome"):
    reason = test_wayland.needs_rig(desktop)
    if reason:
        print("%s: skipped, %s" % (desktop, reason))
        continue
    result = test_wayland.run_rig(desktop, "bench", str(runs), timeout=300)
    start, bare = result["start_ms"], result["bare_ms"]
    print("%-5s click to frozen screen: median %.0f ms (%.0f-%.0f); bare %s: "
          "median %.0f ms (%.0f-%.0f); ratio %.2f" % (
              desktop, statistics.median(start), min(start), max(start), result["bare"],
              statistics.median(bare), min(bare), max(bare),
              statistics.median(start) / statistics.median(bare)))
