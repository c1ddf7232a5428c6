"""Drives Huebrook inside a rig session (sway or GNOME Shell) as a person would, and prints what
it saw as one JSON line. Runs in /tmp/rig, as the rig's user: app/ holds the program, bin/ the
helpers, out/ the logs.

driver.py sway|gnome|kde pick X,Y|here ...  picks those device pixels (at RIG_SCALE), then right-clicks
driver.py kde cursor               whether the pointer shows over the frozen screen
driver.py sway pick-grim OUT:X,Y ... picks device pixels of outputs against grim's copies of them
driver.py sway|gnome nudge X,Y      moves the pick point from device pixel X,Y with the keyboard
driver.py sway once-here here[:DX,DY] ...  first starts of --pick --once, picking from the keyboard
driver.py sway|gnome noportal      starts picking on a bus without any portal
driver.py sway|gnome bench N       times N starts of picking, and N bare portal calls
driver.py sway|kde|gnome shortcut        --shortcut, the key pressed with no Huebrook running, then none
"""
import json
import os
import shutil
import subprocess
import sys
import threading
import time
import urllib.parse

from harness import Image, box_mean, end_processes, pattern, wait_until  # copied beside this file

RIG = "/tmp/rig"
OUT = os.path.join(RIG, "out")
MAIN = "Huebrook 1.0"
PREVIEW = "Screen Color"


def paste():
    run = subprocess.run(["wl-paste", "-n"], capture_output=True, text=True, timeout=5)
    return run.stdout if run.returncode == 0 else None


def copy(text):
    subprocess.run(["wl-copy", text], check=True, timeout=5)


CLIPBOARD = os.path.join(OUT, "clipboard.txt")


def pattern_paste():
    try:
        with open(CLIPBOARD) as f:
            return f.read() or None
    except FileNotFoundError:
        return None


def pattern_copy(text):
    with open(CLIPBOARD + ".take", "w") as f:
        f.write(text)
    wait_until(lambda: pattern_paste() == text, what="the pattern window to take the clipboard")


class Desktop:
    """What the driver needs of a compositor, in logical pixels: windows() as dicts of title,
    app_id, rect and fullscreen; client_origin(window); move(x, y); place(title, x, y), which
    moves a window (sway and KWin); click(x, y, button), which
    returns a monotonic moment at the release or just before it; screenshot(path, area);
    pattern_command(). pixel() is the same on every desktop."""

    POINTER = None  # the rig's pointer helper in bin/, where the compositor has one

    def __init__(self, scale):
        self.scale = scale

    def pointer(self, *commands):
        """Runs the pointer helper; returns when the last button was released (monotonic)."""
        out = subprocess.run([os.path.join(RIG, "bin", self.POINTER)] + [str(c) for c in commands],
                             check=True, capture_output=True, text=True).stdout
        released = [float(l.split()[1]) for l in out.splitlines() if l.startswith("release")]
        return released[-1] if released else None

    def pixel(self, x, y):
        path = os.path.join(OUT, "check.png")
        self.screenshot(path, (x, y, 1, 1))
        return Image(subprocess.check_output(["convert", path, "ppm:-"])).pixel(0, 0)


