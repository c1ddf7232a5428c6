"""The palette grid, the Edit menu and the copy formats, driven with the mouse and keyboard."""

import os
import subprocess
import unittest

from harness import E2ETestCase, TITLE, end_processes, hex_record, pattern, wait_until


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
        self.choose_file(5, "Export Palette", target)
        wait_until(lambda: os.path.exists(target), what="the exported palette")
        with open(target, "rb") as f:
            self.assertEqual(f.read(), b"GIMP Palette\nName: mine\nColumns: 10\n#\n"
                                       b" 12  11  10\t#0C0B0A\n255 128   0\t#FF8000\n")
        self.choose_file(6, "Import Palette", target)
        wait_until(lambda: self.app.palette() == b"0C0B0AFF80000C0B0AFF8000",
                   what="the imported colors")

    def test_the_name_chooses_the_format_and_the_content_is_recognised(self):
        self.app.write_palette(b"0C0B0AFF8000")
        self.app.start()
        target = os.path.join(self.app.root, "mine.kpl")
        self.choose_file(5, "Export Palette", target)
        wait_until(lambda: os.path.exists(target), what="the exported palette")
        with open(target, "rb") as f:
            self.assertEqual(f.read(38 + 16)[-16:], b"krita/x-colorset")
        # The same file under a name that says nothing is still read as Krita's.
        renamed = os.path.join(self.app.root, "colors.dat")
        os.rename(target, renamed)
        self.choose_file(6, "Import Palette", renamed)
        wait_until(lambda: self.app.palette() == b"0C0B0AFF80000C0B0AFF8000",
                   what="the imported colors")


if __name__ == "__main__":
    unittest.main()


class UndoAndPalettes(E2ETestCase):
    """Undo and Redo, the grid's pages and the named palettes, with the keyboard, the wheel and
    the command line."""

    def swatch(self, j):
        x0, y0 = self.app.origin()
        dx, dy = swatch_centre(j)
        return self.display.pixel(x0 + dx, y0 + dy)

    def test_delete_and_clean_duplicate_undone_byte_for_byte(self):
        palette = record_bytes(1) + record_bytes(2) + record_bytes(1) + record_bytes(3)
        self.app.write_palette(palette)
        self.app.start()
        self.app.open_popup(*swatch_centre(1))
        self.display.key("Down", "Down", "Return")  # Delete
        wait_until(lambda: self.app.palette() == palette[:12] + palette[18:], what="Delete")
        # Another program appends meanwhile; the undo keeps its record.
        with open(self.app.palette_path, "ab") as f:
            f.write(record_bytes(9))
        self.display.key("ctrl+z")
        wait_until(lambda: self.app.palette() == palette + record_bytes(9), what="the undo")
        self.app.open_popup(*swatch_centre(0))
        self.display.key("Down", "Down", "Down", "Return")  # Clean Duplicate
        cleaned = record_bytes(1) + record_bytes(2) + record_bytes(3) + record_bytes(9)
        wait_until(lambda: self.app.palette() == cleaned, what="Clean Duplicate")
        self.display.key("ctrl+z")
        wait_until(lambda: self.app.palette() == palette + record_bytes(9), what="the undo")
        self.display.key("ctrl+y")
        wait_until(lambda: self.app.palette() == cleaned, what="the redo")

    def test_handed_over_pick_and_import_are_undone_in_the_running_one(self):
        self.display.set_root_image(*self.screen, pattern)
        self.display.move(300, 200)
        self.app.write_palette(b"0C0B0A")
        self.app.start()
        once = self.app.start(wait=False, capture=True, args=["--pick", "--once"])
        self.display.wait_window("Screen Color")
        self.display.run(["xdotool", "click", "1"])
        self.assertEqual(once.communicate(timeout=10)[0], "#%02X%02X%02X\n" % pattern(300, 200))
        source = os.path.join(self.app.root, "in.gpl")
        with open(source, "w") as f:
            f.write("GIMP Palette\n1 2 3\n4 5 6\n")
        imported = subprocess.run([self.app.executable, "--import", source], env=self.app.env,
                                  capture_output=True, timeout=30)
        self.assertEqual(imported.returncode, 0)
        picked = hex_record(pattern(300, 200))
        self.assertEqual(self.app.palette(), b"0C0B0A" + picked + b"010203040506")
        window = self.display.wait_window(TITLE)
        self.display.run(["xdotool", "windowactivate", "--sync", str(window)], check=False)
        self.app.click_control(*swatch_centre(0))
        self.display.key("ctrl+z")
        wait_until(lambda: self.app.palette() == b"0C0B0A" + picked, what="the import undone")
        self.display.key("ctrl+z")
        wait_until(lambda: self.app.palette() == b"0C0B0A", what="the pick undone")

    def test_the_wheel_turns_to_page_two_and_delete_acts_there(self):
        self.app.write_palette(b"".join(record_bytes(n) for n in range(1, 151)))
        self.app.start()
        x0, y0 = self.app.origin()
        dx, dy = swatch_centre(55)
        self.display.move(x0 + dx, y0 + dy)
        self.display.run(["xdotool", "click", "5"])  # wheel down
        wait_until(lambda: self.swatch(0) == record_rgb(50), what="page 2")
        self.app.open_popup(*swatch_centre(3))  # record 47
        self.display.key("Down", "Down", "Return")
        expected = b"".join(record_bytes(n) for n in range(1, 151) if n != 47)
        wait_until(lambda: self.app.palette() == expected, what="record 47 deleted")

    def test_named_palettes_from_the_command_line_and_across_a_restart(self):
        self.display.set_root_image(*self.screen, pattern)
        self.display.move(300, 200)
        self.app.write_palette(b"0C0B0A")
        bad = subprocess.run([self.app.executable, "--pick", "--palette", "../up"],
                             env=self.app.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(bad.returncode, 2)
        self.assertEqual(len(bad.stderr.splitlines()), 1)
        self.assertIn("../up", bad.stderr)
        once = self.app.start(wait=False, capture=True,
                              args=["--pick", "--once", "--palette", "brand"])
        self.display.wait_window("Screen Color")
        self.display.run(["xdotool", "click", "1"])
        self.assertEqual(once.communicate(timeout=10)[0], "#%02X%02X%02X\n" % pattern(300, 200))
        brand = os.path.join(self.app.folder, "brand.hbk")
        with open(brand, "rb") as f:
            self.assertEqual(f.read(), hex_record(pattern(300, 200)))
        self.assertEqual(self.app.palette(), b"0C0B0A")
        # A switch to it, kept for the next start.
        first = self.app.start(args=["--palette", "brand"])
        wait_until(lambda: self.swatch(0) == pattern(300, 200), what="brand's color")
        # Not under a picking: the caller is told.
        subprocess.run([self.app.executable, "--pick"], env=self.app.env, timeout=30, check=True)
        self.display.wait_window("Screen Color")
        busy = subprocess.run([self.app.executable, "--palette", "pal"], env=self.app.env,
                              capture_output=True, text=True, timeout=30)
        self.assertEqual((busy.returncode, busy.stderr),
                         (1, "Huebrook is picking: the palette was not switched.\n"))
        self.display.key("Escape")
        self.display.wait_window(TITLE)
        end_processes([first])
        self.app.start()
        wait_until(lambda: self.swatch(0) == pattern(300, 200), what="brand again")
