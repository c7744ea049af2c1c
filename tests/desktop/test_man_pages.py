"""The manual pages: ziprepair --help and ziprepair(1) list the same options
and commands, and both pages render without a warning from man."""

import os
import re
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import optionlists  # noqa: E402

ZIPREPAIR = os.environ["ZIPREPAIR"]
BUILD = os.environ["VRZ_BUILD_DIR"]

# The manual page describes the command line as it is being finished on
# another branch. These options are in the page and not yet in --help; the
# list must shrink to nothing once both meet (the test below says when).
NOT_YET_IN_HELP = set()


class OptionListsAgree(unittest.TestCase):
    def setUp(self):
        self.help = optionlists.help_text(ZIPREPAIR)
        self.in_help = optionlists.options_in(self.help)
        self.in_man = optionlists.man_options()

    def test_every_option_of_help_is_in_the_manual_page(self):
        self.assertTrue(self.in_help, "no option found in --help:\n" + self.help)
        self.assertEqual(self.in_help - self.in_man, set(), "options in --help but not in ziprepair(1)")

    def test_every_option_of_the_manual_page_is_in_help(self):
        missing = self.in_man - self.in_help
        self.assertEqual(missing - NOT_YET_IN_HELP, set(), "options in ziprepair(1) but not in --help")
        arrived = NOT_YET_IN_HELP & self.in_help
        self.assertEqual(arrived, set(), "now in --help: take them off NOT_YET_IN_HELP")

    def test_every_command_of_help_is_in_the_manual_page(self):
        in_help = set(re.findall(r"ziprepair ([a-z]+)\b", self.help))
        self.assertIn("scan", in_help)
        self.assertIn("repair", in_help)
        self.assertEqual(in_help - optionlists.man_commands(), set())


class PagesRender(unittest.TestCase):
    def check_page(self, name):
        page = os.path.join(BUILD, "man", name + ".1.gz")
        self.assertTrue(os.path.isfile(page), page + " was not built")
        run = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", page],
                             capture_output=True, text=True,
                             env=dict(os.environ, LC_ALL="C.UTF-8", MANROFFSEQ="", MANWIDTH="80"))
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stderr, "", "man warns about " + name + "(1)")
        return run.stdout

    def test_ziprepair_page_has_every_section_a_reader_looks_for(self):
        self.check_page("ziprepair")
        sections = optionlists.man_sections()
        for heading in ("NAME", "SYNOPSIS", "DESCRIPTION", "COMMANDS", "OPTIONS", "EXIT STATUS", "FILES",
                        "EXAMPLES"):
            self.assertIn(heading, sections)
        statuses = set(re.findall(r"^\*(\d+)\*$", sections["EXIT STATUS"], re.MULTILINE))
        self.assertEqual(statuses, {"0", "1", "2", "3", "4", "130"})

    @unittest.skipUnless(os.path.exists(os.path.join(BUILD, "bin", "vant-repair-zip")), "wizard not built")
    def test_wizard_page_renders(self):
        self.check_page("vant-repair-zip")


if __name__ == "__main__":
    unittest.main()
