"""Picking under real Wayland compositors, each started headless for the test from Debian's
packages: sway 1.7 with xdg-desktop-portal-wlr, and GNOME Shell 43 with xdg-desktop-portal-gnome.
The session runs in namespaces of its own (wayland/rig.sh), where wayland/driver.py drives the
program as a person would and reports what it saw."""

import json
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import box_mean, EXECUTABLE, hex_record, pattern

HERE = os.path.dirname(os.path.abspath(__file__))
RIGS = os.path.join(HERE, "wayland")


def records(picks):
    return b"".join(hex_record(pattern(*p)) for p in picks).decode()


def desktop_entries(folder, screenshots=True):
    """What KWin checks before it serves fake input or ScreenShot2: an application entry whose
    Exec names the caller's executable by its absolute path. Written before KWin starts."""
    entries = {"e2e-kptr": ("/tmp/rig/bin/e2e_kptr",
                            "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input"),
               # the benchmark's bare ScreenShot2 call: a Python of its own, since KWin grants by
               # the first entry naming an executable, and the system's entries name python3
               "e2e-python": ("/tmp/rig/bin/e2e-python",
                              "X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2")}
    if screenshots:
        entries["huebrook"] = ("/tmp/rig/app/huebrook",
                               "X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2")
    applications = os.path.join(folder, "home", ".local", "share", "applications")
    os.makedirs(applications)
    for name, (program, grant) in entries.items():
        with open(os.path.join(applications, name + ".desktop"), "w") as entry:
            entry.write("[Desktop Entry]\nType=Application\nName=%s\nExec=%s\n%s\n"
                        % (name, program, grant))


def run_rig(desktop, *args, scale=1, outputs=1, scale2=1, portal=True, kwin_grants=True,
            home=None, sample=None, capture=None, shortcuts=False, timeout=150):
    """Runs driver.py DESKTOP ARGS in a fresh session and returns its result. sample: the sample
    size kept in the settings, as a person who chose it in an earlier picking leaves it; capture:
    the capture backend Huebrook is made to use (HUEBROOK_CAPTURE)."""
    folder = tempfile.mkdtemp(prefix="huebrook-wayland-")
    try:
        helpers = os.path.dirname(EXECUTABLE)
        for sub in ("app", "bin", "out"):
            os.makedirs(os.path.join(folder, sub))
        shutil.copy2(EXECUTABLE, os.path.join(folder, "app", "huebrook"))
        for helper in ("e2e_pattern", "e2e_vptr", "e2e_kptr"):
            if os.path.exists(os.path.join(helpers, helper)):
                shutil.copy2(os.path.join(helpers, helper), os.path.join(folder, "bin"))
        for name in ("driver.py", "portal-shot.py", os.path.join("gnome", "shell-eval.sh"),
                     os.path.join("kde", "kwin-eval.sh"), os.path.join("kde", "kwin-watch.js"),
                     os.path.join("kde", "kwin-shot2.py")):
            shutil.copy2(os.path.join(RIGS, name), folder)
        if desktop == "kde":
            desktop_entries(folder, kwin_grants)
            shutil.copy2(os.path.realpath("/usr/bin/python3"), os.path.join(folder, "bin", "e2e-python"))
        shutil.copy2(os.path.join(HERE, "harness.py"), folder)
        if sample:
            settings = os.path.join(folder, "home", ".config", "huebrook")
            os.makedirs(settings)
            with open(os.path.join(settings, "huebrook.ini"), "w") as ini:
                ini.write("[Picking]\nSample=%d\n" % sample)
        # The session runs as nobody, who must write the palette beside the program.
        for root, dirs, files in os.walk(folder):
            for name in dirs + files:
                os.chmod(os.path.join(root, name), 0o777)
        os.chmod(folder, 0o777)
        # KDE's output is given in logical pixels: 1920x1080 device pixels at every scale.
        env = dict(os.environ, RIG_SCALE=str(scale), RIG_OUTPUTS=str(outputs),
                   RIG_SIZE="%dx%d" % (1920 / scale, 1080 / scale),
                   RIG_SCALE2=str(scale2), RIG_PORTAL="" if portal else "none",
                   RIG_TIMEOUT=str(timeout - 10), RIG_HOME="%d,%d" % home if home else "",
                   RIG_SAMPLE=str(sample or 1))
        if capture:
            env["HUEBROOK_CAPTURE"] = capture
        if shortcuts:
            env["RIG_GLOBAL_SHORTCUTS"] = "1"
        run = subprocess.run(["sh", os.path.join(RIGS, "rig.sh"), desktop, folder,
                              "/usr/bin/python3", "/tmp/rig/driver.py", desktop] + list(args),
                             env=env, capture_output=True, text=True, timeout=timeout)
        lines = [l for l in run.stdout.splitlines() if l.startswith("RESULT ")]
        if not lines:
            raise AssertionError("the %s session gave no result:\n%s\n%s" % (
                desktop, run.stdout[-3000:], run.stderr[-3000:]))
        result = json.loads(lines[-1][len("RESULT "):])
        if "error" in result:
            logs = ""
            for name in ("huebrook.log", "xdp.log"):
                path = os.path.join(folder, "out", name)
                if os.path.exists(path):
                    with open(path, errors="replace") as log:
                        logs += "\n--- %s\n%s" % (name, log.read()[-2000:])
            raise AssertionError("%s: %s%s" % (desktop, json.dumps(result), logs))
        return result
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def needs_rig(desktop):
    program = {"sway": "sway", "gnome": "gnome-shell", "kde": "kwin_wayland"}[desktop]
    if os.geteuid() != 0:
        return "the rig needs root for its namespaces"
    if not EXECUTABLE or not shutil.which(program):
        return "%s or HUEBROOK_EXE is missing" % program
    return None


