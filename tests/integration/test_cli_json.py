"""The command line's report and conventions: the JSON report against its
schema (non-UTF-8 names and paths included), the text listing with the names
the repair writes and control characters escaped, options, help and the
failures of standard output."""

import json
import os
import shutil
import subprocess
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import verifytools as vt  # noqa: E402
import ziptools  # noqa: E402
from ziptools import Workspace  # noqa: E402

STATUSES = {"intact", "damaged", "not-checked", "partial"}
HEX = set("0123456789abcdef")


def check_text_field(test, obj, key):
    """A text field is valid UTF-8 (json.loads already checked) and, when it
    has to replace bytes, carries the exact bytes as hex."""
    test.assertIsInstance(obj[key], str)
    if key + "Bytes" in obj:
        raw = bytes.fromhex(obj[key + "Bytes"])
        test.assertEqual(obj[key], raw.decode("utf-8", errors="replace"))
        test.assertIn("\ufffd", obj[key])


def check_schema(test, obj, repair):
    test.assertIsInstance(obj, dict)
    check_text_field(test, obj, "source")
    if repair:
        test.assertIn("output", obj)
        if obj["output"] is not None:
            check_text_field(test, obj, "output")
    counts = obj["counts"]
    for key in ("entries", "written", "refused"):
        test.assertIsInstance(counts[key], int)
    test.assertEqual(counts["entries"], len(obj["entries"]))
    test.assertEqual(counts["refused"], len(obj["refused"]))
    test.assertEqual(obj["count"], len(obj["entries"]))
    for e in obj["entries"]:
        check_text_field(test, e, "name")
        for key in ("compressedSize", "uncompressedSize", "offset", "part", "method"):
            test.assertIsInstance(e[key], int, key)
            test.assertGreaterEqual(e[key], 0)
        test.assertEqual(len(e["crc32"]), 8)
        test.assertTrue(set(e["crc32"]) <= HEX)
        if obj["verified"]:
            test.assertIn(e["status"], STATUSES)
            test.assertIsInstance(e["written"], bool)
            if e["status"] == "intact":
                test.assertIsNone(e["reason"])
            else:
                test.assertIsInstance(e["reason"], str)
                test.assertIsInstance(e["detail"], str)
    if obj["verified"]:
        total = sum(counts[k] for k in ("intact", "damaged", "notChecked", "partial"))
        test.assertEqual(total, counts["written"])
    for f in obj["refused"]:
        test.assertIsInstance(f["offset"], int)
        test.assertIsInstance(f["part"], int)
        test.assertIsInstance(f["reason"], str)


