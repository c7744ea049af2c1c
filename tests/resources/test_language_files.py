#!/usr/bin/env python3
"""Checks the shipped language files, the tips file and the offline help pages.

Run: python3 tests/resources/test_language_files.py   (exit status 0 = all good)
"""

import configparser
import re
import unittest
from pathlib import Path

RESOURCES = Path(__file__).resolve().parents[2] / "resources"
LANG_DIR = RESOURCES / "Lang"
HELP_DIR = RESOURCES / "help"
TIPS_FILE = RESOURCES / "Tips.Txt"

SECTION = "Vant Repair Zip"
LANGUAGES = ("English", "French", "German", "Italian", "Spanish")

# Every key the program looks up, with the buffer (in UTF-16 characters) it reads
# the text into. A key read with two buffers is listed with the smaller one, since
# the text must survive both reads uncut. Longer texts are cut to capacity - 1.
KEY_CAPACITY = {
    "IDS_RUNNING1": 100,
    "IDS_RUNNING2": 100,
    "IDS_RUNNING3": 100,
    "IDS_RUNNING4": 100,
    "IDS_INFORMATION": 200,
    "IDS_WORD17": 200,
    "IDS_RHELP": 1000,
    "IDS_FAQ": 1000,
    "IDS_TIPS": 1000,
    "IDS_CTEXT1": 1000,
    "IDS_BROWSE": 1000,
    "IDS_REPAIR": 1000,
    "IDS_WORD5": 200,
    "IDS_MTEXT3": 1000,
    "IDS_MTEXT4": 1000,
    "IDS_SPLITSETNOTE": 1000,
    "IDS_REPAIRING": 1000,
    "IDS_CANCEL": 1000,
    "IDS_WORD16": 1000,
    "IDS_CONFIRM": 1000,
    "IDS_WORD8": 200,
    "IDS_WORD9": 1000,
    "IDS_FAILEDFILE": 1000,
    "IDS_CREATEDFAILED": 1000,
    "IDS_SAVE_CREATE_FAILED": 1000,
    "IDS_SAVE_DISK_FULL": 1000,
    "IDS_SAVE_WRITE_FAILED": 1000,
    "IDS_SAVE_READ_FAILED": 1000,
    "IDS_SAVE_NAME_FAILED": 1000,
    "IDS_FOLDER_UNREADABLE": 1000,
    "IDS_CTEXT3": 1000,
    "IDS_TOTALFILES": 1000,
    "IDS_SAVETEXT1": 1000,
    "IDS_SAVE": 1000,
    "IDS_SELECT_FOLDER_TO_SAVE": 1000,
    "IDS_WORD6": 200,
    "IDS_LOWDIKSPACE": 1000,
    "IDS_SAVEFILE": 1000,
    "IDS_SAVE_COMPLETED": 200,
    "IDS_SAVE_ABORTED": 200,
    "IDS_DAMAGED_TOTAL": 1000,
    "IDS_SAVED_TO": 1000,
    "IDS_DAMAGED_LIST": 1000,
    "IDS_UNCHECKED_LIST": 1000,
    "IDS_VERIFY_CRC": 1000,
    "IDS_VERIFY_SIZE": 1000,
    "IDS_VERIFY_DECODE": 1000,
    "IDS_VERIFY_CUT": 1000,
    "IDS_VERIFY_ENCRYPTED": 1000,
    "IDS_VERIFY_METHOD": 1000,
    "IDS_VERIFY_UNREADABLE": 1000,
    "IDS_VERIFY_LONGER": 1000,
    "IDS_ABOUT": 2000,
    "IDS_VERSION_TEXT": 2000,
    "IDS_URL_ABOUT": 2000,
    "IDS_LICENSE_URL_TXT": 2000,
    "IDS_LICENSE_URL": 2000,
    "IDS_POLICY_URL_TXT": 2000,
    "IDS_POLICY_URL": 2000,
    "IDS_UNINSTALL_URL_TXT": 2000,
    "IDS_UNINSTALL_URL": 2000,
    "IDS_ERROR": 2000,
    "IDS_NOTHING_RECOVERED": 1000,
    "IDS_NOMEMORY": 1000,
    "IDS_FOLDER_NOT_OPENED": 1000,
    "IDS_NO_BROWSER": 1000,
    "IDS_NOT_STARTED": 1000,
    "IDS_MENU_LANGUAGE": 1000,
    "IDS_MENU_HELP": 1000,
    "IDS_MENU_SUPPORT": 1000,
    "IDS_MENU_UPDATE": 1000,
    "IDS_MENU_ABOUT": 1000,
    "IDS_LANGUAGE1": 1000,
    "IDS_LANGUAGE2": 1000,
    "IDS_LANGUAGE3": 1000,
    "IDS_LANGUAGE4": 1000,
    "IDS_LANGUAGE5": 1000,
    "IDS_MENU_BROWSE_FILE": 1000,
    "IDS_MENU_BROWSE_FOLDER": 1000,
    "IDS_SELECT_PARTS_FOLDER": 1000,
    "IDS_ARCHIVE_FILES": 1000,
    "IDS_ALL_FILES": 1000,
    "IDS_SOURCE_MISSING": 1000,
    "IDS_FOLDER_NOT_WRITABLE": 1000,
    "IDS_COLUMN_NAME": 1000,
    "IDS_COLUMN_SIZE": 1000,
    "IDS_LOST_FILES": 1000,
    "IDS_PARENT_ROW": 1000,
    "IDS_DAMAGED_KEPT": 1000,
    "IDS_DAMAGED_INSIDE": 1000,
    "IDS_FINDING_CUT_ONE": 1000,
    "IDS_FINDING_CUT": 1000,
    "IDS_FINDING_PART_MISSING": 1000,
    "IDS_FINDING_PART_MISSING_ONE": 1000,
    "IDS_FINDING_PART_CUT_ONE": 1000,
    "IDS_FINDING_PART_CUT": 1000,
    "IDS_FINDING_FROM_CENTRAL": 1000,
    "IDS_FINDING_REFUSED_ONE": 1000,
    "IDS_FINDING_REFUSED": 1000,
    "IDS_FINDINGS_MORE": 1000,
    "IDS_DETAILS": 1000,
    "IDS_FINDINGS_TITLE": 1000,
    "IDS_FINDINGS_NOT_KEPT": 1000,
    "IDS_FINDING_COL_OFFSET": 1000,
    "IDS_FINDING_COL_PART": 1000,
    "IDS_FINDING_COL_KIND": 1000,
    "IDS_FINDING_COL_NAME": 1000,
    "IDS_FINDING_KIND0": 1000,
    "IDS_FINDING_KIND1": 1000,
    "IDS_FINDING_KIND2": 1000,
    "IDS_FINDING_KIND3": 1000,
    "IDS_FINDING_KIND4": 1000,
    "IDS_FINDING_KIND5": 1000,
    "IDS_FINDING_KIND6": 1000,
    "IDS_FINDING_KIND7": 1000,
    "IDS_FINDING_KIND8": 1000,
    "IDS_FINDING_KIND9": 1000,
    "IDS_FINDING_KIND10": 1000,
    "IDS_FINDING_KIND11": 1000,
    "IDS_FINDING_KIND12": 1000,
    "IDS_FINDING_KIND13": 1000,
    "IDS_FINDING_KIND14": 1000,
    "IDS_FINDING_KIND15": 1000,
    "IDS_FINDING_KIND16": 1000,
    "IDS_FINDING_KIND17": 1000,
    "IDS_FINDING_STRAY_PART": 1000,
    "IDS_WARNING": 200,
    "IDS_SAVE_COMPLETED_DAMAGED": 1000,
    "IDS_LISTED_BELOW": 1000,
    "IDS_PARTIAL_LIST": 1000,
    "IDS_SAVE_SKIP_DAMAGED": 1000,
    "IDS_SAVE_SALVAGE": 1000,
    "IDS_URL_ABOUT_TXT": 1000,
    "IDS_TIP1": 1000,
    "IDS_TIP2": 1000,
    "IDS_TIP3": 1000,
    "IDS_TIP4": 1000,
    "IDS_TIP5": 1000,
    "IDS_TIP6": 1000,
    "IDS_TIP7": 1000,
    "IDS_TIP8": 1000,
}