class Sway(Desktop):
    """Windows from swaymsg, input through the virtual-pointer helper, pixels from grim."""
    POINTER = "e2e_vptr"

    def __init__(self, scale):
        super().__init__(scale)
        out = json.loads(subprocess.check_output(["swaymsg", "-t", "get_outputs"]))
        self.outputs = sorted((o["rect"]["x"], o["name"]) for o in out)
        # The virtual pointer's absolute positions span the whole layout.
        self.layout = (max(o["rect"]["x"] + o["rect"]["width"] for o in out),
                       max(o["rect"]["y"] + o["rect"]["height"] for o in out))

    def windows(self):
        found = []

        def walk(node):
            if node.get("pid"):
                r = node["rect"]
                found.append({"title": node.get("name") or "", "app_id": node.get("app_id"),
                              "rect": (r["x"], r["y"], r["width"], r["height"]),
                              "fullscreen": node.get("fullscreen_mode", 0) == 1,
                              "visible": node.get("visible", True)})
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(json.loads(subprocess.check_output(["swaymsg", "-t", "get_tree"])))
        return found

    def client_origin(self, window):
        return window["rect"][:2]

    def _abs(self, x, y):
        # Hundredths of a logical pixel, so that a point can sit inside a device pixel.
        return ["abs", round(x * 100), round(y * 100), self.layout[0] * 100,
                self.layout[1] * 100]

    def move(self, x, y):
        self.pointer(*self._abs(x, y))

    def click(self, x, y, button=1):
        code = {1: 272, 3: 273, 2: 274}[button]
        return self.pointer(*self._abs(x, y), "btn", code)

    def place(self, title, x, y):
        subprocess.run(["swaymsg", '[title="%s"]' % title, "move", "absolute", "position", str(x),
                        str(y)], check=True, stdout=subprocess.DEVNULL)

    def screenshot(self, path, area=None):
        area = ["-g", "%d,%d %dx%d" % area] if area else []
        subprocess.run(["grim"] + area + [path], check=True)

    def pattern_command(self):
        return [os.path.join(RIG, "bin", "e2e_pattern")]  # tiled: it fills the output

    paste = staticmethod(paste)
    copy = staticmethod(copy)

    def press_shortcut(self):
        subprocess.run(["wtype", "-M", "logo", "-M", "shift", "c", "-m", "shift", "-m", "logo"],
                       check=True)


class Gnome(Desktop):
    """Windows and input through the shell's Eval (unsafe mode), pixels from its screenshots."""

    def eval(self, js):
        out = subprocess.check_output(["sh", os.path.join(RIG, "shell-eval.sh"), js], text=True)
        ok, _, value = out.strip()[1:-1].partition(", ")
        if ok != "true":
            raise RuntimeError("Eval failed: " + out)
        return json.loads(value.strip("'")) if value.strip("'") else ""

    def windows(self):
        listing = self.eval("windows()")
        found = []
        for item in filter(None, listing.split(";")):
            title, _, rect = item.rpartition("@")
            x, y, w, h = (int(v) for v in rect.split(","))
            found.append({"title": title, "app_id": None, "rect": (x, y, w, h),
                          "fullscreen": False, "visible": True})
        return found

    def client_origin(self, window):
        # Qt 6.4 draws its own decorations here: the client area starts 3 px right and 30 px
        # below the frame's corner.
        x, y = window["rect"][:2]
        return x + 3, y + 30

    def move(self, x, y):
        self.eval("pointer(%r, %r)" % (x, y))

    def click(self, x, y, button=1):
        """Returns a moment just before the release (monotonic)."""
        t0 = time.monotonic()
        self.eval("pointer(%r, %r); click(%d)" % (x, y, {1: 1, 2: 2, 3: 3}[button]))
        return t0

    def screenshot(self, path, area=None):
        shell = ["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
                 "/org/gnome/Shell/Screenshot", "--method"]
        if area:
            shell += ["org.gnome.Shell.Screenshot.ScreenshotArea"] + [str(v) for v in area]
        else:
            shell += ["org.gnome.Shell.Screenshot.Screenshot", "false"]
        subprocess.run(shell + ["false", path], check=True, stdout=subprocess.DEVNULL)

    def pattern_command(self):
        # mutter serves the clipboard to the focused window alone: the pattern reads it.
        return [os.path.join(RIG, "bin", "e2e_pattern"), "--fullscreen", "--clipboard", CLIPBOARD]

    paste = staticmethod(pattern_paste)
    copy = staticmethod(pattern_copy)

    def press_shortcut(self):
        # Super and Shift held down while C is pressed, through the shell's virtual keyboard.
        steps = [("Super_L", "PRESSED"), ("Shift_L", "PRESSED"), ("c", "PRESSED"),
                 ("c", "RELEASED"), ("Shift_L", "RELEASED"), ("Super_L", "RELEASED")]
        self.eval("const t = now(); " + " ".join(
            "global.rigKeys.notify_keyval(t + %d, Clutter.KEY_%s, Clutter.KeyState.%s);"
            % (i * 20000, key, state) for i, (key, state) in enumerate(steps)) + " ''")