class CliCase(unittest.TestCase):
    def setUp(self):
        self.work = Workspace()

    def tearDown(self):
        self.work.remove()

    def zip_of(self, folder, files, *zip_args):
        """Info-ZIP zip of files ({bytes name: bytes}) written into folder."""
        src = os.path.join(os.fsencode(self.work.path), b"src")
        os.makedirs(src, exist_ok=True)
        for name, data in files.items():
            path = os.path.join(src, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        os.makedirs(folder, exist_ok=True)
        out = os.path.join(folder, b"a.zip")
        subprocess.run([b"zip", b"-q", b"-r"] + [a.encode() for a in zip_args] + [out] + sorted(files), cwd=src,
                       check=True, stdout=subprocess.PIPE)
        shutil.rmtree(src)
        return out


class JsonSchemaTests(CliCase):
    def test_report_of_a_damaged_archive_follows_the_schema(self):
        # Two files, the second's data overwritten, the central directory cut off.
        folder = os.fsencode(self.work.file("plain"))
        path = self.zip_of(folder, {b"a.txt": b"alpha\n" * 4000, b"b.txt": b"beta %d\n" * 9000})
        start, size = vt.data_offset(os.fsdecode(path), "b.txt")
        ziptools.overwrite(path, start + size // 2, 30)
        ziptools.cut_central_directory(path)
        for args in (("scan",), ("scan", "--verify"), ("repair",)):
            with self.subTest(args=args):
                status, obj, err = vt.report(*(list(args) + [os.fsdecode(path)]))
                self.assertEqual(status, 3 if args == ("repair",) else 0, err)
                check_schema(self, obj, repair=args == ("repair",))
                self.assertEqual(obj["verified"], args != ("scan",))

    def test_non_utf8_names_and_paths_give_valid_json_with_their_bytes(self):
        # A folder and a file whose names are Latin-1 bytes, zipped by Info-ZIP.
        folder = os.path.join(os.fsencode(self.work.path), b"d\xe9j\xe0")
        name = b"caf\xe9.txt"
        path = self.zip_of(folder, {name: b"coffee\n" * 100, b"ok.txt": b"fine\n"})
        for args in (("scan", "--verify"), ("repair",)):
            with self.subTest(args=args):
                r = subprocess.run([os.fsencode(ziptools.ZIPREPAIR)] + [a.encode() for a in args] + [b"--json", path],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                self.assertEqual(r.returncode, 0, r.stderr)
                obj = json.loads(r.stdout.decode("utf-8"))
                check_schema(self, obj, repair=args == ("repair",))
                self.assertEqual(bytes.fromhex(obj["sourceBytes"]), path)
                entries = {bytes.fromhex(e["nameBytes"]) if "nameBytes" in e else e["name"].encode(): e
                           for e in obj["entries"]}
                self.assertIn(name, entries)
                self.assertEqual(entries[name]["status"], "intact")
                if args == ("repair",):
                    self.assertEqual(bytes.fromhex(obj["outputBytes"]), os.path.join(folder, b"a_fixed.zip"))

    def test_nothing_recoverable_still_reports_with_a_null_output(self):
        path = self.work.file("junk.zip")
        ziptools.write(path, ziptools.garbage(4000))
        status, obj, err = vt.report("repair", path)
        self.assertEqual(status, 4)
        check_schema(self, obj, repair=True)
        self.assertIsNone(obj["output"])
        self.assertIn("junk.zip", err)


class ListingTests(CliCase):
    def test_listing_shows_the_names_the_repair_writes(self):
        # No folder entries (zip -D), a path that climbs out, the central directory cut off.
        folder = self.work.file("names")
        os.makedirs(folder)
        path = os.path.join(folder, "a.zip")
        with zipfile.ZipFile(path, "w") as z:
            z.writestr("one/file.bin", b"1" * 100)
            z.writestr("two/file.bin", b"2" * 100)
            z.writestr("../../etc/evil.txt", b"evil")
        ziptools.cut_central_directory(path)
        listing = ziptools.ziprepair("scan", path).stdout.decode()
        for written in ("one/file.bin", "two/file.bin", "../../etc/evil.txt"):
            self.assertIn("  " + written + "\n", listing)
        self.assertNotIn("#Lost Files", listing)
        r = ziptools.ziprepair("repair", path)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        with zipfile.ZipFile(os.path.join(folder, "a_fixed.zip")) as z:
            self.assertEqual(z.namelist(), ["one/file.bin", "two/file.bin", "../../etc/evil.txt"])

    def test_control_characters_in_names_are_escaped(self):
        folder = os.fsencode(self.work.file("controls"))
        files = {b"new\nline 0 0 forged.txt": b"x" * 50, b"esc\x1b[31mred.txt": b"y" * 50, b"csi\xc2\x9b2J.txt": b"z"}
        path = self.zip_of(folder, files)
        for args in (("scan",), ("scan", "--verify"), ("repair",)):
            with self.subTest(args=args):
                r = subprocess.run([os.fsencode(ziptools.ZIPREPAIR)] + [a.encode() for a in args] + [path],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                out = r.stdout
                self.assertNotIn(b"\x1b", out)
                self.assertNotIn(b"\xc2\x9b", out)
                self.assertNotIn(b"\r", out)
                if args[0] == "scan":
                    # Header line, three entries, the summary: nothing forged.
                    self.assertEqual(len(out.splitlines()), 5, out)
                    self.assertIn(b"new\\x0aline 0 0 forged.txt", out)
                    self.assertIn(b"esc\\x1b[31mred.txt", out)

    def test_summary_names_damaged_and_not_checked_entries(self):
        folder = self.work.file("summary")
        os.makedirs(folder)
        path = os.path.join(folder, "a.zip")
        with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr("docs/report.pdf", b"%PDF " + b"page " * 20000)
            z.writestr("notes.txt", b"note\n" * 500)
        start, size = vt.data_offset(path, "docs/report.pdf")
        ziptools.overwrite(path, start + size // 2, 20)
        enc = os.path.join(folder, "secret")
        os.makedirs(enc)
        ziptools.write(os.path.join(enc, "secret.bin"), b"s" * 3000)
        subprocess.run(["zip", "-q", "-P", "pw", os.path.join(folder, "e.zip"), "secret.bin"], cwd=enc, check=True)
        # One archive: the two entries of a.zip then the encrypted one, no central directory.
        ziptools.cut_central_directory(path)
        encrypted = ziptools.read(os.path.join(folder, "e.zip"))
        ziptools.write(path, ziptools.read(path) + encrypted[:ziptools.central_directory_offset(encrypted)])
        r = ziptools.ziprepair("repair", path)
        self.assertEqual(r.returncode, 3, r.stderr.decode())
        self.assertEqual(r.stdout.decode().splitlines()[-1],
                         "3 entries written: 1 intact, 1 damaged (docs/report.pdf), "
                         "1 not checked (secret.bin: encrypted)")


class ConventionTests(CliCase):
    def zip_file(self):
        path = self.work.file("a.zip")
        with zipfile.ZipFile(path, "w") as z:
            z.writestr("a.txt", b"a" * 500)
        return path

    def test_help_and_version_exit_0(self):
        for args in (("help",), ("--help",), ("-h",), ("scan", "--help"), ("repair", "--help")):
            with self.subTest(args=args):
                r = ziptools.ziprepair(*args)
                self.assertEqual(r.returncode, 0)
                self.assertIn("--salvage", r.stdout.decode())
        for args in (("-V",), ("--version",)):
            r = ziptools.ziprepair(*args)
            self.assertEqual(r.returncode, 0)
            self.assertTrue(r.stdout.decode().startswith("ziprepair "))

    def test_usage_errors_exit_2(self):
        path = self.zip_file()
        for args in (("repair", "-o", "", path), ("scan", "--bogus", path), ("scan",), ("frobnicate", path),
                     ("scan", "--salvage", path), ("repair", path, path)):
            with self.subTest(args=args):
                r = ziptools.ziprepair(*args)
                self.assertEqual(r.returncode, 2)
                self.assertTrue(r.stderr.decode().startswith("ziprepair: "))
        self.assertEqual(self.work.listing(), ["a.zip"])

    def test_double_dash_lets_a_path_begin_with_a_dash(self):
        self.zip_file()
        os.rename(self.work.file("a.zip"), self.work.file("-a.zip"))
        r = subprocess.run([ziptools.ZIPREPAIR, "repair", "--", "-a.zip"], cwd=self.work.path,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        self.assertIn("-a_fixed.zip", self.work.listing())

    def test_output_that_is_a_file_is_not_a_folder(self):
        path = self.zip_file()
        r = ziptools.ziprepair("repair", path, "-o", path)
        self.assertEqual(r.returncode, 1)
        self.assertIn(path + ": is not a folder", r.stderr.decode())

    def test_full_standard_output_is_a_failure(self):
        path = self.zip_file()
        for args in (("scan", path), ("scan", "--json", path), ("help",)):
            with self.subTest(args=args):
                with open("/dev/full", "wb") as full:
                    r = subprocess.run([ziptools.ZIPREPAIR] + list(args), stdout=full, stderr=subprocess.PIPE)
                self.assertEqual(r.returncode, 1)
                self.assertIn("standard output", r.stderr.decode())

    def test_copied_program_prints_sentences_and_creates_no_settings(self):
        # The program alone in a folder: no Lang folder, HOME pointing at an empty folder.
        program = self.work.file("bin", "ziprepair")
        os.makedirs(os.path.dirname(program))
        shutil.copy(ziptools.ZIPREPAIR, program)
        home = self.work.file("home")
        os.makedirs(home)
        env = dict(os.environ, HOME=home)
        env.pop("XDG_CONFIG_HOME", None)
        self.zip_file()
        for args in (("scan", self.work.file("missing.zip")), ("scan", self.work.file("a.zip"))):
            r = subprocess.run([program] + list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
            self.assertNotIn("IDS_", r.stderr.decode())
        self.assertIn("could not be opened", subprocess.run(
            [program, "scan", self.work.file("missing.zip")], stderr=subprocess.PIPE, env=env).stderr.decode())
        self.assertEqual(os.listdir(home), [])
        self.assertEqual(os.listdir(os.path.dirname(program)), ["ziprepair"])


if __name__ == "__main__":
    unittest.main()
