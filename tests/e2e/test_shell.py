"""The application shell, driven as a person would: start, second start, position, About box."""

import os
import subprocess
import unittest

from harness import E2ETestCase, TITLE, wait_until


class FirstStart(E2ETestCase):
    def test_first_start_is_centred_with_an_empty_palette(self):
        self.app.start()
        x, y, width, height = self.display.geometry(self.app.window)
        self.assertEqual((width, height), (186, 348))
        self.assertEqual((x, y), ((1280 - 186) // 2, (1024 - 348) // 2))
        self.assertTrue(os.path.isfile(self.app.palette_path))
        self.assertEqual(os.path.getsize(self.app.palette_path), 0)

    def test_second_start_ends_and_one_window_remains(self):
        first = self.app.start()
        second = self.app.start(wait=False)
        self.assertEqual(second.wait(timeout=10), 0)
        self.assertIsNone(first.poll())
        self.assertEqual(len(self.display.windows(TITLE)), 1)

    def test_twenty_simultaneous_starts_give_one_window(self):
        processes = [self.app.start(wait=False) for _ in range(20)]
        self.app.window = self.display.wait_window(TITLE)
        wait_until(lambda: sum(p.poll() is not None for p in processes) >= 19, timeout=30,
                   what="the other starts to end")
        self.assertEqual([p.returncode for p in processes if p.poll() is not None], [0] * 19)
        self.assertEqual(len(self.display.windows(TITLE)), 1)

    def test_stale_lock_of_a_killed_instance_does_not_block(self):
        first = self.app.start()
        first.kill()
        first.wait()
        self.display.wait_no_window(TITLE)
        self.app.start()
        self.assertEqual(len(self.display.windows(TITLE)), 1)

    def test_about_box_is_modal_and_fresh_each_time(self):
        self.app.start()
        for _ in range(2):
            self.app.click_control(38, 12)  # imgabout
            about = self.display.wait_window("About")
            ax, ay, width, height = self.display.geometry(about)
            self.assertEqual((width, height), (228, 125))
            # While it is open the main window takes no clicks: the eyedropper does nothing.
            self.app.click_control(14, 12)
            self.display.click(ax + 71 + 38, ay + 85 + 12)  # OK
            self.display.wait_no_window("About")
            # The click on the eyedropper went nowhere: no picking, the main window stays.
            self.assertEqual(self.display.windows("Screen Color"), [])
            self.assertEqual(len(self.display.windows(TITLE)), 1)


class WebLink(E2ETestCase):
    def fake_browser_folder(self):
        folder = os.path.join(self.app.root, "fake-bin")
        os.makedirs(folder)
        return folder

    def test_logo_opens_the_makers_page(self):
        folder = self.fake_browser_folder()
        opened = os.path.join(self.app.root, "opened.txt")
        script = os.path.join(folder, "xdg-open")
        with open(script, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s" "$1" > {opened}\n')
        os.chmod(script, 0o755)
        self.app.env["PATH"] = folder + os.pathsep + self.app.env["PATH"]
        self.app.start()
        self.app.click_control(63, 12)  # imgtarnwick
        wait_until(lambda: os.path.exists(opened) and os.path.getsize(opened) > 0,
                   what="the browser to be asked")
        with open(opened) as f:
            self.assertEqual(f.read(), "https://huebrook.example.org/")

    def test_no_browser_shows_nothing_of_ours(self):
        self.app.env["PATH"] = self.fake_browser_folder()  # no xdg-open, no browser at all
        self.app.start()
        self.app.click_control(63, 12)  # imgtarnwick
        # The program goes on as before: the About image still answers, and no message of ours
        # stands in its way.
        self.app.click_control(38, 12)
        self.display.wait_window("About")
        self.assertEqual(self.display.windows("Huebrook"), [])


class Position(E2ETestCase):
    def check_move_close_restart(self, target):
        self.app.start()
        self.display.run(["xdotool", "windowmove", str(self.app.window), *map(str, target)])
        wait_until(lambda: self.display.geometry(self.app.window)[:2] != (0, 0)
                   and self.display.geometry(self.app.window)[:2], what="the move")
        before = self.display.geometry(self.app.window)[:2]
        process = self.app.processes[-1]
        self.display.close_window(self.app.window)
        self.assertEqual(process.wait(timeout=10), 0)
        self.app.start()
        self.assertEqual(self.display.geometry(self.app.window)[:2], before)

    def test_position_survives_close_and_restart(self):
        self.check_move_close_restart((101, 157))


class PositionUnderWindowManager(Position):
    window_manager = True


if __name__ == "__main__":
    unittest.main()
