"""The shortcut from anywhere: --shortcut on plain X11, where the running Huebrook grabs the key in
every lock state, and on GNOME, where a custom keybinding is written through dconf on a private
session bus with the user's own entries kept."""

import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from harness import E2ETestCase, end_processes, load_xlib, pattern, wait_until

PREVIEW = "Screen Color"
MEDIA_KEYS = "org.gnome.settings-daemon.plugins.media-keys"
ENTRY = MEDIA_KEYS + ".custom-keybinding"
OURS = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/huebrook/"
THEIRS = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/"


class X11(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.display.set_root_image(*self.screen, pattern)
        self.display.move(300, 200)

    def shortcut(self, *args):
        return subprocess.run([self.app.executable, "--shortcut", *args], env=self.app.env,
                              capture_output=True, text=True, timeout=10)

    def press_and_pick(self, expected):
        self.display.key("super+shift+c")
        self.display.wait_window(PREVIEW)
        self.display.run(["xdotool", "click", "1"])
        wait_until(lambda: self.display.clipboard() == expected, what="the pick on the clipboard")

    def test_running_huebrook_grabs_the_key_in_every_lock_state_until_none(self):
        self.app.start()
        done = self.shortcut("Meta+Shift+C", "--format", "css-rgb")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("while Huebrook runs", done.stdout)
        expected = "rgb(%d, %d, %d)" % pattern(300, 200)
        self.press_and_pick(expected)
        self.display.set_clipboard("theirs")
        self.display.key("Num_Lock")
        self.press_and_pick(expected)
        self.display.key("Num_Lock")
        self.assertEqual(self.shortcut("none").returncode, 0)
        self.display.key("super+shift+c")
        time.sleep(1)
        self.assertEqual(self.display.windows(PREVIEW), [])

    def test_a_later_start_grabs_the_kept_key_and_a_held_key_is_refused(self):
        done = self.shortcut("Ctrl+Alt+K")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("start Huebrook", done.stdout)
        self.app.start()
        self.display.key("ctrl+alt+k")
        self.display.wait_window(PREVIEW)
        self.display.key("Escape")
        self.display.wait_no_window(PREVIEW)
        # Another client holds Meta+Shift+C: refused with what to do, and Ctrl+Alt+K stays.
        xlib = load_xlib()
        xlib.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        xlib.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong,
                                  ctypes.c_int, ctypes.c_int, ctypes.c_int]
        other = xlib.XOpenDisplay(self.display.name.encode())
        self.addCleanup(xlib.XCloseDisplay, other)
        code = xlib.XKeysymToKeycode(other, ord("c"))
        xlib.XGrabKey(other, code, 64 | 1, xlib.XDefaultRootWindow(other), 1, 1, 1)
        xlib.XSync(other, 0)
        refused = self.shortcut("Meta+Shift+C")
        self.assertEqual(refused.returncode, 1)
        self.assertIn("another program holds that key", refused.stderr)
        self.display.key("ctrl+alt+k")
        self.display.wait_window(PREVIEW)
        self.display.key("Escape")

    def test_bad_keys_exit_2_with_one_line(self):
        for keys in ["Super+C", "C", "Meta+C, Meta+D"]:
            bad = self.shortcut(keys)
            self.assertEqual((bad.returncode, bad.stdout, bad.stderr.count("\n")), (2, "", 1), keys)


