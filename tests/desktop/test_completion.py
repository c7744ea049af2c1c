"""Bash completion of ziprepair, run in a real bash with bash-completion
loaded: what Tab offers after each word, in a folder of real files."""

import os
import shlex
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import optionlists  # noqa: E402

BASH_COMPLETION_MAIN = "/usr/share/bash-completion/bash_completion"
SCRIPT = os.environ.get("VRZ_BASH_COMPLETION", optionlists.BASH_COMPLETION)


def complete(line, cwd):
    """The words Tab offers at the end of the command line `line`."""
    words = shlex.split(line)
    if line.endswith(" "):
        words.append("")
    program = "\n".join([
        "source " + shlex.quote(BASH_COMPLETION_MAIN),
        "source " + shlex.quote(SCRIPT),
        "COMP_WORDS=(" + " ".join(shlex.quote(w) for w in words) + ")",
        "COMP_CWORD=%d" % (len(words) - 1),
        "COMP_LINE=" + shlex.quote(line),
        "COMP_POINT=%d" % len(line),
        "_ziprepair ziprepair " + shlex.quote(words[-1]) + " " + shlex.quote(words[-2]),
        'printf "%s\\n" "${COMPREPLY[@]}"',
    ])
    run = subprocess.run(["bash", "--norc", "--noprofile", "-c", program], cwd=cwd, capture_output=True,
                         text=True)
    if run.returncode != 0:
        raise AssertionError("bash failed: " + run.stderr)
    return {w.rstrip("/") for w in run.stdout.splitlines() if w}


class BashCompletion(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.cwd = cls.tmp.name
        for name in ("holiday.zip", "BACKUP.ZIPX", "notes.txt", "photos.zip.part"):
            open(os.path.join(cls.cwd, name), "wb").close()
        os.mkdir(os.path.join(cls.cwd, "parts"))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_first_word_is_a_command_or_a_global_option(self):
        self.assertEqual(complete("ziprepair ", self.cwd), {"scan", "repair", "help", "-h", "--help", "-V",
                                                            "--version"})
        self.assertEqual(complete("ziprepair re", self.cwd), {"repair"})

    def test_archives_and_folders_only_as_path(self):
        expected = {"holiday.zip", "BACKUP.ZIPX", "parts"}
        self.assertEqual(complete("ziprepair scan ", self.cwd), expected)
        self.assertEqual(complete("ziprepair repair --json ", self.cwd), expected)

    def test_output_folder_completes_folders_only(self):
        self.assertEqual(complete("ziprepair repair holiday.zip -o ", self.cwd), {"parts"})
        self.assertEqual(complete("ziprepair repair holiday.zip --output ", self.cwd), {"parts"})

    def test_each_command_offers_its_own_options(self):
        self.assertEqual(complete("ziprepair repair --s", self.cwd), {"--skip-damaged", "--salvage"})
        self.assertEqual(complete("ziprepair scan --s", self.cwd), set())
        self.assertIn("--verify", complete("ziprepair scan -", self.cwd))
        self.assertNotIn("-o", complete("ziprepair scan -", self.cwd))

    def test_after_double_dash_a_dash_word_is_a_path(self):
        open(os.path.join(self.cwd, "-odd.zip"), "wb").close()
        try:
            self.assertEqual(complete("ziprepair scan -- -", self.cwd), {"-odd.zip"})
        finally:
            os.remove(os.path.join(self.cwd, "-odd.zip"))

    def test_help_completes_command_names(self):
        self.assertEqual(complete("ziprepair help ", self.cwd), {"scan", "repair"})

    def test_every_option_of_help_can_be_completed(self):
        offered = set()
        for line in ("ziprepair -", "ziprepair scan -", "ziprepair repair -"):
            offered |= complete(line, self.cwd)
        in_help = optionlists.options_in(optionlists.help_text(os.environ["ZIPREPAIR"]))
        self.assertEqual(in_help - offered, set(), "options of --help that Tab does not offer")


if __name__ == "__main__":
    unittest.main()
