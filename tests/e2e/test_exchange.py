"""Palettes to and from other programs' files, as a person would move them: --export and
--import without a display, --import handed to a running Huebrook, bad files refused with the
palette untouched, and the files read by Krita and LibreOffice themselves where the machine has
them."""

import os
import shutil
import subprocess
import tempfile
import unittest
import zipfile

from harness import E2ETestCase, wait_until
from test_palette import swatch_centre

PALETTE = b"7654CDFF80000C0B0AFF8000"
HEXES = ["#7654CD", "#FF8000", "#0C0B0A", "#FF8000"]
FORMATS = ["gpl", "ase", "aco", "kpl", "soc", "css"]


class Headless(E2ETestCase):
    """No display at all: the commands must not need one."""

    def run_command(self, *args):
        env = {k: v for k, v in self.app.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        return subprocess.run([self.app.executable, *args], env=env, cwd=self.app.root,
                              capture_output=True, text=True, timeout=30)

    def test_export_then_import_every_format(self):
        self.app.write_palette(PALETTE)
        for extension in FORMATS:
            with self.subTest(extension):
                run = self.run_command("--export", f"out.{extension}")
                self.assertEqual((run.returncode, run.stderr), (0, ""))
                self.assertTrue(os.path.getsize(os.path.join(self.app.root, f"out.{extension}")))
        for extension in FORMATS[:-1]:
            with self.subTest(extension):
                self.app.write_palette(b"000000")
                run = self.run_command("--import", f"out.{extension}")
                self.assertEqual((run.returncode, run.stderr), (0, ""))
                # A color table keeps one of each color.
                expected = PALETTE[:18] if extension == "soc" else PALETTE
                self.assertEqual(self.app.palette(), b"000000" + expected)
        run = self.run_command("--export", "out.txt")
        self.assertEqual(run.returncode, 2)
        self.assertIn('".txt"', run.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.app.root, "out.txt")))
        run = self.run_command("--export", "no/such/folder/out.ase")
        self.assertEqual(run.returncode, 1)
        self.assertEqual(len(run.stderr.splitlines()), 1)
        self.assertIn("no/such/folder/out.ase", run.stderr)

    def test_bad_files_leave_the_palette_as_it_was(self):
        self.app.write_palette(PALETTE)
        good = os.path.join(self.app.root, "good.ase")
        self.assertEqual(self.run_command("--export", good).returncode, 0)
        with open(good, "rb") as f:
            ase = f.read()
        bomb = os.path.join(self.app.root, "bomb.kpl")
        with zipfile.ZipFile(bomb, "w", compression=zipfile.ZIP_DEFLATED) as z:
            z.writestr("mimetype", "krita/x-colorset", compress_type=zipfile.ZIP_STORED)
            with z.open("colorset.xml", "w", force_zip64=True) as f:
                f.write(b'<?xml version="1.0"?><ColorSet version="2.0">')
                for _ in range(256):
                    f.write(b" " * (1 << 20))
        cases = {"truncated.ase": (ase[:-5], "runs past the end"),
                 "count.ase": (ase[:8] + b"\x00\x01\x00\x00" + ase[12:], "runs past the end"),
                 "laughs.soc": (b'<?xml version="1.0"?><!DOCTYPE t [<!ENTITY a "aaaaaaaaaa">]>'
                                b"<t>&a;</t>", "DTD"),
                 "picture.gpl": (b"\x89PNG\r\n\x1a\n", "no GIMP"),
                 "bomb.kpl": (None, "inflates past 16 MiB")}
        for name, (data, reason) in cases.items():
            with self.subTest(name):
                path = os.path.join(self.app.root, name)
                if data is not None:
                    with open(path, "wb") as f:
                        f.write(data)
                run = self.run_command("--import", path)
                self.assertEqual(run.returncode, 2, run.stderr)
                self.assertEqual(len(run.stderr.splitlines()), 1)
                self.assertIn(path, run.stderr)
                self.assertIn(reason, run.stderr)
                self.assertEqual(self.app.palette(), PALETTE)
        run = self.run_command("--import", "missing.kpl")
        self.assertEqual(run.returncode, 1)
        self.assertIn("missing.kpl", run.stderr)
        self.assertEqual(self.app.palette(), PALETTE)

    def test_libreoffice_palettes_come_in_order(self):
        folder = "/usr/lib/libreoffice/share/palette"
        if not os.path.isdir(folder):
            self.skipTest("LibreOffice is not installed")
        import xml.etree.ElementTree as ElementTree
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".soc"):
                continue
            with self.subTest(name):
                path = os.path.join(folder, name)
                expected = b"".join(
                    element.get(key)[1:].upper().encode()
                    for element in ElementTree.parse(path).iter()
                    for key in element.keys() if element.tag.endswith("}color")
                    and key.endswith("}color"))
                self.app.write_palette(b"")
                run = self.run_command("--import", path)
                self.assertEqual((run.returncode, run.stderr), (0, ""))
                self.assertEqual(self.app.palette(), expected)


