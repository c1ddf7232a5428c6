"""The runner's exit codes: 77 (skipped for CTest) only when no test checked anything, subtests
included."""

import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))

CASES = '''
import unittest
class AllSkipped(unittest.TestCase):
    def test_subtests(self):
        for i in range(3):
            with self.subTest(i=i):
                self.skipTest("no rig")
    def test_whole(self):
        self.skipTest("no rig")
class SomeChecked(unittest.TestCase):
    def test_subtests(self):
        for i in range(2):
            with self.subTest(i=i):
                if i:
                    self.skipTest("no rig")
class Failing(unittest.TestCase):
    def test_wrong(self):
        self.fail("wrong")
'''


class ExitCodes(unittest.TestCase):
    def test_exit_codes(self):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "cases.py"), "w") as f:
                f.write(CASES)
            for name, code in (("cases.AllSkipped", 77), ("cases.SomeChecked", 0),
                               ("cases.Failing", 1), ("cases", 1)):
                with self.subTest(name=name):
                    run = subprocess.run([sys.executable, os.path.join(HERE, "unittest_main.py"),
                                          name], cwd=folder, capture_output=True, text=True)
                    self.assertEqual(run.returncode, code, run.stderr)


if __name__ == "__main__":
    unittest.main()
