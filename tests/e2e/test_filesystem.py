"""File-system failures, each shown to the user in a message, with nothing stored lost: a full
disk, a folder that cannot be written, a palette that is a folder, and one that is a link."""

import os
import shutil
import subprocess
import tempfile
import unittest

from harness import E2ETestCase, TITLE, wait_until

MESSAGE = "Huebrook"  # the title of every message box of ours
DUPLICATES = b"AAAAAABBBBBBAAAAAACCCCCCBBBBBB"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def swatch(j):
    return 6 + (j % 10) * 17 + 9, 170 + (j // 10) * 17 + 9


class Commands(E2ETestCase):
    """The commands a person gives the grid, and the message they get; no tests of its own."""

    def clean_duplicate(self):
        self.app.open_popup(*swatch(0))
        self.display.key("Down", "Down", "Down", "Return")

    def delete_newest(self):
        self.app.open_popup(*swatch(0))
        self.display.key("Down", "Down", "Return")

    def dismiss_message(self):
        self.display.wait_window(MESSAGE)
        self.display.key("Return")
        self.display.wait_no_window(MESSAGE)


class FullDisk(Commands):
    """Apart from the others, so that a machine without root reports it as skipped."""

    def test_full_disk(self):
        if os.geteuid() != 0:
            self.skipTest("mounting a small file system needs root")
        mount = tempfile.mkdtemp(prefix="huebrook-full-")
        self.addCleanup(shutil.rmtree, mount, True)
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", mount]).returncode:
            self.skipTest("this machine does not allow mounting")
        self.addCleanup(subprocess.run, ["umount", mount])
        real = os.path.join(mount, "pal.hbk")
        with open(real, "wb") as f:
            f.write(DUPLICATES)
        os.symlink(real, self.app.palette_path)
        # Fill the file system to the last byte.
        filler = os.open(os.path.join(mount, "filler"), os.O_WRONLY | os.O_CREAT, 0o644)
        try:
            while os.write(filler, b"\0" * 512):
                pass
        except OSError:
            pass
        os.close(filler)
        self.app.start()
        for command in (self.clean_duplicate, self.delete_newest):
            command()
            self.dismiss_message()
            self.assertEqual(read(real), DUPLICATES)
            self.assertEqual(sorted(os.listdir(mount)), ["filler", "pal.hbk"])


class FileSystem(Commands):
    def test_folder_that_cannot_be_written(self):
        self.app.write_palette(DUPLICATES)
        self.app.run_as_nobody()
        self.app.start()
        os.chmod(self.app.folder, 0o555)  # taken away while the program runs
        self.clean_duplicate()
        self.dismiss_message()
        self.assertEqual(self.app.palette(), DUPLICATES)
        self.assertFalse(os.path.exists(os.path.join(self.app.folder, "pal.tmp")))

    def test_palette_that_is_a_folder(self):
        os.mkdir(self.app.palette_path)
        self.app.start(wait=False)
        self.dismiss_message()  # reported while the window is created
        self.app.window = self.display.wait_window(TITLE)
        self.assertTrue(os.path.isdir(self.app.palette_path))

    def test_palette_that_is_a_link(self):
        target_dir = tempfile.mkdtemp(prefix="huebrook-link-")
        self.addCleanup(shutil.rmtree, target_dir, True)
        target = os.path.join(target_dir, "colors.hbk")
        with open(target, "wb") as f:
            f.write(DUPLICATES)
        os.symlink(target, self.app.palette_path)
        self.app.start()
        self.clean_duplicate()
        wait_until(lambda: read(target) == b"AAAAAABBBBBBCCCCCC",
                   what="the link's target to be cleaned")
        self.assertTrue(os.path.islink(self.app.palette_path))


if __name__ == "__main__":
    unittest.main()
