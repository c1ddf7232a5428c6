"""Picking from the command line, as a keyboard shortcut runs it: --pick and --pick --once, with
and without a Huebrook already running, and bad input."""

import os
import random
import signal
import socket
import subprocess
import threading
import unittest

import judging_reference as reference
from harness import E2ETestCase, TITLE, box_mean, hex_record, pattern, wait_until

PREVIEW = "Screen Color"


def running(pid):
    """Whether the process is there and not a zombie waiting for its reaper."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def end_pid(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass


class CommandLine(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.display.set_root_image(*self.screen, pattern)
        # Where the shortcut is pressed: the first pick is this pixel, without a move.
        self.display.move(300, 200)

    def click_in_place(self, button=1):
        self.display.wait_window(PREVIEW)
        self.display.run(["xdotool", "click", str(button)])

    def test_pick_starts_picking_and_the_main_window_follows(self):
        self.app.start(wait=False, args=["--pick"])
        self.click_in_place()
        wait_until(lambda: self.app.palette() == hex_record(pattern(300, 200)),
                   what="the pixel under the pointer in the palette")
        self.assertEqual(self.display.windows(TITLE), [])
        self.display.click(400, 400, button=3)
        self.display.wait_window(TITLE)

    def test_pick_hands_over_to_the_running_huebrook(self):
        first = self.app.start()
        second = self.app.start(wait=False, args=["--pick"])
        self.assertEqual(second.wait(timeout=10), 0)
        self.click_in_place()
        self.display.wait_no_window(TITLE)
        self.display.key("Escape")
        self.display.wait_window(TITLE)
        self.assertEqual(self.app.palette(), hex_record(pattern(300, 200)))
        self.assertIsNone(first.poll())

    def clipboard_server(self):
        """The PID of the Huebrook that holds the instance lock, ended when the test ends."""
        with open(os.path.join(self.app.env["XDG_RUNTIME_DIR"], "huebrook.lock")) as f:
            pid = int(f.readline())
        self.addCleanup(end_pid, pid)
        return pid

    def test_pick_once_copy_leaves_the_pick_on_the_clipboard(self):
        """--copy returns with the text as soon as the pick is made; the text stays pasteable
        after the command ended, and once another program takes the clipboard nothing the
        command started is left running."""
        expected = "rgb(%d, %d, %d)" % pattern(300, 200)
        once = self.app.start(wait=False, capture=True,
                              args=["--pick", "--once", "--copy", "--format", "css-rgb"])
        self.click_in_place()
        out, err = once.communicate(timeout=10)
        self.assertEqual((once.returncode, out, err), (0, expected + "\n", ""))
        server = self.clipboard_server()
        self.assertNotEqual(server, once.pid)
        self.assertEqual(self.display.clipboard(), expected)
        self.display.set_clipboard("theirs")
        wait_until(lambda: not running(server), what="the Huebrook that held the clipboard to end")

    def test_pick_once_copy_handed_over_leaves_the_running_one_holding_it(self):
        first = self.app.start()
        expected = "rgb(%d, %d, %d)" % pattern(300, 200)
        once = self.app.start(wait=False, capture=True,
                              args=["--pick", "--once", "--copy", "--format", "css-rgb"])
        self.click_in_place()
        out, _ = once.communicate(timeout=10)
        self.assertEqual((once.returncode, out), (0, expected + "\n"))
        self.assertEqual(self.display.clipboard(), expected)
        self.display.set_clipboard("theirs")
        self.assertIsNone(first.poll())  # the window's Huebrook goes on

    def test_peers_that_flood_the_socket_stall_nothing(self):
        """Peers that send a request and then megabytes more, or megabytes without a line, are
        cut off; meanwhile a later start's import is answered and the memory stays put."""
        first = self.app.start()
        path = os.path.join(self.app.env["XDG_RUNTIME_DIR"], "huebrook.socket")

        def resident():
            with open(f"/proc/{first.pid}/status") as f:
                return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))

        before = resident()
        cut_off = []

        def flood(opening):
            peer = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            peer.connect(path)
            try:
                peer.sendall(opening)
                for _ in range(64):
                    peer.sendall(b"x" * (1 << 20))
            except OSError:
                cut_off.append(opening)
            finally:
                peer.close()

        peers = [threading.Thread(target=flood, args=(opening,))
                 for opening in (b"show\n", b"", b"pick-once hex\n", b"")]
        for peer in peers:
            peer.start()
        source = os.path.join(self.app.root, "in.gpl")
        with open(source, "w") as f:
            f.write("GIMP Palette\n1 2 3\n")
        later = self.app.start(wait=False, args=["--import", source])
        self.assertEqual(later.wait(timeout=10), 0)
        for peer in peers:
            peer.join(timeout=30)
        self.assertEqual(len(cut_off), len(peers))
        self.assertEqual(self.app.palette(), b"010203")
        self.assertLess(resident() - before, 32 * 1024, "KiB more resident after the flood")
        self.assertIsNone(first.poll())

    def test_pick_once_prints_the_pick_alone_and_from_the_running_one(self):
        for running in (False, True):
            with self.subTest(running=running):
                if running:
                    self.app.start()
                once = self.app.start(wait=False, capture=True,
                                      args=["--pick", "--once", "--format", "css-rgb"])
                self.click_in_place()
                out, err = once.communicate(timeout=10)
                self.assertEqual((once.returncode, out, err), (0, "rgb(%d, %d, %d)\n" % pattern(300, 200), ""))
                self.display.wait_no_window(PREVIEW)
                # The running one returns to what it showed; alone, no main window ever shows.
                wait_until(lambda: len(self.display.windows(TITLE)) == int(running),
                           what="the main window as before")
        self.assertEqual(self.app.palette(), hex_record(pattern(300, 200)) * 2)

    def test_pick_once_ended_without_a_pick_prints_nothing(self):
        once = self.app.start(wait=False, capture=True, args=["--pick", "--once"])
        self.click_in_place(button=3)
        out, err = once.communicate(timeout=10)
        self.assertEqual((once.returncode, out, err), (1, "", ""))
        self.assertEqual(self.app.palette(), b"")

    def test_bad_input_exits_2_with_one_line(self):
        for args, named in [(["--bogus"], "bogus"), (["--format", "hex"], "--format"),
                            (["--pick", "--once", "--format", "nope"], "nope"),
                            (["--pick", "--once", "--format", "{q}"], "{q}"),
                            (["--pick", "--once", "--format", "{r"], "brace")]:
            with self.subTest(args=args):
                bad = self.app.start(wait=False, capture=True, args=args)
                out, err = bad.communicate(timeout=10)
                self.assertEqual((bad.returncode, out, err.count("\n")), (2, "", 1))
                self.assertIn(named, err)
        self.assertEqual(self.display.windows(TITLE), [])
        self.assertFalse(os.path.exists(self.app.palette_path))