class Kde(Desktop):
    """Windows through a KWin script, input through KWin's fake input (the rig's desktop entry
    lets kptr use it, as KWin checks), pixels from the portal's screenshots."""
    POINTER = "e2e_kptr"

    def windows(self):
        out = subprocess.check_output(["sh", os.path.join(RIG, "kwin-eval.sh"), "windows()"],
                                      text=True)
        found = []
        for line in out.splitlines():
            f = line.split("|")
            if len(f) >= 13:
                n = [int(float(v)) for v in f[1:5] + f[7:9]]
                found.append({"title": f[0], "app_id": None, "rect": tuple(n[:4]),
                              "fullscreen": f[5] == "1", "visible": f[6] == "1",
                              "client": tuple(n[4:6])})
        return found

    def client_origin(self, window):
        return window["client"]  # KWin draws the title bar outside the client's buffer

    # KWin rounds a position to whole logical pixels; the floor of the centre of device pixel d,
    # (d + 0.5) / scale, is the logical pixel that holds it.
    def move(self, x, y):
        self.pointer("abs", int(x), int(y))

    def click(self, x, y, button=1):
        return self.pointer("abs", int(x), int(y), "btn", {1: 272, 3: 273, 2: 274}[button])

    def place(self, title, x, y):
        subprocess.run(["sh", os.path.join(RIG, "kwin-eval.sh"), "move(%s, %d, %d)"
                        % (json.dumps(title), x, y)], check=True, stdout=subprocess.DEVNULL)

    def portal_file(self):
        out = subprocess.check_output(["/usr/bin/python3", os.path.join(RIG, "portal-shot.py"),
                                       "1"], text=True)
        return urllib.parse.unquote(out.split()[-1]).replace("file://", "")

    def shot(self, area):
        """An Image of logical area (x, y, w, h) at device resolution, through the portal, which
        draws the pointer in as it shows. (KWin's own ScreenShot2 would need KWin to grant this
        script's Python, which headless KWin does only some of the time.)"""
        path = self.portal_file()
        try:
            x, y, w, h = (round(v * self.scale) for v in area)
            return Image(subprocess.check_output(
                ["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", "ppm:-"]))
        finally:
            os.remove(path)  # KDE's portal names its files by the second

    def screenshot(self, path, area=None):
        shutil.move(self.portal_file(), path)

    def pixel(self, x, y):
        return self.shot((x, y, 1, 1)).pixel(0, 0)

    def pattern_command(self):
        # KWin serves the clipboard to the focused window alone: the pattern reads it.
        return [os.path.join(RIG, "bin", "e2e_pattern"), "--fullscreen", "--clipboard", CLIPBOARD]

    paste = staticmethod(pattern_paste)
    copy = staticmethod(pattern_copy)

    def press_shortcut(self):
        # Left Meta, left Shift and C held down together, as evdev codes.
        self.pointer("down", 125, "down", 42, "down", 46, "up", 46, "up", 42, "up", 125)