# Addresses the About box opens; the program expands the placeholder.
PROGRAM_FOLDER = "{programFolder}"
ADDRESS_KEYS = ("IDS_URL_ABOUT", "IDS_LICENSE_URL", "IDS_POLICY_URL", "IDS_UNINSTALL_URL")

TIPS_SHOWN = 5
TIP_MAX_CHARS = 99


def read_language(path, keep_case=False):
    """Parses a language file the way the program's INI reader sees it."""
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    if keep_case:
        parser.optionxform = str
    with open(path, encoding="utf-8", errors="strict") as stream:
        parser.read_file(stream)
    return parser


def shown_text(raw):
    """The text the program gets: one pair of surrounding double quotes is dropped."""
    if len(raw) >= 2 and raw[0] == '"' and raw[-1] == '"':
        return raw[1:-1]
    return raw


def utf16_length(text):
    return len(text.encode("utf-16-le")) // 2


class LanguageFilesTest(unittest.TestCase):
    def test_english_has_exactly_the_looked_up_keys(self):
        english = read_language(LANG_DIR / "English.INI")
        self.assertEqual(set(english.options(SECTION)), {k.lower() for k in KEY_CAPACITY})

    def test_every_language_file_is_complete_and_fits(self):
        english_keys = set(read_language(LANG_DIR / "English.INI").options(SECTION))
        for language in LANGUAGES:
            path = LANG_DIR / f"{language}.INI"
            with self.subTest(language=language):
                self.assertFalse(path.read_bytes().startswith(b"\xef\xbb\xbf"),
                                 "byte-order mark would hide the section header")
                parser = read_language(path)
                self.assertEqual(parser.sections(), [SECTION])
                self.assertEqual(set(parser.options(SECTION)), english_keys)
                for key, capacity in KEY_CAPACITY.items():
                    raw = parser.get(SECTION, key)
                    text = shown_text(raw)
                    self.assertNotIn("\n", raw, f"{key} spans several lines")
                    self.assertTrue(text.strip(), f"{key} is empty")
                    self.assertLessEqual(utf16_length(text), capacity - 1,
                                         f"{key} is cut at {capacity - 1} characters")

    def test_every_finding_kind_has_its_text(self):
        # The preview names each kind of finding by IDS_FINDING_KIND<index>.
        header = (RESOURCES.parent / "engine" / "state" / "ScanFinding.h").read_text()
        body = header[header.index("enum class FindingKind {"):]
        kinds = re.findall(r"^\s+(k\w+)", body[:body.index("};")], re.M)
        self.assertGreater(len(kinds), 10)
        for index, kind in enumerate(kinds):
            self.assertIn(f"IDS_FINDING_KIND{index}", KEY_CAPACITY, kind)

    def test_keys_are_spelled_as_the_program_asks_for_them(self):
        # Readers on case-sensitive platforms need the exact spelling.
        for language in LANGUAGES:
            with self.subTest(language=language):
                parser = read_language(LANG_DIR / f"{language}.INI", keep_case=True)
                self.assertEqual(set(parser.options(SECTION)), set(KEY_CAPACITY))

    def test_each_language_is_named_in_its_own_language_everywhere(self):
        own = ["English", "Français", "Deutsch", "Italiano", "Español"]
        for language in LANGUAGES:
            parser = read_language(LANG_DIR / f"{language}.INI")
            with self.subTest(language=language):
                self.assertEqual([parser.get(SECTION, f"IDS_LANGUAGE{i}") for i in range(1, 6)], own)

    def test_about_addresses_point_at_installed_help_pages(self):
        for language in LANGUAGES:
            parser = read_language(LANG_DIR / f"{language}.INI")
            for key in ADDRESS_KEYS:
                address = shown_text(parser.get(SECTION, key))
                with self.subTest(language=language, key=key):
                    prefix = PROGRAM_FOLDER + "/help/"
                    self.assertTrue(address.startswith(prefix), address)
                    self.assertTrue((HELP_DIR / address[len(prefix):]).is_file(), address)