class HandedOver(E2ETestCase):
    def test_import_goes_to_the_running_huebrook_and_its_grid_follows(self):
        self.app.write_palette(b"0C0B0A")
        self.app.start()
        source = os.path.join(self.app.root, "in.aco")
        with open(source, "wb") as f:
            # Photoshop swatches: version 1, one RGB color, 0x20 0x40 0xC0 each times 257.
            f.write(bytes.fromhex("00010001" "0000" "2020" "4040" "c0c0" "0000"))
        run = subprocess.run([self.app.executable, "--import", "in.aco"], env=self.app.env,
                             cwd=self.app.root, capture_output=True, text=True, timeout=30)
        self.assertEqual((run.returncode, run.stderr), (0, ""))
        self.assertEqual(self.app.palette(), b"0C0B0A2040C0")
        x0, y0 = self.app.origin()
        dx, dy = swatch_centre(0)
        wait_until(lambda: self.display.pixel(x0 + dx, y0 + dy) == (0x20, 0x40, 0xC0),
                   what="the imported color in swatch 0")
        bad = os.path.join(self.app.root, "bad.ase")
        with open(bad, "wb") as f:
            f.write(b"ASEF\x00\x01")
        run = subprocess.run([self.app.executable, "--import", bad], env=self.app.env,
                             cwd=self.app.root, capture_output=True, text=True, timeout=30)
        self.assertEqual(run.returncode, 2)
        self.assertIn(bad, run.stderr)
        self.assertEqual(self.app.palette(), b"0C0B0A2040C0")
        # A FIFO that no one writes to would hold the running one for ever if it were opened
        # for reading: it is refused at once, and the running one goes on taking requests.
        fifo = os.path.join(self.app.root, "pipe.gpl")
        os.mkfifo(fifo)
        run = subprocess.run([self.app.executable, "--import", fifo], env=self.app.env,
                             cwd=self.app.root, capture_output=True, text=True, timeout=30)
        self.assertEqual(run.returncode, 1)
        self.assertIn("not a regular file", run.stderr)
        run = subprocess.run([self.app.executable, "--import", "in.aco"], env=self.app.env,
                             cwd=self.app.root, capture_output=True, text=True, timeout=30)
        self.assertEqual((run.returncode, run.stderr), (0, ""))
        self.assertEqual(self.app.palette(), b"0C0B0A2040C02040C0")


KRITA_SCRIPT = '''
from krita import Krita, Palette

def __main__(args):
    for resource in Krita.instance().resources("palette").values():
        if resource.filename().startswith("hb-"):
            palette = Palette(resource)
            names = []
            for i in range(palette.colorsCountTotal()):
                swatch = palette.colorSetEntryByIndex(i)
                b, g, r, _ = swatch.color().components()
                names.append("%s=%02X%02X%02X" % (swatch.name().rstrip("\\0"), round(r * 255),
                                                  round(g * 255), round(b * 255)))
            print("HB", resource.filename(), " ".join(names), flush=True)
'''

