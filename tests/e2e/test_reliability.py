"""No palette is ever lost: the real program is killed with SIGKILL at random moments while it
rewrites a large palette, and after every kill "pal.hbk" is the old palette or the new one; and
what another writer appends while it rewrites is kept."""

import fcntl
import os
import random
import signal
import subprocess
import threading
import time
import unittest

from harness import E2ETestCase, TITLE, wait_until

RECORDS = 1_500_000
KILLS = int(os.environ.get("HUEBROOK_KILLS", "40"))


def palette():
    return b"".join(b"%06X" % ((i * 7919) % 60_000) for i in range(RECORDS))


def deduplicated(data):
    seen, out = set(), []
    for i in range(0, len(data) - len(data) % 6, 6):
        record = data[i:i + 6]
        if record not in seen:
            seen.add(record)
            out.append(record)
    return b"".join(out)


class KillDuringRewrite(E2ETestCase):
    def run_command(self, delete):
        """Starts the program on the old palette and chooses Delete (of the newest color) or
        Clean Duplicate from a swatch's menu; returns the process and when the key went out."""
        process = self.app.start()
        self.app.open_popup(15, 179)  # swatch 0, the newest record
        keys = ["Down", "Down"] if delete else ["Down", "Down", "Down"]
        self.display.key(*keys, "Return")
        return process, time.monotonic()

    def test_kill_at_random_moments(self):
        rng = random.Random(int(os.environ.get("HUEBROOK_KILL_SEED", "7")))
        old = palette()
        expected = {True: old[:-6], False: deduplicated(old)}

        # How long each command takes from the key press, so that kills land inside it.
        duration = {}
        for delete in (True, False):
            self.app.write_palette(old)
            process, sent = self.run_command(delete)
            while self.app.palette() != expected[delete]:
                time.sleep(0.002)
            duration[delete] = time.monotonic() - sent
            self.app.stop()
            self.display.wait_no_window(TITLE)

        outcomes = {"old": 0, "new": 0, "mid-rewrite": 0}
        for attempt in range(KILLS):
            delete = attempt % 2 == 0
            self.app.write_palette(old)
            process, sent = self.run_command(delete)
            kill_at = sent + rng.uniform(0.0, 1.2 * duration[delete])
            time.sleep(max(0.0, kill_at - time.monotonic()))  # a kill point, not a wait
            process.send_signal(signal.SIGKILL)
            process.wait()
            self.app.processes.remove(process)
            temporary = os.path.join(self.app.folder, "pal.ctm" if delete else "pal.tmp")
            if os.path.exists(temporary) and os.path.getmtime(temporary) >= sent - 1:
                outcomes["mid-rewrite"] += 1
            result = self.app.palette()
            self.assertIn(result, (old, expected[delete]),
                          f"attempt {attempt}: the palette was damaged")
            outcomes["old" if result == old else "new"] += 1
            self.display.wait_no_window(TITLE)
        print(f"\n{KILLS} kills ({outcomes['mid-rewrite']} while a temporary file was being "
              f"written): {outcomes['old']} left the old palette, {outcomes['new']} the new one, "
              "0 lost", flush=True)

        # Whatever temporary files the kills left behind, the next start and rewrite work.
        self.app.write_palette(old)
        self.app.start()
        self.app.open_popup(15, 179)
        self.display.key("Down", "Down", "Down", "Return")
        deadline = time.monotonic() + 30
        while self.app.palette() != deduplicated(old) and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertEqual(self.app.palette(), deduplicated(old))


class KillDuringAppend(E2ETestCase):
    def test_kill_while_picking(self):
        """Kills the program while left clicks append records as fast as they come: the records
        stored before stay, every whole record is a picked color, and a torn tail is ignored
        and overwritten by the next start's first pick."""
        rng = random.Random(11)
        self.display.run(["xsetroot", "-solid", "#123456"])
        old = b"ABCDEF" * 1000
        self.app.write_palette(old)
        for attempt in range(int(os.environ.get("HUEBROOK_APPEND_KILLS", "6"))):
            process = self.app.start()
            x0, y0 = self.app.origin()
            self.display.click(x0 + 14, y0 + 12)  # eyedropper
            self.display.wait_window("Screen Color")
            self.display.move(5, 5)
            clicks = subprocess.Popen(["xdotool", "click", "--repeat", "400", "--delay", "1",
                                       "1"], env=self.display.env())
            time.sleep(rng.uniform(0.05, 0.5))  # a random kill point, not a wait
            process.send_signal(signal.SIGKILL)
            process.wait()
            clicks.wait(timeout=30)
            self.app.processes.remove(process)
            data = self.app.palette()
            self.assertEqual(data[:len(old)], old, f"attempt {attempt}: stored records lost")
            whole = data[len(old):len(data) - len(data) % 6]
            self.assertEqual(whole, b"123456" * (len(whole) // 6))
            old = data[:len(data) - len(data) % 6]
            self.display.wait_no_window(TITLE)


class AppendDuringRewrite(E2ETestCase):
    ROUNDS = 3
    APPENDS = 3000

    def test_appends_during_clean_duplicate_are_kept(self):
        """Another writer that takes the palette's lock as every Huebrook writer does (and opens
        the file again when a rewrite renamed a new one over it) appends 3000 colors one at a
        time while Clean Duplicate rewrites a million records: none is lost, and each is kept
        once, after the cleaned palette."""
        old = palette()[:1_000_000 * 6]
        for round_ in range(self.ROUNDS):
            self.app.write_palette(old)
            self.app.start()
            added = [b"%06X" % (0x100000 + round_ * self.APPENDS + n)
                     for n in range(self.APPENDS)]

            def append():
                for record in added:
                    while True:
                        with open(self.app.palette_path, "ab") as f:
                            fcntl.flock(f, fcntl.LOCK_EX)
                            # A rewrite renamed a new file over the one waited on: that one.
                            if os.fstat(f.fileno()).st_ino != os.stat(self.app.palette_path).st_ino:
                                continue
                            f.write(record)
                            break
                    time.sleep(0.0002)

            self.app.open_popup(15, 179)
            self.display.key("Down", "Down", "Down", "Return")
            writer = threading.Thread(target=append)
            writer.start()
            writer.join()
            expected = deduplicated(old) + b"".join(added)
            wait_until(lambda: self.app.palette() == expected, timeout=30,
                       what=f"round {round_}: the cleaned palette with every append")
            self.app.stop()
            self.display.wait_no_window(TITLE)


if __name__ == "__main__":
    unittest.main()
