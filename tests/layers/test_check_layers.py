"""The layer checker against a tree that breaks each of its rules: it must find every one."""

import os
import unittest

from check_layers import problems

BAD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bad")


class CheckLayers(unittest.TestCase):
    def test_every_broken_rule_is_found(self):
        found = problems(os.path.join(BAD, "src"), os.path.join(BAD, "docs", "ARCHITECTURE.md"))
        self.assertEqual(found, [
            "bottom/model and top/window include each other",
            "bottom/model includes ../top/window.h: a relative path",
            "bottom/model includes top/window.h: upward",
            "bottom/store and side/helper include each other",
            "bottom/store includes side/helper.h: sideways",
            "side/helper includes bottom/store.h: sideways",
            "src/stray is not drawn in the layers",
        ])


if __name__ == "__main__":
    unittest.main()
