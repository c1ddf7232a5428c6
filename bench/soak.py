"""Soak run through the real program under Xvfb: 10,000 picks, then 1,000 Delete and Clean
Duplicate commands, watching resident memory and open file descriptors, and checking every
record. Prints a table; run with `python3 bench/soak.py build/bin/huebrook`."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
os.environ.setdefault("HUEBROOK_EXE", os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else "")

import harness  # noqa: E402
from harness import App, Display, TITLE, wait_until  # noqa: E402

PICKS_PER_BATCH = 1000
BATCHES = int(os.environ.get("SOAK_BATCHES", "10"))
COMMANDS = int(os.environ.get("SOAK_COMMANDS", "1000"))


def pattern(x, y):
    return (x % 256, y % 256, (x // 256) * 16 + y // 256)


def sample(pid):
    rss = 0
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                rss = int(line.split()[1])
    return rss, len(os.listdir(f"/proc/{pid}/fd"))


def main():
    harness.EXECUTABLE = os.environ["HUEBROOK_EXE"]
    display = Display(1280, 1024)
    app = App(display)
    try:
        display.set_root_image(1280, 1024, pattern)
        process = app.start()
        samples = [("start", *sample(process.pid))]
        expected = b""
        x0, y0 = app.origin()
        display.click(x0 + 14, y0 + 12)  # eyedropper
        display.wait_window("Screen Color")
        for batch in range(BATCHES):
            x, y = 900 + batch * 7, 100 + batch * 13
            display.move(x, y)
            display.run(["xdotool", "click", "--repeat", str(PICKS_PER_BATCH), "--delay", "2",
                         "1"], timeout=120)
            expected += (b"%02X%02X%02X" % pattern(x, y)) * PICKS_PER_BATCH
            wait_until(lambda: len(app.palette()) == len(expected), timeout=60,
                       what="the picks to land")
            samples.append((f"{(batch + 1) * PICKS_PER_BATCH} picks", *sample(process.pid)))
        display.click(300, 300, 3)
        display.wait_window(TITLE)
        assert app.palette() == expected, "a picked record is wrong"

        # Delete the newest record and clean duplicates, alternately, checking each result.
        # Seed distinct colors so that each Delete removes something Clean Duplicate keeps.
        app.stop()
        display.wait_no_window(TITLE)
        model = [b"%06X" % i for i in range(COMMANDS)] + [b"%06X" % (i % 50) for i in range(50)]
        app.write_palette(b"".join(model))
        process = app.start()
        x0, y0 = app.origin()
        start_commands = sample(process.pid)
        for command in range(COMMANDS):
            before = app.palette()
            popup_before = set(display.windows(""))
            display.click(x0 + 15, y0 + 179, 3)
            wait_until(lambda: set(display.windows("")) - popup_before, what="the popup")
            if command % 2 == 0:
                display.key("Down", "Down", "Return")
                model.pop()
            else:
                display.key("Down", "Down", "Down", "Return")
                seen = set()
                model = [r for r in model if not (r in seen or seen.add(r))]
            want = b"".join(model)
            wait_until(lambda: app.palette() == want and set(display.windows("")) <= popup_before,
                       timeout=20, what=f"command {command}")
            assert before != want or command % 2
        samples.append((f"{COMMANDS} commands (from {start_commands[0]} KiB, "
                        f"{start_commands[1]} fds)", *sample(process.pid)))
        print(f"{'after':<44} {'RSS KiB':>10} {'fds':>5}")
        for name, rss, fds in samples:
            print(f"{name:<44} {rss:>10} {fds:>5}")
        print("every record checked: OK")
    finally:
        app.cleanup()
        display.stop()


if __name__ == "__main__":
    main()
