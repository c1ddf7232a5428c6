"""The Debian package: lintian finds nothing to warn of, and it builds, installs with apt-get,
runs from the application menu's command with its palette in the per-user data folder, and
uninstalls."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from harness import Display, TITLE, wait_until  # noqa: E402

BUILD_DIR = os.environ.get("HUEBROOK_BUILD_DIR", "")


def as_root(args):
    prefix = [] if os.geteuid() == 0 else ["sudo", "-n"]
    return subprocess.run(prefix + args, capture_output=True, text=True,
                          env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"), timeout=600)


def can_be_root():
    if os.geteuid() == 0:
        return True
    return shutil.which("sudo") and subprocess.run(["sudo", "-n", "true"],
                                                   capture_output=True).returncode == 0


def build_package(folder):
    subprocess.run(["cpack", "-G", "DEB", "-B", folder], cwd=BUILD_DIR, check=True,
                   capture_output=True, timeout=300)
    return glob.glob(os.path.join(folder, "huebrook_*.deb"))


class Lintian(unittest.TestCase):
    def test_no_error_warning_or_hardening_tag(self):
        if not BUILD_DIR or not shutil.which("lintian"):
            self.skipTest("lintian or HUEBROOK_BUILD_DIR is missing")
        work = tempfile.mkdtemp(prefix="huebrook-lintian-")
        self.addCleanup(shutil.rmtree, work, True)
        packages = build_package(work)
        self.assertEqual(len(packages), 1)
        run = subprocess.run(["lintian", "--tag-display-limit", "0", "--display-info",
                              packages[0]], capture_output=True, text=True, timeout=600)
        tags = [line for line in run.stdout.splitlines()
                if line.startswith(("E:", "W:")) or "hardening" in line]
        self.assertEqual(tags, [], run.stdout)


class Package(unittest.TestCase):
    def setUp(self):
        if not BUILD_DIR:
            self.skipTest("HUEBROOK_BUILD_DIR is not set")
        if not can_be_root():
            self.skipTest("installing a package needs root or sudo without a password")
        self.work = tempfile.mkdtemp(prefix="huebrook-deb-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def test_install_run_remove(self):
        packages = build_package(self.work)
        self.assertEqual(len(packages), 1)
        installed = as_root(["apt-get", "install", "-y", "-q", packages[0]])
        self.assertEqual(installed.returncode, 0, installed.stdout + installed.stderr)
        self.addCleanup(as_root, ["apt-get", "remove", "-y", "-q", "huebrook"])
        with open("/usr/share/applications/org.example.huebrook.desktop") as entry:
            lines = entry.read().splitlines()
        # KWin's screenshots go to the program an entry names by its absolute path.
        self.assertIn("Exec=/usr/bin/huebrook", lines)
        self.assertIn("Exec=/usr/bin/huebrook --pick", lines)
        self.assertIn("X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2", lines)

        display = Display(1024, 768)
        self.addCleanup(display.stop)
        home = os.path.join(self.work, "home")
        runtime = os.path.join(self.work, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        data = os.path.join(home, ".local", "share")
        env = display.env({"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                           "XDG_DATA_HOME": data, "XDG_RUNTIME_DIR": runtime})
        process = subprocess.Popen(["huebrook"], env=env, cwd=self.work,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            display.wait_window(TITLE)
            palette = os.path.join(data, "huebrook", "huebrook", "pal.hbk")
            wait_until(lambda: os.path.isfile(palette), what="the palette in the data folder")
            self.assertFalse(os.path.exists("/usr/bin/pal.hbk"))
        finally:
            process.terminate()
            process.wait(timeout=10)

        removed = as_root(["apt-get", "remove", "-y", "-q", "huebrook"])
        self.assertEqual(removed.returncode, 0, removed.stdout + removed.stderr)
        self.assertFalse(os.path.exists("/usr/bin/huebrook"))


if __name__ == "__main__":
    unittest.main()