class Session:
    def __init__(self, desktop, scale=1):
        self.desk = {"sway": Sway, "gnome": Gnome, "kde": Kde}[desktop](scale)
        self.scale = scale
        self.processes = []
        self.env = dict(os.environ, QT_QPA_PLATFORM="wayland")
        self.palette = os.path.join(RIG, "app", "pal.hbk")

    def start(self, name, args, env=None):
        log = open(os.path.join(OUT, name + ".log"), "w")
        process = subprocess.Popen(args, env=env or self.env, stdout=log, stderr=log, cwd=RIG)
        self.processes.append(process)
        return process

    def stop(self):
        end_processes(self.processes)

    def window(self, title):
        for w in self.desk.windows():
            if w["title"] == title:
                return w
        return None

    def show_pattern(self, exact=True):
        """exact: wait until the screen shows the pattern pixel for pixel, which a compositor
        scaling the window's buffer (fractional and mixed scales) never does."""
        self.start("pattern", self.desk.pattern_command())
        wait_until(lambda: self.window("pattern"), what="the pattern window")
        if not exact:
            time.sleep(0.5)
            return
        # Its far corner too: a busy compositor may show a frame before the window is fullscreen.
        width, height = (int(v) for v in os.environ.get("RIG_SIZE", "1920x1080").split("x"))
        for x, y in ((101, 3), (width - 1, height - 1)):
            wait_until(lambda: self.desk.pixel(x, y) == pattern(round(x * self.scale),
                                                                round(y * self.scale)),
                       what="the pattern to be painted at %d,%d" % (x, y))
        # A second output (sway at scale 1) gets a pattern that goes on where the first ends.
        for x, name in getattr(self.desk, "outputs", [])[1:]:
            subprocess.run(["swaymsg", "focus", "output", name], check=True,
                           stdout=subprocess.DEVNULL)
            self.start("pattern-" + name, self.desk.pattern_command() + ["--from", str(x)])
            wait_until(lambda: self.desk.pixel(x + 101, 3) == pattern(x + 101, 3),
                       what="the pattern on " + name)
        if getattr(self.desk, "outputs", [])[1:]:
            subprocess.run(["swaymsg", "focus", "output", self.desk.outputs[0][1]], check=True,
                           stdout=subprocess.DEVNULL)

    def start_huebrook(self, env=None):
        """RIG_HOME=X,Y: the main window is then moved there, as a person might."""
        self.start("huebrook", [os.path.join(RIG, "app", "huebrook")], env)
        origin = self.main_origin()
        if os.environ.get("RIG_HOME"):
            self.desk.place(MAIN, *(int(v) for v in os.environ["RIG_HOME"].split(",")))
            origin = self.main_origin()
        return origin

    def main_origin(self):
        """The main window's client corner, once it is painted where the shell put it."""
        # Mapped is not painted, and the shell may still place it: wait until its background
        # shows where it stands, and let the shell's map animation end.
        def painted():
            main = self.window(MAIN)
            if not main:
                return None
            x, y = self.desk.client_origin(main)
            return (x, y) if self.desk.pixel(x + 1, y + 1) != pattern(x + 1, y + 1) else None

        origin = wait_until(painted, what="the main window to be painted")
        time.sleep(0.3)
        return origin

    def records(self):
        try:
            return open(self.palette, "rb").read()
        except FileNotFoundError:
            return b""