class WaylandPicking(unittest.TestCase):
    def need(self, desktop):
        # HUEBROOK_RIGS=sway,kde: this run's rigs, the others' cases left to another run
        wanted = os.environ.get("HUEBROOK_RIGS")
        if wanted and desktop not in wanted.split(","):
            self.skipTest("the %s rig runs in another test" % desktop)
        reason = needs_rig(desktop)
        if reason:
            self.skipTest(reason)

    # Odd and even coordinates, the last column and row, and a pixel where the main window
    # stood (it must not be in the picture); away from the preview, which sway centres and
    # mutter places at the top left.
    # The second output of sway stands right of the first, 1280x1024 at scale 1.
    # sway draws its pointer in software here, into every copy of the screen: "here" is where
    # it rested when it clicked the eyedropper, "here:3,6" inside its arrow.
    CASES = [
        ("sway", 1, 1, ["here", "here:3,6", (50, 60), (51, 60), (1919, 1079), (900, 400),
                        (1201, 77)]),
        ("sway", 2, 1, ["here", "here:3,6", (101, 121), (102, 121), (101, 122), (1919, 1079),
                        (781, 301)]),
        ("sway", 1, 2, [(2500, 700), (1920, 1023), (3199, 0), (300, 900), (3001, 5)]),
        ("gnome", 1, 1, [(250, 60), (251, 61), (1919, 1079), (100, 300), (400, 900)]),
    ]

    def test_picks_land_in_the_palette_in_order(self):
        for desktop, scale, outputs, picks in self.CASES:
            with self.subTest(desktop=desktop, scale=scale, outputs=outputs):
                self.need(desktop)
                result = run_rig(desktop, "pick", *(p if isinstance(p, str) else "%d,%d" % p
                                                    for p in picks), scale=scale, outputs=outputs)
                picked = [tuple(p) for p in result["picks"]]
                self.assertEqual(result["records"], records(picked))
                # After the right click the main window is back with the grid reloaded: the
                # newest record is the current color its preview shows.
                self.assertEqual(result["current"], records(picked[-1:]))
                # The preview floats above the frozen screens, on the primary one.
                self.assertTrue(result["preview"]["visible"], result["preview"])
                self.assertLess(result["preview"]["rect"][0], 1920, result["preview"])
                # The portal's file is deleted; the folders the session made are all that is left.
                self.assertFalse([f for f in result["leftovers"] if f.endswith(".png")],
                                 result["leftovers"])

    def test_sway_first_start_pick_once_shows_the_screen_under_the_arrow(self):
        # A pointing device rests where --pick --once starts, as when it is bound to a key; the
        # pick is made from the keyboard where it rests, and 3,6 device pixels into the arrow.
        # The portal's screenshot is screencopy too, and shows the arrow alike.
        self.need("sway")
        for scale, capture in ((1, None), (2, None), (1, "portal")):
            with self.subTest(scale=scale, capture=capture):
                result = run_rig("sway", "once-here", "here", "here:3,6", scale=scale,
                                 capture=capture)
                self.assertEqual(result["records"], records(tuple(p) for p in result["picks"]))

    def test_sway_samples_device_pixels_at_scale_2(self):
        # Across the pattern's steps at 256, where a box's mean is no pixel of it, and cut at
        # the corner of the output.
        self.need("sway")
        picks = [(256, 100), (513, 256), (1919, 1079)]
        result = run_rig("sway", "pick", *("%d,%d" % p for p in picks), scale=2, sample=3)
        self.assertEqual(result["records"], "".join(
            hex_record(box_mean(pattern, *p, 3, 1920, 1080)).decode() for p in picks))

    # sway without any portal: the compositor's own screencopy, exact at fractional scales and
    # on outputs of different scales, where the main window stands on the second. Device pixels
    # of each output; (960, 400) is where the main window stood, just above the preview in the
    # middle of HEADLESS-1.
    NO_PORTAL = [
        (1, 1, 1, ["HEADLESS-1:50,60", "HEADLESS-1:1919,1079", "HEADLESS-1:960,400"]),
        (1.5, 1, 1, ["HEADLESS-1:51,61", "HEADLESS-1:1919,1079", "HEADLESS-1:1001,3"]),
        (1.25, 1, 1, ["HEADLESS-1:77,33", "HEADLESS-1:1918,1078", "HEADLESS-1:5,1000"]),
        (1, 2, 2, ["HEADLESS-2:101,121", "HEADLESS-2:1279,1023", "HEADLESS-1:50,60",
                   "HEADLESS-2:0,0"]),
    ]

    def test_without_a_portal_screencopy_picks_exactly(self):
        self.need("sway")
        for scale, outputs, scale2, picks in self.NO_PORTAL:
            with self.subTest(scale=scale, outputs=outputs, scale2=scale2):
                result = run_rig("sway", "pick-grim", *picks, scale=scale, outputs=outputs,
                                 scale2=scale2, portal=False,
                                 home=(2300, 100) if outputs == 2 else None)
                self.assertEqual(result["records"], result["expected"])
                # The preview shows on the output where the main window stood, which it comes
                # back to: the last of two.
                before, after = result["main"]
                self.assertTrue(result["preview"]["visible"], result["preview"])
                self.assertEqual(result["preview"]["rect"][0] < 1920 / scale,
                                 before[0] < 1920 / scale, (result["preview"], before))
                self.assertEqual(after, before)

    # KDE Plasma: KWin's own screenshots, with its permission checks on. KWin hands clients whole
    # logical pointer positions only, so at scale 2 only even device pixels can be pointed at.
    # "here" is where the pointer clicked the eyedropper: the screen, never the arrow. With two
    # outputs the main window stands on the second and must come back there.
    KDE = [
        (1, True, 1, ["here", (50, 60), (51, 61), (1919, 1079), (900, 400), (1201, 77)]),
        (2, True, 1, ["here", (100, 120), (1918, 1078), (780, 300), (1202, 78)]),
        (1, False, 1, [(50, 60), (1919, 1079), (1201, 77)]),  # refused: the portal takes over
        (1, True, 2, [(50, 60), (1201, 77)]),
    ]

    def test_kde_picks_exactly_without_the_pointer_in_the_picture(self):
        self.need("kde")
        for scale, granted, outputs, picks in self.KDE:
            with self.subTest(scale=scale, granted=granted, outputs=outputs):
                args = [p if p == "here" else "%d,%d" % p for p in picks]
                result = run_rig("kde", "pick", *args, scale=scale, kwin_grants=granted,
                                 outputs=outputs, home=(2300, 300) if outputs == 2 else None)
                self.assertEqual(result["records"], records([tuple(p) for p in result["picks"]]))
                self.assertEqual("asking the desktop portal" in result["log"], not granted,
                                 result["log"])
                before, after = result["main"]
                self.assertEqual(after, before)

    def test_kde_first_start_pick_once_leaves_kwin_as_it_found_it(self):
        self.need("kde")
        result = run_rig("kde", "once-script")
        self.assertEqual(result["status"], 0, result)
        self.assertIn("boolean", result["reply"])  # KWin answered the question
        self.assertFalse(result["loaded"], result)
        self.assertEqual([f for f in result["left"] if "huebrook" in f], [], result)

    def test_kde_pointer_shows_over_the_frozen_screen(self):
        self.need("kde")
        self.assertGreater(run_rig("kde", "cursor")["differing"], 20)

    def test_nudge_by_device_pixels_and_pick_with_enter_and_space(self):
        self.need("sway")
        result = run_rig("sway", "nudge", "300,300", scale=2)
        self.assertEqual(result["records"], records([(311, 303), (310, 303)]))

    def test_without_a_portal_the_sentence_appears(self):
        self.need("sway")
        result = run_rig("sway", "noportal")
        self.assertIn("xdg-desktop-portal with a Screenshot backend", result["message"])
        self.assertTrue(result["box"], "no message box")
        self.assertTrue(result["main"], "the main window did not stay")
        self.assertFalse(result["preview"])
        self.assertEqual(result["records"], "")

    def test_shortcut_picks_to_the_clipboard_with_no_huebrook_running(self):
        for desktop, kept in [("sway", "include /tmp/rig/home/.config/huebrook/huebrook-sway.conf"),
                              ("kde", "System Settings → Shortcuts → Huebrook"),
                              ("gnome", "Settings → Keyboard → Custom Shortcuts")]:
            with self.subTest(desktop=desktop):
                self.need(desktop)
                result = run_rig(desktop, "shortcut", shortcuts=True)
                status, said, error = result["setup"]
                self.assertEqual((status, error), (0, ""))
                self.assertIn(kept, said)
                self.assertEqual(result["pasted"], result["expected"])
                self.assertEqual(result["serving"], 1)  # the pick's own, serving the clipboard
                self.assertEqual(result["none"][0], 0, result["none"])
                self.assertEqual(result["after_none"], {"preview": False, "left": []})


if __name__ == "__main__":
    unittest.main()
