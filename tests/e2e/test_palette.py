"""The palette grid, the Edit menu and the copy formats, driven with the mouse and keyboard."""

import os
import unittest

from harness import E2ETestCase, wait_until


def record_bytes(n):
    return b"%02X%02X%02X" % ((n * 37) % 256, (n * 91) % 256, (n * 53 + 7) % 256)


def record_rgb(n):
    return ((n * 37) % 256, (n * 91) % 256, (n * 53 + 7) % 256)


def swatch_centre(j):
    return 6 + (j % 10) * 17 + 9, 170 + (j // 10) * 17 + 9


class Grid(E2ETestCase):
    def test_150_records_newest_first(self):
        self.app.write_palette(b"".join(record_bytes(n) for n in range(1, 151)))
        self.app.start()
        x0, y0 = self.app.origin()
        shot = self.display.screenshot()
        for j in range(100):
            dx, dy = swatch_centre(j)
            self.assertEqual(shot.pixel(x0 + dx, y0 + dy), record_rgb(150 - j), f"swatch {j}")

    def test_delete_with_the_keyboard(self):
        self.app.write_palette(record_bytes(1) + record_bytes(2) + record_bytes(3))
        self.app.start()
        self.app.open_popup(*swatch_centre(1))
        self.display.key("Down", "Down", "Return")
        wait_until(lambda: self.app.palette() == record_bytes(1) + record_bytes(3),
                   what="the record to be deleted")

    def test_copy_items_from_the_preview(self):
        self.app.write_palette(b"0C0B0A")
        self.app.start()
        expected = ["#0C0B0A", '"#0C0B0A"', "0C0B0A", '"0C0B0A"', "12,11,10", "RGB(12,11,10)",
                    "Hex={0C,0B,0A}"]
        for index, text in enumerate(expected):
            self.app.open_popup(39, 47)  # lblcolor
            self.display.key("Down", "Right", *(["Down"] * index), "Return")
            wait_until(lambda: self.display.clipboard() == text, what=f"clipboard {text!r}")


class Exchange(E2ETestCase):
    window_manager = True  # the file dialog gets the keyboard

    def choose_file(self, item, title, path):
        """Chooses Edit menu item number `item` and answers its file dialog with `path`."""
        self.app.open_popup(*swatch_centre(0))
        self.display.key(*(["Down"] * item), "Return")
        self.display.wait_window(title)
        self.display.key("ctrl+a")
        self.display.run(["xdotool", "type", "--delay", "5", path])
        self.display.key("Return")
        self.display.wait_no_window(title)

    def test_export_then_import_a_gimp_palette(self):
        self.app.write_palette(b"0C0B0AFF8000")
        self.app.start()
        target = os.path.join(self.app.root, "mine.gpl")
        self.choose_file(4, "Export Palette", target)
        wait_until(lambda: os.path.exists(target), what="the exported palette")
        with open(target, "rb") as f:
            self.assertEqual(f.read(), b"GIMP Palette\nName: mine\nColumns: 10\n#\n"
                                       b" 12  11  10\t#0C0B0A\n255 128   0\t#FF8000\n")
        self.choose_file(5, "Import Palette", target)
        wait_until(lambda: self.app.palette() == b"0C0B0AFF80000C0B0AFF8000",
                   what="the imported colors")

    def test_the_name_chooses_the_format_and_the_content_is_recognised(self):
        self.app.write_palette(b"0C0B0AFF8000")
        self.app.start()
        target = os.path.join(self.app.root, "mine.kpl")
        self.choose_file(4, "Export Palette", target)
        wait_until(lambda: os.path.exists(target), what="the exported palette")
        with open(target, "rb") as f:
            self.assertEqual(f.read(38 + 16)[-16:], b"krita/x-colorset")
        # The same file under a name that says nothing is still read as Krita's.
        renamed = os.path.join(self.app.root, "colors.dat")
        os.rename(target, renamed)
        self.choose_file(5, "Import Palette", renamed)
        wait_until(lambda: self.app.palette() == b"0C0B0AFF80000C0B0AFF8000",
                   what="the imported colors")


if __name__ == "__main__":
    unittest.main()