LIBREOFFICE_SCRIPT = '''
import subprocess, sys, time, uno
from com.sun.star.connection import NoConnectException
profile = sys.argv[1]
office = subprocess.Popen(["soffice", "--headless", "--invisible", "--norestore", "--nologo",
                           "-env:UserInstallation=file://" + profile,
                           "--accept=pipe,name=huebrook%s;urp;" % sys.argv[2]],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(600):
        try:
            context = resolver.resolve(
                "uno:pipe,name=huebrook%s;urp;StarOffice.ComponentContext" % sys.argv[2])
            break
        except NoConnectException:
            time.sleep(0.1)
    table = context.ServiceManager.createInstanceWithContext(
        "com.sun.star.drawing.ColorTable", context)
    print(" ".join("%s=%06X" % (n, table.getByName(n)) for n in table.getElementNames()))
finally:
    office.terminate()
    office.wait()
'''


class ReadByTheirPrograms(E2ETestCase):
    """Our files in the programs they are for, as a person would check them."""

    def export(self, path):
        env = {k: v for k, v in self.app.env.items() if k != "DISPLAY"}
        run = subprocess.run([self.app.executable, "--export", path], env=env,
                             cwd=self.app.root, capture_output=True, text=True, timeout=30)
        self.assertEqual((run.returncode, run.stderr), (0, ""))

    def test_krita_opens_our_palettes_with_the_very_colors_in_order(self):
        if not shutil.which("kritarunner"):
            self.skipTest("Krita is not installed")
        self.app.write_palette(PALETTE)
        home = tempfile.mkdtemp(prefix="huebrook-krita-")
        self.addCleanup(shutil.rmtree, home, True)
        palettes = os.path.join(home, ".local", "share", "kritarunner", "palettes")
        os.makedirs(palettes)
        for extension in ["gpl", "ase", "aco", "kpl"]:
            self.export(os.path.join(palettes, f"hb-{extension}.{extension}"))
        with open(os.path.join(home, "hbcheck.py"), "w") as f:
            f.write(KRITA_SCRIPT)
        env = {k: v for k, v in self.app.env.items() if k != "DISPLAY"}
        # Krita's Python finds its own modules from the system's python3, not another one first
        # on the path.
        env.update(HOME=home, QT_QPA_PLATFORM="offscreen", PYTHONPATH=home, PATH="/usr/bin:/bin",
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CONFIG_HOME=os.path.join(home, ".config"))
        run = subprocess.run(["kritarunner", "-s", "hbcheck"], env=env, cwd=home,
                             capture_output=True, timeout=300)
        lines = sorted(line.decode(errors="replace") for line in run.stdout.splitlines()
                       if line.startswith(b"HB "))
        expected = " ".join(f"{h}={h[1:]}" for h in HEXES)
        self.assertEqual(lines, [f"HB hb-{e}.{e} {expected}" for e in ["aco", "ase", "gpl", "kpl"]],
                         run.stderr[-2000:])

    def test_libreoffice_opens_our_color_table(self):
        python = "/usr/bin/python3"
        if not shutil.which("soffice") or subprocess.run(
                [python, "-c", "import uno"], capture_output=True).returncode != 0:
            self.skipTest("LibreOffice with its Python bridge is not installed")
        self.app.write_palette(PALETTE)
        profile = tempfile.mkdtemp(prefix="huebrook-office-")
        self.addCleanup(shutil.rmtree, profile, True)
        config = os.path.join(profile, "user", "config")
        os.makedirs(config)
        # LibreOffice's color table is the profile's standard.soc.
        self.export(os.path.join(config, "standard.soc"))
        script = os.path.join(profile, "check.py")
        with open(script, "w") as f:
            f.write(LIBREOFFICE_SCRIPT)
        run = subprocess.run([python, script, profile, str(os.getpid())], capture_output=True,
                             text=True, timeout=120, env=dict(os.environ, HOME=profile))
        self.assertEqual(run.stdout.split(), [f"{h}={h[1:]}" for h in HEXES[:3]], run.stderr)


if __name__ == "__main__":
    unittest.main()