def pick(session, picks):
    """Picks all but the last pixel, ends picking, then picks the last one in a second picking.
    A pick "here" is the pixel under the pointer where it clicked the eyedropper, without a move,
    and "here:DX,DY" one inside the arrow: the frozen picture must show the screen there, not the
    pointer."""
    session.show_pattern()
    origin = home = session.start_huebrook()
    eyedropper = (origin[0] + 14, origin[1] + 12)
    def resolve(p):
        # "here:DX,DY": that many device pixels right of and below it, inside the arrow
        if not isinstance(p, str):
            return p
        dx, dy = (int(v) for v in p.partition(":")[2].split(",")) if ":" in p else (0, 0)
        return (round(eyedropper[0] * session.scale) + dx,
                round(eyedropper[1] * session.scale) + dy)
    picks = [resolve(p) for p in picks]
    for number, group in enumerate((picks[:-1], picks[-1:])):
        start_picking(session, origin)
        if number == 0:
            session.desk.move(700, 300)
            session.desk.screenshot(os.path.join(OUT, "picking.png"))  # for a person to see
            preview = session.window(PREVIEW)
        s = session.scale
        for dx, dy in group:
            before = len(session.records())
            session.desk.click((dx + 0.5) / s, (dy + 0.5) / s)
            wait_until(lambda: len(session.records()) > before,
                       what="the record of %r" % ((dx, dy),))
        session.desk.click(300, 300, button=3)
        wait_until(lambda: not session.window(PREVIEW), what="the preview to close")
        origin = session.main_origin()

    # The main window's preview shows the current color: the newest record after the reload,
    # the mean of the last pick's sample box (RIG_SAMPLE, kept in the settings) on the first
    # output.
    sample = int(os.environ.get("RIG_SAMPLE") or 1)
    last = pattern(*picks[-1])
    if sample > 1:
        width, height = (round(int(v) * session.scale) for v in os.environ["RIG_SIZE"].split("x"))
        last = box_mean(pattern, *picks[-1], sample, width, height)

    # The shell may still be placing the window, so its corner is asked each time.
    def current():
        main = session.window(MAIN)
        x, y = session.desk.client_origin(main) if main else (0, 0)
        color = session.desk.pixel(x + 39, y + 47)
        return color if color == last else None

    shown = wait_until(current, timeout=5, what="the current color")
    return {"records": session.records().decode(), "current": "%02X%02X%02X" % shown,
            "preview": preview, "picks": picks, "log": open(os.path.join(OUT, "huebrook.log")).read(),
            "main": [home, origin],
            "leftovers": sorted(os.listdir(os.environ["HOME"])) + sorted(
                f for f in os.listdir("/tmp") if f.endswith(".png"))}


def pick_grim(session, wanted):
    """Picks device pixels OUTPUT:X,Y where the truth is grim's copy of that output taken
    before: at fractional and mixed scales the screen is the compositor's scaling of a window,
    which only an independent screenshot knows."""
    outputs = {o["name"]: o for o in json.loads(subprocess.check_output(
        ["swaymsg", "-t", "get_outputs"]))}
    picks = []
    for entry in wanted:
        name, _, xy = entry.partition(":")
        picks.append((name, *(int(v) for v in xy.split(","))))
    session.show_pattern(exact=False)
    truth = {}  # before the main window opens: it must not be in the picked picture either
    for name in {p[0] for p in picks}:
        path = os.path.join(OUT, name + ".ppm")
        subprocess.run(["grim", "-t", "ppm", "-o", name, path], check=True)
        truth[name] = Image(open(path, "rb").read())
    origin = session.start_huebrook()
    expected = "".join("%02X%02X%02X" % truth[n].pixel(x, y) for n, x, y in picks)
    start_picking(session, origin)
    preview = session.window(PREVIEW)
    for name, x, y in picks:
        rect, scale = outputs[name]["rect"], outputs[name]["scale"]
        before = len(session.records())
        session.desk.click(rect["x"] + (x + 0.5) / scale, rect["y"] + (y + 0.5) / scale)
        wait_until(lambda: len(session.records()) > before, what="the record of %s" % name)
    session.desk.click(300, 300, button=3)
    return {"records": session.records().decode(), "expected": expected, "preview": preview,
            "main": [origin, session.main_origin()]}


def cursor(session):
    """Whether the pointer shows over the frozen screen: the portal's shot of the area around it,
    which draws the pointer as KWin shows it, differs from the frozen pattern there. KWin shows
    nothing at all when a client's cursor fails."""
    session.show_pattern()
    start_picking(session, session.start_huebrook())
    session.desk.move(700, 300)
    time.sleep(0.3)
    drawn = session.desk.shot((690, 290, 40, 40))
    differing = sum(drawn.pixel(x, y) != pattern(690 + x, 290 + y)
                    for x in range(drawn.width) for y in range(drawn.height))
    session.desk.click(300, 300, button=3)
    return {"differing": differing}


def start_picking(session, origin):
    x, y = origin
    session.desk.click(x + 14, y + 12)  # the eyedropper
    wait_until(lambda: session.window(PREVIEW), what="the preview window")
    wait_until(lambda: not session.window(MAIN), what="the main window to hide")
    time.sleep(0.3)  # the frozen window's first frame


