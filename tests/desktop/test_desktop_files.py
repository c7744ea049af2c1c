"""What a desktop and a software centre read: the desktop entry and the
AppStream metainfo pass their validators, every icon has the size its
folder names, and the release entries agree with the program's version."""

import glob
import os
import re
import struct
import subprocess
import unittest
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ["VRZ_BUILD_DIR"]
ZIPREPAIR = os.environ["ZIPREPAIR"]
METAINFO = os.path.join(BUILD, "io.github.vant.RepairZip.metainfo.xml")
DESKTOP = os.path.join(ROOT, "app", "vant-repair-zip.desktop")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path + " is not a PNG"
    return struct.unpack(">II", head[16:24])


def program_version():
    out = subprocess.run([ZIPREPAIR, "--version"], capture_output=True, text=True, check=True).stdout
    return out.split()[-1]


class Validators(unittest.TestCase):
    def test_desktop_entry_passes_desktop_file_validate(self):
        run = subprocess.run(["desktop-file-validate", DESKTOP], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertEqual(run.stdout.strip(), "", "hints from desktop-file-validate")

    def test_metainfo_passes_appstream_validation(self):
        run = subprocess.run(["appstreamcli", "validate", "--no-net", "--explain", METAINFO], capture_output=True,
                             text=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        self.assertNotRegex(run.stdout, r"(?m)^[EW]:", "errors or warnings from appstreamcli")


class OpenWith(unittest.TestCase):
    """A file manager offers the wizard for archives and ZIP-based documents,
    and hands it the file."""

    # The ZIP archive types and the common documents that are ZIP inside.
    EXPECTED = {
        "application/zip", "application/x-zip-compressed",
        "application/java-archive",                                                    # .jar
        "application/vnd.openxmlformats-officedocument.wordprocessingml.document",     # .docx
        "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",           # .xlsx
        "application/vnd.openxmlformats-officedocument.presentationml.presentation",   # .pptx
        "application/vnd.oasis.opendocument.text",                                     # .odt
        "application/epub+zip",                                                        # .epub
        "application/vnd.android.package-archive",                                     # .apk
    }

    def test_entry_takes_one_file_of_every_zip_based_type(self):
        with open(DESKTOP, encoding="utf-8") as f:
            entry = dict(line.strip().split("=", 1) for line in f if "=" in line)
        self.assertEqual(entry["Exec"].split()[1:], ["%f"])
        self.assertEqual({t for t in entry["MimeType"].split(";") if t}, self.EXPECTED)
        # The shared MIME database knows every type by that name, so "Open with" lists the wizard.
        known = "/usr/share/mime/types"
        if os.path.exists(known):
            with open(known, encoding="utf-8") as f:
                types = set(f.read().split())
            with open("/usr/share/mime/aliases", encoding="utf-8") as f:
                types |= {line.split()[0] for line in f if line.strip()}
            self.assertEqual(self.EXPECTED - types, set())


class Metainfo(unittest.TestCase):
    def setUp(self):
        self.root = ET.parse(METAINFO).getroot()

    def test_launches_the_installed_desktop_entry_and_icon(self):
        self.assertEqual(self.root.findtext("launchable"), os.path.basename(DESKTOP))
        with open(DESKTOP, encoding="utf-8") as f:
            entry = dict(line.strip().split("=", 1) for line in f if "=" in line)
        self.assertEqual(self.root.findtext("icon"), entry["Icon"])

    def test_screenshots_are_the_ones_in_the_repository(self):
        images = [i.text for i in self.root.iter("image")]
        self.assertGreaterEqual(len(images), 3)
        for url in images:
            self.assertTrue(url.startswith("https://"), url)
            local = os.path.join(ROOT, "docs", "screenshots", os.path.basename(url))
            self.assertTrue(os.path.isfile(local), "no " + local + " for " + url)

    def test_newest_release_is_this_version_and_matches_the_changelog(self):
        release = self.root.find("releases/release")
        self.assertEqual(release.get("version"), program_version())
        with open(os.path.join(ROOT, "packaging", "changelog"), encoding="utf-8") as f:
            changelog = f.read()
        top = re.match(r"vant-repair-zip \(([^)]+)\)", changelog)
        self.assertEqual(top.group(1), program_version(), "top changelog entry is not this version")
        signed = re.search(r"^ -- .*>  \w{3}, (\d{2}) (\w{3}) (\d{4}) ", changelog, re.MULTILINE)
        months = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
        date = "%s-%02d-%s" % (signed.group(3), months.index(signed.group(2)) + 1, signed.group(1))
        self.assertEqual(release.get("date"), date, "metainfo and changelog date this release differently")


class Icons(unittest.TestCase):
    def test_hicolor_sizes_16_to_256_each_the_size_of_its_folder(self):
        found = {}
        for path in glob.glob(os.path.join(ROOT, "resources", "icons", "hicolor", "*", "apps", "*.png")):
            folder = path.split(os.sep)[-3]
            width, height = png_size(path)
            self.assertEqual("%dx%d" % (width, height), folder, path)
            self.assertEqual(os.path.basename(path), "vant-repair-zip.png")
            found[width] = path
        for size in (16, 32, 48, 64, 128, 256):
            self.assertIn(size, found)

    def test_scalable_icon_is_a_square_svg(self):
        svg = ET.parse(os.path.join(ROOT, "resources", "art", "program-icon.svg")).getroot()
        self.assertTrue(svg.tag.endswith("svg"))
        self.assertEqual(svg.get("width"), svg.get("height"))


if __name__ == "__main__":
    unittest.main()