def speckles(x, y):
    """A picture whose every box has its own mean: no pixel is the mean of its neighbours."""
    return ((x * 37 + y * 11) % 256, (x * x + 3 * y) % 256, (x * y * 5 + 17) % 256)


class SamplePicking(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.display.set_root_image(*self.screen, speckles)
        self.display.move(300, 200)

    def once(self, *args):
        once = self.app.start(wait=False, capture=True, args=["--pick", "--once", *args])
        self.display.wait_window(PREVIEW)
        self.display.run(["xdotool", "click", "1"])
        out, err = once.communicate(timeout=10)
        self.assertEqual((once.returncode, err), (0, ""))
        return out.strip()

    def test_sample_on_the_command_line_leaves_the_kept_size(self):
        hex_of = lambda rgb: "#%02X%02X%02X" % rgb
        self.assertEqual(self.once("--sample", "5"), hex_of(box_mean(speckles, 300, 200, 5, *self.screen)))
        self.assertEqual(self.once(), hex_of(speckles(300, 200)))
        self.display.move(0, 1023)  # at the screen's edge the box is cut
        self.assertEqual(self.once("--sample", "31"), hex_of(box_mean(speckles, 0, 1023, 31, *self.screen)))

    def test_keys_and_shift_wheel_change_the_size_the_preview_shows_and_it_is_kept(self):
        self.app.start(wait=False, args=["--pick"])
        preview = self.display.wait_window(PREVIEW)
        # From 1: four up to 9, one down to 7, two notches down to 3, one up to 5.
        self.display.key(*["bracketright"] * 4, "bracketleft")
        self.display.run(["xdotool", "keydown", "shift", "click", "5", "click", "5", "click", "4",
                          "keyup", "shift"])
        x, y, w, h = self.display.geometry(preview)
        wanted = box_mean(speckles, 300, 200, 5, *self.screen)
        wait_until(lambda: self.display.pixel(x + w // 2, y + h // 3) == wanted,
                   what="the preview to show the 5x5 mean")
        self.display.run(["xdotool", "click", "1"])
        wait_until(lambda: self.app.palette() == hex_record(wanted), what="the mean in the palette")
        self.display.key("Escape")
        self.display.wait_window(TITLE)
        self.app.stop()
        self.assertEqual(self.once(), "#%02X%02X%02X" % wanted)


class CommandLineWithoutCapture(E2ETestCase):
    # The portal forced, and no session bus to find it on.
    extra_env = {"HUEBROOK_CAPTURE": "portal", "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent"}

    def test_pick_once_that_cannot_capture_answers_at_once(self):
        self.app.write_palette(b"0C0B0A")
        for running in (False, True):
            with self.subTest(running=running):
                if running:
                    first = self.app.start()
                once = self.app.start(wait=False, capture=True, args=["--pick", "--once"])
                out, err = once.communicate(timeout=10)
                self.assertEqual((once.returncode, out, err.count("\n")), (1, "", 1), err)
                self.assertIn("Screenshot", err)
                # Alone, no main window ever shows; the running one shows as before, and runs on.
                self.assertEqual(len(self.display.windows(TITLE)), int(running))
                if running:
                    self.assertIsNone(first.poll())
        self.assertEqual(self.app.palette(), b"0C0B0A")

    def test_convert_and_contrast_need_no_display(self):
        env = {k: v for k, v in self.app.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        run = lambda *args, stdin="": subprocess.run(
            [self.app.executable, *args], env=env, cwd=self.app.root, input=stdin,
            capture_output=True, text=True, timeout=10)
        converted = run("--convert", "--format", "oklch", stdin=" 7654cd\n\n#FF0000\n")
        self.assertEqual((converted.returncode, converted.stdout, converted.stderr),
                         (0, "oklch(54.43% 0.17915 292.37)\noklch(62.8% 0.25768 29.23)\n", ""))
        contrast = run("--contrast", "767676", "FFFFFF")
        self.assertEqual((contrast.returncode, contrast.stdout), (0, "4.54:1 AA-large AA AAA-large\n"))
        self.assertFalse(os.path.exists(self.app.palette_path))

    def test_judging_commands_agree_with_a_reference(self):
        """--apca, --convert --simulate and --harmony without a display, for colors across the
        cube, each figure as an independent reference computes it, to the last 8-bit step."""
        env = {k: v for k, v in self.app.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        run = lambda *args, stdin="": subprocess.run(
            [self.app.executable, *args], env=env, cwd=self.app.root, input=stdin,
            capture_output=True, text=True, timeout=30)
        rng = random.Random(39)
        colors = ["%06X" % rng.randrange(1 << 24) for _ in range(300)] + [
            "FF0000", "00FF00", "0000FF", "FFFF00", "808080", "000000", "FFFFFF", "FF0080"]
        for kind, tenth, argument in (("deutan", 10, "deuteranopia"),
                                      ("tritan", 10, "tritanopia"),
                                      ("protan", 5, "protanomaly:50"),
                                      ("achromatopsia", 10, "achromatopsia")):
            seen = run("--convert", "--simulate", argument, stdin="\n".join(colors))
            self.assertEqual(seen.returncode, 0, seen.stderr)
            self.assertEqual(seen.stdout.split(),
                             [reference.simulate(c, kind, tenth) for c in colors], argument)
        for text, background in zip(colors[:100:2], colors[1:100:2]):
            said = run("--apca", text, background)
            self.assertEqual(said.stdout.strip(),
                             reference.apca_text(reference.apca(text, background)))
        for i, color in enumerate(colors[:60]):
            kind = list(reference.OFFSETS)[i % len(reference.OFFSETS)]
            said = run("--harmony", kind, color)
            self.assertEqual(said.stdout.split(), reference.harmony(kind, color), f"{kind} {color}")
        bad = run("--harmony", "pentadic", "FF0000")
        self.assertEqual((bad.returncode, bad.stdout, bad.stderr.count("\n")), (2, "", 1))

    def test_pick_once_without_a_display_says_so_in_one_line(self):
        env = {k: v for k, v in self.app.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        run = subprocess.run([self.app.executable, "--pick", "--once"], env=env, cwd=self.app.root,
                             capture_output=True, text=True, timeout=10)
        self.assertEqual((run.returncode, run.stdout, run.stderr.count("\n")), (1, "", 1))
        self.assertIn("display", run.stderr)


if __name__ == "__main__":
    unittest.main()