def nudge(session, x, y):
    """Keys move the pick point by device pixels, as the pointer cannot be moved here. wtype
    waits before its first key, which a virtual keyboard just made would lose."""
    session.show_pattern()
    start_picking(session, session.start_huebrook())
    session.desk.move((x + 0.5) / session.scale, (y + 0.5) / session.scale)
    time.sleep(0.2)
    subprocess.run(["wtype", "-s", "300", "-d", "30", "-k", "Right", "-k", "Down", "-k", "Down", "-k", "Down",
                    "-M", "shift", "-k", "Right", "-m", "shift", "-k", "Return", "-k", "Left",
                    "-k", "space"], check=True)
    wait_until(lambda: len(session.records()) >= 12, what="two records")
    return {"records": session.records().decode()}


def once_script(session):
    """A first start's --pick --once on KDE Plasma: after its pick it must leave KWin as it found
    it, without the script that keeps the main window's place, and without its file."""
    session.show_pattern()
    before = set(os.listdir("/tmp"))
    once = session.start("once", [os.path.join(RIG, "app", "huebrook"), "--pick", "--once"])
    wait_until(lambda: session.window(PREVIEW), what="the preview window")
    time.sleep(0.5)  # KWin has the script by now
    session.desk.click(200, 200)
    once.wait(timeout=10)
    loaded = subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin", "/Scripting",
         "org.kde.kwin.Scripting.isScriptLoaded", "string:huebrook-place-%d" % once.pid],
        capture_output=True, text=True).stdout
    return {"status": once.returncode, "loaded": "boolean true" in loaded, "reply": loaded,
            "left": sorted(set(os.listdir("/tmp")) - before)}


def once_here(session, picks):
    """First starts of --pick --once while a pointing device rests at logical (700, 300), each
    picking from the keyboard: Return where the pointer rests ("here"), or after nudging
    "here:DX,DY" device pixels into the arrow. The screen's pixels, never the arrow's."""
    session.show_pattern()
    rest = (700, 300)
    x0, y0 = round(rest[0] * session.scale), round(rest[1] * session.scale)
    wanted = []
    for p in picks:
        dx, dy = (int(v) for v in p.partition(":")[2].split(",")) if ":" in p else (0, 0)
        # The device stays while the program picks, as a mouse does; a helper that has ended
        # takes the seat's pointer, and sway's arrow, with it.
        device = session.start("device", [os.path.join(RIG, "bin", session.desk.POINTER)] +
                               [str(c) for c in session.desk._abs(*rest)] + ["sleep", "8000"])
        time.sleep(0.3)
        before = len(session.records())
        once = session.start("once", [os.path.join(RIG, "app", "huebrook"), "--pick", "--once"])
        wait_until(lambda: session.window(PREVIEW), what="the preview window")
        time.sleep(0.3)
        session.desk.screenshot(os.path.join(OUT, "once.png"))  # for a person to see
        keys = ["-k", "Right"] * dx + ["-k", "Down"] * dy + ["-k", "Return"]
        subprocess.run(["wtype", "-s", "300", "-d", "30"] + keys, check=True)
        once.wait(timeout=10)
        device.kill()
        device.wait()
        wait_until(lambda: len(session.records()) > before, what="the record of %s" % p)
        wanted.append((x0 + dx, y0 + dy))
    return {"records": session.records().decode(), "picks": wanted}


def huebrooks():
    """The PIDs of the Huebrook processes in the session's PID namespace."""
    program = os.path.join(RIG, "app", "huebrook")
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink("/proc/%s/exe" % pid) == program:
                found.append(int(pid))
        except OSError:
            pass
    return found


