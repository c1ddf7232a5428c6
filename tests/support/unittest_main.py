"""Runs Python tests for CTest as `python3 -m unittest -v NAME ...` does, with one difference: when
every test was skipped, it says why and exits with 77, which CTest counts as skipped, so a run
that could not test anything never looks like one that passed."""

import os
import sys
import unittest

SKIPPED = 77


class Result(unittest.TextTestResult):
    """Knows which tests checked something: a test whose every subtest was skipped ran nothing,
    though unittest counts it as a success."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.checked = set()
        self.with_skips = set()

    def addSubTest(self, test, subtest, err):
        super().addSubTest(test, subtest, err)
        if err is None:
            self.checked.add(test.id())

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self.with_skips.add(getattr(test, "test_case", test).id())

    def addSuccess(self, test):
        super().addSuccess(test)
        if test.id() not in self.with_skips:
            self.checked.add(test.id())


def main(names):
    sys.path.insert(0, os.getcwd())
    suite = unittest.defaultTestLoader.loadTestsFromNames(names)
    result = unittest.TextTestRunner(verbosity=2, resultclass=Result).run(suite)
    for test, reason in result.skipped:
        print("skipped: %s: %s" % (test.id(), reason), flush=True)
    if not result.wasSuccessful():
        return 1
    if result.testsRun and not result.checked:
        return SKIPPED
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
