"""End-to-end harness: a private Xvfb (optionally with openbox), Huebrook copied into a fresh
folder with a fresh HOME, and the tools a person's hands would be: xdotool, xclip, import.

Every process started here is ended by its PID. Only Python's standard library is used."""

import ctypes
import ctypes.util
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

EXECUTABLE = os.environ.get("HUEBROOK_EXE", "")
HERE = os.path.dirname(os.path.abspath(__file__))
# Timings the dummy driver accepts, for the screen sizes the tests use.
MODELINES = {"1920x1080": "148.5 1920 2008 2052 2200 1080 1084 1089 1125",
             "1280x1024": "108 1280 1328 1440 1688 1024 1025 1028 1066"}
TITLE = "Huebrook 1.0"


def pattern(x, y):
    """A distinct color for every pixel of a screen up to 4096 by 4096, as the tests paint it
    (the root window here, wayland/pattern.cpp under a compositor)."""
    return (x % 256, y % 256, (x // 256) * 16 + y // 256)


def box_mean(color_of, x, y, size, width, height):
    """What a pick with sample size `size` at (x, y) takes from a screen of width by height
    painted with color_of: the mean of the box's pixels on the screen, each channel rounded half
    up."""
    half = size // 2
    box = [color_of(i, j) for i in range(max(0, x - half), min(width, x + half + 1))
           for j in range(max(0, y - half), min(height, y + half + 1))]
    return tuple((2 * sum(c[k] for c in box) + len(box)) // (2 * len(box)) for k in range(3))


def hex_record(rgb):
    """The palette record of a color."""
    return b"%02X%02X%02X" % rgb


def end_processes(processes, timeout=5):
    """Ends every process still running, newest first, by its PID: SIGTERM, then SIGKILL."""
    for process in reversed(processes):
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
    processes.clear()


def wait_until(predicate, timeout=10.0, interval=0.02, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)


def load_xlib():
    """The few Xlib calls the harness makes itself, with their C signatures."""
    xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    display, window, atom = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong
    xlib.XOpenDisplay.restype = display
    xlib.XDefaultRootWindow.restype = window
    xlib.XDefaultRootWindow.argtypes = [display]
    xlib.XCreateSimpleWindow.restype = window
    xlib.XCreateSimpleWindow.argtypes = [display, window, ctypes.c_int, ctypes.c_int,
                                         ctypes.c_uint, ctypes.c_uint, ctypes.c_uint,
                                         ctypes.c_ulong, ctypes.c_ulong]
    xlib.XMapWindow.argtypes = [display, window]
    xlib.XDestroyWindow.argtypes = [display, window]
    xlib.XInternAtom.restype = atom
    xlib.XInternAtom.argtypes = [display, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [display, window, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    xlib.XFlush.argtypes = [display]
    xlib.XSync.argtypes = [display, ctypes.c_int]
    xlib.XCloseDisplay.argtypes = [display]
    return xlib


class Display:
    """An Xvfb server on a display number it chooses itself, so parallel tests never collide."""

    def __init__(self, width=1280, height=1024, window_manager=False, screens=None):
        """screens: [(width, height), ...] side by side, from Xorg's dummy driver, since Qt sees
        a single screen under Xvfb whatever its options."""
        self.processes = []
        self.folder = tempfile.mkdtemp(prefix="huebrook-x-")
        if screens:
            width, height = sum(w for w, _ in screens), max(h for _, h in screens)
            server = ["Xorg", "-config", os.path.join(HERE, "xorg-dummy.conf"), "-logfile",
                      os.path.join(self.folder, "Xorg.log"), "-nolisten", "tcp", "-noreset"]
        else:
            server = ["Xvfb", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp",
                      "-noreset"]
        read_fd, write_fd = os.pipe()
        xserver = subprocess.Popen(server + ["-displayfd", str(write_fd)], pass_fds=(write_fd,),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(xserver)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.stop()
            raise RuntimeError(f"{server[0]} did not start")
        self.name = f":{number}"
        self.width, self.height = width, height
        wait_until(lambda: self.run(["xdpyinfo"], check=False).returncode == 0,
                   what="the X server")
        if screens:
            self.set_outputs(screens)
        if window_manager:
            self.processes.append(subprocess.Popen(["openbox"], env=self.env(),
                                                   stdout=subprocess.DEVNULL,
                                                   stderr=subprocess.DEVNULL))
            self.wait_window_manager()

    def set_outputs(self, screens):
        """One dummy output per screen, left to right, the first one primary."""
        command, x = ["xrandr"], 0
        for number, (width, height) in enumerate(screens):
            mode = f"{width}x{height}"
            self.run(["xrandr", "--newmode", mode, *MODELINES[mode].split()], check=False)
            self.run(["xrandr", "--addmode", f"DUMMY{number}", mode])
            command += ["--output", f"DUMMY{number}", "--mode", mode, "--pos", f"{x}x0"]
            command += ["--primary"] if number == 0 else []
            x += width
        self.run(command)

    def wait_window_manager(self):
        """Waits until openbox manages a window it was asked to map.

        Openbox announces itself (_NET_SUPPORTING_WM_CHECK) before it has finished starting, and a
        window mapped in that gap is sometimes never managed, so it stays unmapped for good. A
        probe window that openbox has put in its client list proves it is ready; a probe lost to
        the gap is replaced by a fresh one."""
        xlib = load_xlib()
        display = xlib.XOpenDisplay(self.name.encode())
        try:
            root = xlib.XDefaultRootWindow(display)
            deadline = time.monotonic() + 30
            while True:
                probe = xlib.XCreateSimpleWindow(display, root, 0, 0, 10, 10, 0, 0, 0)
                xlib.XMapWindow(display, probe)
                xlib.XFlush(display)
                try:
                    wait_until(lambda: f"0x{probe:x}" in self.run(
                        ["xprop", "-root", "_NET_CLIENT_LIST"], check=False).stdout,
                        timeout=2, what="openbox to manage a window")
                    return
                except AssertionError:
                    if time.monotonic() > deadline:
                        raise
                finally:
                    xlib.XDestroyWindow(display, probe)
                    xlib.XSync(display, 0)
        finally:
            xlib.XCloseDisplay(display)

    def env(self, extra=None):
        env = dict(os.environ, DISPLAY=self.name)
        env.update(extra or {})
        return env

    def run(self, args, check=True, timeout=10, env=None):
        return subprocess.run(args, env=env or self.env(), capture_output=True, text=True,
                              check=check, timeout=timeout)

    def stop(self):
        end_processes(self.processes)
        shutil.rmtree(self.folder, ignore_errors=True)

    # --- a person's hands and eyes -------------------------------------------------------------

    def pointer(self):
        out = self.run(["xdotool", "getmouselocation", "--shell"]).stdout
        fields = dict(line.split("=", 1) for line in out.split())
        return int(fields["X"]), int(fields["Y"])

    def move(self, x, y):
        # --sync waits for the pointer to move, and would wait forever if it is there already.
        if self.pointer() != (x, y):
            self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def click(self, x, y, button=1):
        self.move(x, y)
        self.run(["xdotool", "click", str(button)])

    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "30", *keys])

    def windows(self, title):
        result = self.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                          check=False)
        return [int(w) for w in result.stdout.split()]

    def wait_window(self, title, timeout=10.0):
        return wait_until(lambda: self.windows(title), timeout=timeout,
                          what=f"window {title!r}")[0]

    def wait_no_window(self, title, timeout=10.0):
        wait_until(lambda: not self.windows(title), timeout=timeout,
                   what=f"window {title!r} to go")

    def geometry(self, window):
        """Client area (x, y, width, height) in root coordinates, as xwininfo reports it."""
        out = self.run(["xwininfo", "-id", str(window)]).stdout
        fields = {}
        for line in out.splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                fields[key.strip()] = value.strip()
        return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]))

    def screenshot(self, path=None):
        """The whole screen as a (width, height, rgb bytes) triple; also saved to path."""
        raw = subprocess.run(["import", "-display", self.name, "-window", "root", "-depth", "8", "ppm:-"],
                             capture_output=True, check=True, timeout=20).stdout
        if path:
            subprocess.run(["convert", "ppm:-", path], input=raw, check=True)
        return Image(raw)

    def pixel(self, x, y):
        """The color of one screen pixel, grabbed from the X server."""
        raw = subprocess.run(["import", "-display", self.name, "-window", "root", "-crop",
                              f"1x1+{x}+{y}", "-depth", "8", "ppm:-"], capture_output=True, check=True,
                             timeout=20).stdout
        return Image(raw).pixel(0, 0)

    def set_root_image(self, width, height, color_of):
        """Fills the root window with an image whose pixel (x, y) has color_of(x, y)."""
        rows = bytearray()
        for y in range(height):
            for x in range(width):
                rows += bytes(color_of(x, y))
        ppm = b"P6 %d %d 255\n" % (width, height) + bytes(rows)
        # display exits with status 1 even when it has set the background; check the pixels.
        subprocess.run(["display", "-window", "root", "ppm:-"], input=ppm, env=self.env(),
                       capture_output=True, timeout=60)
        for x, y in [(0, 0), (width - 1, height - 1)]:
            if self.pixel(x, y) != tuple(color_of(x, y)):
                raise RuntimeError("the root window does not show the image")

    def clipboard(self):
        """The clipboard's text, or None when it holds none."""
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env(),
                                capture_output=True, timeout=5)
        return result.stdout.decode() if result.returncode == 0 else None

    def set_clipboard(self, text):
        """Puts text on the clipboard from a helper that keeps serving it until it is replaced."""
        process = subprocess.Popen(["xclip", "-i", "-selection", "clipboard", "-quiet"],
                                   env=self.env(), stdin=subprocess.PIPE,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        process.stdin.write(text.encode())
        process.stdin.close()
        self.processes.append(process)
        wait_until(lambda: self.clipboard() == text, what="the clipboard")

    def close_window(self, window):
        """Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW)."""
        xlib = load_xlib()
        display = xlib.XOpenDisplay(self.name.encode())
        protocols = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        delete = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                        ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                        ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                        ("pad", ctypes.c_long * 12)]

        event = ClientMessage(type=33, window=window, message_type=protocols, format=32)
        event.data[0] = delete
        event.data[1] = 0  # CurrentTime
        xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        xlib.XFlush(display)
        xlib.XCloseDisplay(display)