def shortcut(session):
    """--shortcut sets Meta+Shift+C up; pressed with no Huebrook running, it freezes the screen,
    and a click puts the pixel on the clipboard in the format chosen, where it stays after the
    pick until another program takes the clipboard, and then no Huebrook is left. After
    --shortcut none the key does nothing."""
    session.show_pattern()
    program = os.path.join(RIG, "app", "huebrook")

    def command(*args):
        run = subprocess.run([program, "--shortcut", *args], env=session.env,
                             capture_output=True, text=True, timeout=20)
        return [run.returncode, run.stdout, run.stderr]

    if isinstance(session.desk, Gnome):
        # The shell runs no custom keybindings: the settings daemon's media keys do.
        session.start("gsd-media-keys", ["/usr/libexec/gsd-media-keys"])
        time.sleep(3)
    result = {"setup": command("Meta+Shift+C", "--format", "css-rgb")}
    if result["setup"][0] != 0:
        return result
    time.sleep(1)  # the compositor's service takes the key
    session.desk.press_shortcut()
    wait_until(lambda: session.window(PREVIEW), what="the preview window after the key")
    time.sleep(0.3)
    session.desk.click(300, 200)
    x, y = round(300 * session.scale), round(200 * session.scale)
    result["expected"] = "rgb(%d, %d, %d)" % pattern(x, y)
    wait_until(lambda: session.window(PREVIEW) is None, what="the picking to end")
    result["pasted"] = wait_until(session.desk.paste, what="the clipboard")
    result["serving"] = len(huebrooks())
    session.desk.copy("theirs")
    wait_until(lambda: not huebrooks(), what="no Huebrook left once the clipboard was taken")
    result["none"] = command("none")
    session.desk.press_shortcut()
    time.sleep(2)
    result["after_none"] = {"preview": session.window(PREVIEW) is not None, "left": huebrooks()}
    return result


def noportal(session):
    # A session bus of its own, with nothing on it that could capture the screen.
    config = os.path.join(OUT, "bare-bus.conf")
    with open(config, "w") as f:
        f.write('<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0'
                '//EN" "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">'
                "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                "<auth>EXTERNAL</auth><policy context=\"default\">"
                "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                "<allow own=\"*\"/>"
                "</policy></busconfig>")
    bus = session.start("bare-bus", ["dbus-daemon", "--nofork", "--print-address=1",
                                     "--config-file=" + config], env=dict(os.environ))
    address = wait_until(lambda: open(os.path.join(OUT, "bare-bus.log")).readline().strip(),
                         what="the bare bus")
    assert bus.poll() is None
    session.show_pattern()
    # The portal by name: the compositor's own screencopy needs no bus at all.
    x, y = session.start_huebrook(dict(session.env, DBUS_SESSION_BUS_ADDRESS=address,
                                       HUEBROOK_CAPTURE="portal"))
    session.desk.click(x + 14, y + 12)
    box = wait_until(lambda: session.window("Huebrook"), what="the message box")
    log = open(os.path.join(OUT, "huebrook.log")).read()
    return {"message": log.strip(), "box": bool(box), "main": bool(session.window(MAIN)),
            "preview": bool(session.window(PREVIEW)), "records": session.records().decode()}