class TipsFileTest(unittest.TestCase):
    def test_enough_short_tips(self):
        lines = TIPS_FILE.read_text(encoding="utf-8").splitlines()
        tips = [line for line in lines if line.strip()]
        self.assertGreaterEqual(len(tips), TIPS_SHOWN)
        for tip in tips:
            self.assertLessEqual(len(tip), TIP_MAX_CHARS, tip)


class HelpPagesTest(unittest.TestCase):
    LINK = re.compile(r'\b(?:href|src)\s*=\s*"([^"]*)"', re.IGNORECASE)

    def test_pages_are_offline_and_links_resolve(self):
        pages = sorted(HELP_DIR.glob("*.html"))
        self.assertTrue(pages)
        for page in pages:
            html = page.read_text(encoding="utf-8")
            for target in self.LINK.findall(html):
                with self.subTest(page=page.name, target=target):
                    self.assertIsNone(re.match(r"[a-z][a-z0-9+.-]*:|//", target, re.IGNORECASE),
                                      "help pages must not load or link anything remote")
                    file_part, _, anchor = target.partition("#")
                    linked = HELP_DIR / file_part if file_part else page
                    self.assertTrue(linked.is_file())
                    if anchor:
                        self.assertIn(f'id="{anchor}"', linked.read_text(encoding="utf-8"))


if __name__ == "__main__":
    unittest.main()