class Image:
    """A PPM screenshot with pixel access."""

    def __init__(self, ppm):
        parts = []
        index = 0
        while len(parts) < 4:
            while ppm[index:index + 1].isspace():
                index += 1
            start = index
            while not ppm[index:index + 1].isspace():
                index += 1
            parts.append(ppm[start:index])
        index += 1
        assert parts[0] == b"P6" and parts[3] == b"255", parts
        self.width, self.height = int(parts[1]), int(parts[2])
        self.pixels = ppm[index:]

    def pixel(self, x, y):
        offset = 3 * (y * self.width + x)
        return tuple(self.pixels[offset:offset + 3])

    def find(self, rgb):
        """Every (x, y) whose pixel is rgb."""
        needle, found, at = bytes(rgb), [], self.pixels.find(bytes(rgb))
        while at >= 0:
            if at % 3 == 0:
                found.append(((at // 3) % self.width, (at // 3) // self.width))
            at = self.pixels.find(needle, at + 1)
        return found


class App:
    """Huebrook copied into a fresh folder (the palette lives beside it) with a fresh HOME."""

    def __init__(self, display, folder=None, name="huebrook", extra_env=None):
        if not EXECUTABLE:
            raise unittest.SkipTest("HUEBROOK_EXE is not set")
        self.display = display
        self.root = folder or tempfile.mkdtemp(prefix="huebrook-e2e-")
        self.folder = os.path.join(self.root, "app")
        os.makedirs(self.folder, exist_ok=True)
        self.executable = os.path.join(self.folder, name)
        if not os.path.exists(self.executable):
            shutil.copy2(EXECUTABLE, self.executable)
        home = os.path.join(self.root, "home")
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(home, exist_ok=True)
        os.makedirs(runtime, exist_ok=True)
        os.chmod(runtime, 0o700)
        self.env = display.env({"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                                "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
                                "XDG_RUNTIME_DIR": runtime, **(extra_env or {})})
        self.processes = []

    @property
    def palette_path(self):
        return os.path.join(self.folder, "pal.hbk")

    def write_palette(self, data):
        with open(self.palette_path, "wb") as f:
            f.write(data)

    def palette(self):
        with open(self.palette_path, "rb") as f:
            return f.read()

    def run_as_nobody(self):
        """Later starts run as the unprivileged user nobody, who owns the program's folders."""
        for folder, _, files in os.walk(self.root):
            os.chown(folder, 65534, 65534)
            for name in files:
                os.chown(os.path.join(folder, name), 65534, 65534)
        os.chmod(self.root, 0o755)
        self.prefix = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]

    prefix = []

    def start(self, wait=True, args=(), capture=False):
        """Starts the program; with capture, its standard output and error are pipes."""
        output = subprocess.PIPE if capture else subprocess.DEVNULL
        process = subprocess.Popen(self.prefix + [self.executable, *args], cwd=self.root,
                                   env=self.env, stdout=output, stderr=output, text=True)
        self.processes.append(process)
        if wait:
            self.window = self.display.wait_window(TITLE)
            x, y, _, _ = self.display.geometry(self.window)
            # Mapped is not painted: wait for the window's own background to show.
            wait_until(lambda: self.display.pixel(x + 1, y + 1) != (0, 0, 0),
                       what="the main window to be painted")
        return process

    def stop(self):
        end_processes(self.processes)

    def cleanup(self):
        self.stop()
        os.chmod(self.folder, 0o755)
        shutil.rmtree(self.root, ignore_errors=True)

    def origin(self):
        x, y, _, _ = self.display.geometry(self.window)
        return x, y

    def open_popup(self, dx, dy):
        """Right-clicks at (dx, dy) of the client area and waits for the popup menu to map."""
        before = set(self.display.windows(""))
        self.click_control(dx, dy, button=3)
        wait_until(lambda: set(self.display.windows("")) - before, what="the popup menu")

    def click_control(self, dx, dy, button=1):
        """Clicks at (dx, dy) of the main window's client area."""
        x, y = self.origin()
        self.display.click(x + dx, y + dy, button)


class E2ETestCase(unittest.TestCase):
    """A fresh display and a fresh copy of the program for every test."""

    window_manager = False
    screen = (1280, 1024)
    extra_env = None

    screens = None

    def setUp(self):
        self.display = Display(*self.screen, window_manager=self.window_manager,
                               screens=self.screens)
        self.addCleanup(self.display.stop)
        self.app = App(self.display, extra_env=self.extra_env)
        self.addCleanup(self.app.cleanup)