def bench(session, runs):
    """Milliseconds from the eyedropper's click to the frozen screen, and the bare capture's
    latency in the same session: on sway to the compositor's own event for the frozen window,
    beside grim's screencopy; elsewhere to the preview listed, beside the portal's screenshot."""
    session.show_pattern()
    x, y = session.start_huebrook()
    events = []
    if isinstance(session.desk, Sway):
        reader = subprocess.Popen(["swaymsg", "-t", "subscribe", "-m", '["window"]'],
                                  stdout=subprocess.PIPE, text=True)
        session.processes.append(reader)
        threading.Thread(target=lambda: [events.append((time.monotonic(), json.loads(line)))
                                         for line in reader.stdout], daemon=True).start()
        time.sleep(0.2)

    if isinstance(session.desk, Kde):
        # window events with KWin's wall clock, into out/kwin.log
        for method, args in (("loadScript", [os.path.join(RIG, "kwin-watch.js"), "kwinwatch"]),
                             ("start", [])):
            subprocess.run(["gdbus", "call", "--session", "--dest", "org.kde.KWin",
                            "--object-path", "/Scripting", "--method",
                            "org.kde.kwin.Scripting." + method] + args,
                           check=True, stdout=subprocess.DEVNULL)

    def kwin_frozen_after(t0):
        for line in open(os.path.join(OUT, "kwin.log"), errors="replace"):
            words = line.split()
            if len(words) > 3 and words[1] == "kwinwatch" and words[3] == "added" and \
                    line.rstrip().endswith("|1"):
                at = time.monotonic() - (time.time() * 1000 - float(words[2])) / 1000
                if at > t0:
                    return at
        return None

    def frozen_after(t0):
        if isinstance(session.desk, Kde):
            return kwin_frozen_after(t0)
        for at, event in list(events):
            name = event.get("container", {}).get("name")
            if at > t0 and event.get("change") == "new" and name not in (MAIN, PREVIEW):
                return at
        return None

    starts = []
    for _ in range(runs):
        t0 = session.desk.click(x + 14, y + 12)
        if isinstance(session.desk, (Sway, Kde)):
            end = wait_until(lambda: frozen_after(t0), interval=0.001, what="the frozen window")
        else:
            wait_until(lambda: session.window(PREVIEW), interval=0.001, what="the preview")
            end = time.monotonic()
        starts.append((end - t0) * 1000)
        wait_until(lambda: session.window(PREVIEW), what="the preview")
        time.sleep(0.3)  # until the frozen window takes input
        session.desk.click(300, 300, button=3)
        x, y = session.main_origin()
    if isinstance(session.desk, Sway):
        bare = []
        for _ in range(runs):
            t0 = time.monotonic()
            subprocess.run(["grim", "-t", "ppm", os.path.join(OUT, "bare.ppm")], check=True)
            bare.append((time.monotonic() - t0) * 1000)
        return {"start_ms": starts, "bare_ms": bare, "bare": "grim -t ppm"}
    if isinstance(session.desk, Kde):
        shots = subprocess.check_output([os.path.join(RIG, "bin", "e2e-python"),
                                         os.path.join(RIG, "kwin-shot2.py"), str(runs), "screen",
                                         "Virtual-0"], text=True, cwd=RIG)
        bare = [float(line.split()[2]) for line in shots.splitlines() if line.startswith("shot2")]
        return {"start_ms": starts, "bare_ms": bare, "bare": "ScreenShot2"}
    shots = subprocess.check_output(["/usr/bin/python3", os.path.join(RIG, "portal-shot.py"),
                                     str(runs)], text=True)
    bare = [float(line.split()[2]) for line in shots.splitlines() if line.startswith("shot")]
    return {"start_ms": starts, "bare_ms": bare, "bare": "portal screenshot"}


def main():
    desktop, case = sys.argv[1], sys.argv[2]
    scale = float(os.environ.get("RIG_SCALE", "1"))
    session = Session(desktop, scale)
    try:
        if case == "pick":
            result = pick(session, [p if p.startswith("here") else tuple(int(v) for v in p.split(","))
                                    for p in sys.argv[3:]])
        elif case == "cursor":
            result = cursor(session)
        elif case == "pick-grim":
            result = pick_grim(session, sys.argv[3:])
        elif case == "nudge":
            result = nudge(session, *(int(v) for v in sys.argv[3].split(",")))
        elif case == "once-script":
            result = once_script(session)
        elif case == "once-here":
            result = once_here(session, sys.argv[3:])
        elif case == "shortcut":
            result = shortcut(session)
        elif case == "noportal":
            result = noportal(session)
        else:
            result = bench(session, int(sys.argv[3]))
    except Exception as error:  # reported to the test, with the logs and the screen beside it
        result = {"error": "%s: %s" % (type(error).__name__, error),
                  "windows": session.desk.windows(), "records": session.records().decode()}
        session.desk.screenshot(os.path.join(OUT, "error.png"))
    finally:
        session.stop()
    print("RESULT " + json.dumps(result))


if __name__ == "__main__":
    main()
