"""Picking colors from a frozen screen, exact to the device pixel at every scale factor."""

import os
import unittest

import judging_reference as reference
from harness import E2ETestCase, TITLE, hex_record, pattern, wait_until

PREVIEW = "Screen Color"


class Picking(E2ETestCase):
    screen = (1280, 1024)
    scale = 1.0

    def setUp(self):
        super().setUp()
        self.display.set_root_image(*self.screen, pattern)

    def start_picking(self):
        self.app.start()
        # Out of the way of the preview, which opens in the middle of the screen.
        self.display.run(["xdotool", "windowmove", "--sync", str(self.app.window), "20", "20"])
        self.app.click_control(round(14 * self.scale), round(12 * self.scale))  # imgpick
        self.preview = self.display.wait_window(PREVIEW)
        self.display.wait_no_window(TITLE)

    def preview_color(self):
        x, y, width, _ = self.display.geometry(self.preview)
        return self.display.pixel(x + width // 2, y + round(20 * self.scale))

    def probe(self, x, y):
        self.display.move(x, y)
        wait_until(lambda: self.preview_color() == pattern(x, y),
                   what=f"the preview to show pixel ({x}, {y})")

    def test_v_shows_the_screen_as_a_deficiency_sees_it_and_picks_stay_real(self):
        self.start_picking()
        self.probe(300, 300)
        hex_of = lambda rgb: "#%02X%02X%02X" % rgb
        probes = [(100, 100), (900, 700), (1200, 150)]
        for kind in ("protan", "deutan"):
            self.display.key("v")
            for x, y in probes:
                seen = reference.simulate(hex_of(pattern(x, y))[1:], kind)
                wait_until(lambda: hex_of(self.display.pixel(x, y)) == seen,
                           what=f"pixel ({x}, {y}) as {kind}anopia sees it")
        # For the README: the first screen's, once.
        shot = os.path.join(os.environ.get("HUEBROOK_SCREENSHOTS", ""), "picking-deuteranopia.png")
        if os.environ.get("HUEBROOK_SCREENSHOTS") and not os.path.exists(shot):
            self.display.screenshot(shot)
        self.display.key("Return")
        wait_until(lambda: self.app.palette() == hex_record(pattern(300, 300)),
                   what="the real pixel in the palette")
        self.display.key("v", "v", "v")  # tritanopia, achromatopsia, the screen itself
        wait_until(lambda: self.display.pixel(*probes[0]) == pattern(*probes[0]),
                   what="the screen itself again")

    def test_nudge_to_odd_pixels_and_pick_with_enter(self):
        self.start_picking()
        self.probe(300, 300)
        self.display.key("Right", "Down", "Down", "Down", "shift+Right")
        # The pointer follows the pick point in device pixels, at every scale.
        wait_until(lambda: self.display.pointer() == (311, 303), what="the pointer at (311, 303)")
        self.display.key("Return", "Left", "space")
        wait_until(lambda: self.app.palette() == hex_record(pattern(311, 303)) +
                   hex_record(pattern(310, 303)), what="the records of the nudged pixels")

    def test_loupe_shows_the_picked_pixel_and_flips_at_the_corners(self):
        self.start_picking()
        width, height = self.screen
        px, py, pw, ph = self.display.geometry(self.preview)
        for x, y in [(3, 3), (width - 4, 3), (3, height - 4), (width - 4, height - 4)]:
            self.probe(x, y)
            shot = self.display.screenshot()
            # The loupe's centre cell is the one magnified copy of the pixel's own color.
            cell = [(cx, cy) for cx, cy in shot.find(pattern(x, y)) if (cx, cy) != (x, y) and
                    not (px <= cx < px + pw and py <= cy < py + ph)]
            self.assertTrue(cell, f"no magnified copy of pixel ({x}, {y})")
            xs, ys = [p[0] for p in cell], [p[1] for p in cell]
            side = max(xs) - min(xs) + 1
            self.assertGreaterEqual(side, 3 * self.scale, f"at ({x}, {y})")
            self.assertEqual(len(cell), side * (max(ys) - min(ys) + 1), "not one square")
            # Beside the point, on the side facing into the screen, and never over it.
            self.assertEqual(shot.pixel(x, y), pattern(x, y))
            self.assertEqual((min(xs) > x, min(ys) > y), (x < width // 2, y < height // 2))

    def end_with(self, button):
        self.display.click(300, 300, button)
        self.display.wait_window(TITLE)
        self.display.wait_no_window(PREVIEW)


class PickingAtScale1(Picking):
    def test_pick_several_then_right_click(self):
        self.display.set_clipboard("before picking")
        self.start_picking()
        self.assertIsNone(self.display.clipboard())
        picks = [(50, 60), (51, 60), (1279, 1023), (400, 900)]
        for x, y in picks:
            self.probe(x, y)
            self.display.click(x, y)
        wait_until(lambda: len(self.app.palette()) == 6 * len(picks), what="the records")
        self.end_with(3)
        self.assertEqual(self.app.palette(), b"".join(hex_record(pattern(*p)) for p in picks))
        # The last color picked is current: the preview of the main window shows it.
        x0, y0 = self.app.origin()
        wait_until(lambda: self.display.pixel(x0 + 39, y0 + 47) == pattern(400, 900),
                   what="the main window's preview")

    def test_left_click_without_a_move_appends_black(self):
        self.start_picking()
        self.display.run(["xdotool", "click", "1"])
        wait_until(lambda: self.app.palette() == b"000000", what="a black record")

    def test_middle_click_ends_without_appending(self):
        self.start_picking()
        self.end_with(2)
        self.assertEqual(self.app.palette(), b"")

    def test_stop_button_ends_picking(self):
        self.start_picking()
        x, y, width, height = self.display.geometry(self.preview)
        self.display.click(x + width // 2, y + height - 10)
        self.display.wait_window(TITLE)
        self.display.wait_no_window(PREVIEW)
        self.assertEqual(self.app.palette(), b"")

    def test_escape_ends_picking(self):
        self.start_picking()
        self.display.move(200, 200)
        self.display.key("Escape")
        self.display.wait_window(TITLE)

    def test_main_window_is_not_in_the_frozen_picture(self):
        self.start_picking()
        # Where the main window stood, the frozen picture shows the screen beneath it.
        for x, y in [(30, 30), (110, 200), (190, 360)]:
            self.probe(x, y)
            self.assertEqual(self.display.pixel(x, y), pattern(x, y))


class PickingOnTwoScreens(Picking):
    screens = [(1920, 1080), (1280, 1024)]
    screen = (3200, 1080)

    def test_a_pick_on_the_second_screen_gives_its_pixel(self):
        self.start_picking()
        # Each screen is frozen in a window of its own, and a pick reads that window's capture.
        picks = [(2500, 700), (1921, 1023), (3199, 0), (300, 900)]
        for x, y in picks:
            self.probe(x, y)
            self.display.click(x, y)
        self.display.key("Right", "Return")
        wait_until(lambda: self.app.palette() == b"".join(
            hex_record(pattern(*p)) for p in picks + [(301, 900)]), what="the records")

    test_loupe_shows_the_picked_pixel_and_flips_at_the_corners = None
    test_nudge_to_odd_pixels_and_pick_with_enter = None


class PickingAtScale2(Picking):
    scale = 2.0
    extra_env = {"QT_SCALE_FACTOR": "2"}

    def test_every_probed_device_pixel(self):
        self.start_picking()
        for x, y in [(301, 301), (302, 301), (301, 302), (302, 302), (1279, 1023), (0, 0),
                     (1279, 0), (0, 1023), (1001, 855)]:
            self.probe(x, y)
        self.display.click(301, 303)
        wait_until(lambda: self.app.palette() == hex_record(pattern(301, 303)),
                   what="the record of an odd device pixel")


class PickingAtScale15(PickingAtScale2):
    scale = 1.5
    extra_env = {"QT_SCALE_FACTOR": "1.5"}


if __name__ == "__main__":
    unittest.main()
