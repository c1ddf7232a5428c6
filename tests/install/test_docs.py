"""The manual page and the shell completions against --help: every option --help lists is in
the manual page and in each completion, with the format names after --format, and the page
renders without a warning."""

import os
import re
import subprocess
import unittest

EXECUTABLE = os.environ.get("HUEBROOK_EXE", "")
DATA = os.path.join(os.path.dirname(__file__), "..", "..", "data")


def read(*path):
    with open(os.path.join(DATA, *path)) as f:
        return f.read()


class Docs(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not EXECUTABLE:
            raise unittest.SkipTest("HUEBROOK_EXE is not set")
        text = subprocess.run([EXECUTABLE, "--help"], capture_output=True, text=True,
                              check=True, timeout=10).stdout
        cls.options = set(re.findall(r"(?<![\w-])(--?[a-z][a-z-]*)", text.split("Options:")[1]))
        cls.formats = re.search(r"FORMAT is one of (.*?), or a template", text).group(1).split(", ")

    def test_help_is_read(self):
        self.assertTrue({"-h", "--help", "--pick", "--format"} <= self.options, self.options)
        self.assertIn("css-hsl", self.formats)

    def test_manual_page_has_every_option_and_format(self):
        page = read("huebrook.1").replace("\\-", "-")
        for word in sorted(self.options) + self.formats:
            with self.subTest(word=word):
                self.assertRegex(page, r"(?<![\w-])%s(?![\w-])" % re.escape(word))

    def test_manual_page_renders_without_warnings(self):
        run = subprocess.run(["man", "--warnings", "-l", os.path.join(DATA, "huebrook.1")],
                             capture_output=True, text=True, timeout=30,
                             env=dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING=""))
        self.assertEqual((run.returncode, run.stderr), (0, ""))
        self.assertIn("EXIT STATUS", run.stdout)

    def test_completions_offer_what_help_lists(self):
        sources = {"bash": read("completion", "huebrook.bash"),
                   "zsh": read("completion", "_huebrook"),
                   "fish": read("completion", "huebrook.fish")}
        for shell, source in sources.items():
            with self.subTest(shell=shell):
                offered = set(re.findall(r"(?<![\w-])(--?[a-z][a-z-]*)", source)) | {
                    "--" + o for o in re.findall(r"-l (\w+)", source)} | {
                    "-" + o for o in re.findall(r"-s (\w)\b", source)}
                self.assertTrue(self.options <= offered, self.options - offered)
                for name in self.formats:
                    self.assertRegex(source, r"[ '(]%s[ ')]" % re.escape(name))

    def test_bash_completes_a_format_name(self):
        script = ("source %s; COMP_WORDS=(huebrook --pick --once --format css-); COMP_CWORD=4; "
                  "_huebrook; echo ${COMPREPLY[@]}" % os.path.join(DATA, "completion", "huebrook.bash"))
        out = subprocess.run(["bash", "-c", script], capture_output=True, text=True, check=True,
                             timeout=10).stdout.split()
        self.assertEqual(out, [f for f in self.formats if f.startswith("css-")])


if __name__ == "__main__":
    unittest.main()
