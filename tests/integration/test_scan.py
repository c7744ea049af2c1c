"""`ziprepair scan --json` against what each real writer wrote: every
complete entry found in file order with the writer's sizes and CRC-32,
wherever the central directory or the entries are cut."""

import json
import os
import shutil
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ziptools  # noqa: E402
from ziptools import Workspace  # noqa: E402


class Written:
    """What a writer put into its archive, in file order."""

    def __init__(self, path):
        self.path = path
        self.layout = ziptools.entry_layout(path)
        with zipfile.ZipFile(path) as z:
            infos = {i.header_offset: i for i in z.infolist()}
        self.infos = [infos[e.start] for e in self.layout]
        self.central = ziptools.central_directory_offset(ziptools.read(path))
        self.size = os.path.getsize(path)


def setUpModule():
    global WORK, WRITTEN
    WORK = Workspace()
    root = WORK.file("originals")
    os.makedirs(root)
    ziptools.make_originals(root, seed=2)
    WRITTEN = {}
    for writer in ziptools.WRITERS:
        path = WORK.file(writer + ".zip")
        ziptools.make_archive(writer, root, path)
        WRITTEN[writer] = Written(path)


def tearDownModule():
    WORK.remove()


def scan(path):
    r = ziptools.ziprepair("scan", "--json", path)
    if r.returncode != 0:
        raise AssertionError("scan failed: " + r.stderr.decode())
    return json.loads(r.stdout)


class ScanTests(unittest.TestCase):
    def setUp(self):
        self.work = Workspace()

    def tearDown(self):
        self.work.remove()

    def cut_copy(self, written, length):
        path = self.work.file("cut.zip")
        shutil.copyfile(written.path, path)
        ziptools.cut_at(path, length)
        return path

    def assert_rows(self, rows, infos):
        """File rows match the writer's file entries in order (names by their
        last component, since a file whose folder entry is missing is listed
        under "#Lost Files/"); folder rows are folders the writer wrote."""
        files = [r for r in rows if not r["name"].endswith("/")]
        expected = [i for i in infos if not i.filename.endswith("/")]
        self.assertEqual([r["name"].rsplit("/", 1)[-1] for r in files],
                         [i.filename.rsplit("/", 1)[-1] for i in expected])
        for row, info in zip(files, expected):
            self.assertEqual(row["compressedSize"], info.compress_size, info.filename)
            self.assertEqual(row["uncompressedSize"], info.file_size, info.filename)
            self.assertEqual(int(row["crc32"], 16), info.CRC, info.filename)
        folders = {i.filename for i in infos if i.filename.endswith("/")}
        for row in rows:
            if row["name"].endswith("/"):
                self.assertIn(row["name"], folders)

    def test_central_directory_cut_anywhere(self):
        # The file is cut at points from the central directory's first byte to the end record's last.
        for writer, written in WRITTEN.items():
            cd, size = written.central, written.size
            for cut in sorted({cd, cd + 1, cd + 3, cd + 30, (cd + size) // 2, size - 22, size - 1}):
                with self.subTest(writer=writer, cut=cut):
                    result = scan(self.cut_copy(written, cut))
                    self.assert_rows(result["entries"], written.infos)

    def test_cut_at_and_just_before_each_entry_end(self):
        # The file is cut exactly after an entry (kept, the last one included)
        # or one byte earlier (that entry is lost).
        for writer, written in WRITTEN.items():
            for k, entry in enumerate(written.layout):
                for cut, kept in ((entry.end, k + 1), (entry.end - 1, k)):
                    if cut <= 30:
                        continue
                    with self.subTest(writer=writer, entry=entry.name, cut=cut):
                        result = scan(self.cut_copy(written, cut))
                        self.assert_rows(result["entries"], written.infos[:kept])

    def test_intact_archive_lists_every_entry(self):
        # Not damaged: the scan stops at the central directory and lists every entry.
        for writer, written in WRITTEN.items():
            with self.subTest(writer=writer):
                self.assert_rows(scan(written.path)["entries"], written.infos)

    def test_only_a_file_too_short_for_one_local_header_is_refused(self):
        written = WRITTEN["zip_stored"]
        r = ziptools.ziprepair("scan", "--json", self.cut_copy(written, 30))
        self.assertEqual(r.returncode, 1)
        r = ziptools.ziprepair("scan", "--json", self.cut_copy(written, 31))
        self.assertNotEqual(r.returncode, 1, r.stderr.decode())


if __name__ == "__main__":
    unittest.main()