class Gnome(unittest.TestCase):
    """No display: GNOME's keybindings are settings, written through dconf's service."""

    def setUp(self):
        for tool in ["dbus-daemon", "gsettings"]:
            if not shutil.which(tool):
                self.skipTest(f"{tool} is not installed")
        if not os.environ.get("HUEBROOK_EXE"):
            self.skipTest("HUEBROOK_EXE is not set")
        self.root = tempfile.mkdtemp(prefix="huebrook-gnome-")
        self.addCleanup(shutil.rmtree, self.root, True)
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.executable = os.path.join(self.root, "huebrook")
        shutil.copy2(os.environ["HUEBROOK_EXE"], self.executable)
        # dconf's service inherits the bus daemon's environment, so it writes under root too.
        self.env = {"PATH": os.environ["PATH"], "HOME": self.root,
                    "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
                    "XDG_RUNTIME_DIR": runtime, "XDG_CURRENT_DESKTOP": "GNOME"}
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                               env=self.env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(bus.stdout.close)
        self.addCleanup(end_processes, [bus])
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

    def gsettings(self, *args):
        return subprocess.run(["gsettings", *args], env=self.env, capture_output=True, text=True,
                              check=True, timeout=10).stdout.strip()

    def shortcut(self, *args, env=None, timeout=10):
        return subprocess.run([self.executable, "--shortcut", *args], env=env or self.env,
                              capture_output=True, text=True, timeout=timeout)

    def test_our_entry_is_added_and_taken_away_and_theirs_is_kept(self):
        self.gsettings("set", MEDIA_KEYS, "custom-keybindings", f"['{THEIRS}']")
        self.gsettings("set", f"{ENTRY}:{THEIRS}", "binding", "<Super>t")
        self.gsettings("set", f"{ENTRY}:{THEIRS}", "command", "xterm")
        done = self.shortcut("Meta+Shift+C", "--format", "{r} {g} {b}")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("Huebrook: pick a color", done.stdout)
        self.assertEqual(self.gsettings("get", MEDIA_KEYS, "custom-keybindings"),
                         f"['{THEIRS}', '{OURS}']")
        self.assertEqual(self.gsettings("get", f"{ENTRY}:{OURS}", "binding"), "'<Super><Shift>c'")
        self.assertEqual(self.gsettings("get", f"{ENTRY}:{OURS}", "command"),
                         f"\"{self.executable} --pick --once --copy --format '{{r}} {{g}} {{b}}'\"")
        self.assertEqual(self.gsettings("get", f"{ENTRY}:{OURS}", "name"),
                         "'Huebrook: pick a color'")
        # Their key is refused, and nothing changes.
        taken = self.shortcut("Meta+T")
        self.assertEqual(taken.returncode, 1)
        self.assertIn("taken by the custom shortcut", taken.stderr)
        self.assertEqual(self.gsettings("get", f"{ENTRY}:{OURS}", "binding"), "'<Super><Shift>c'")
        gone = self.shortcut("none")
        self.assertEqual(gone.returncode, 0, gone.stderr)
        self.assertEqual(self.gsettings("get", MEDIA_KEYS, "custom-keybindings"), f"['{THEIRS}']")
        self.assertEqual(self.gsettings("get", f"{ENTRY}:{OURS}", "binding"), "''")
        self.assertEqual(self.gsettings("get", f"{ENTRY}:{THEIRS}", "binding"), "'<Super>t'")

    def test_a_stalled_dconf_holds_the_command_ten_seconds_at_most(self):
        self.gsettings("set", MEDIA_KEYS, "custom-keybindings", "[]")
        pid = int(subprocess.run(
            ["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
             "/org/freedesktop/DBus", "--method",
             "org.freedesktop.DBus.GetConnectionUnixProcessID", "ca.desrt.dconf"],
            env=self.env, capture_output=True, text=True, check=True).stdout.split()[1].rstrip(",)"))
        os.kill(pid, signal.SIGSTOP)
        self.addCleanup(os.kill, pid, signal.SIGCONT)
        started = time.monotonic()
        stalled = self.shortcut("Meta+Shift+C", timeout=30)
        self.assertLess(time.monotonic() - started, 15)
        self.assertEqual(stalled.returncode, 1)
        self.assertIn("GNOME did not answer within 10 seconds", stalled.stderr)

    def test_without_a_bus_it_says_what_to_do_by_hand(self):
        env = dict(self.env, DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(self.root, "no"))
        refused = self.shortcut("Meta+Shift+C", env=env)
        self.assertEqual(refused.returncode, 1)
        self.assertIn("Set it up by hand in Settings", refused.stderr)
        self.assertEqual(refused.stderr.count("\n"), 1)


if __name__ == "__main__":
    unittest.main()
