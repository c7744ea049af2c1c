"""Every entry told as it is: archives from real writers in each method the
verifier decodes are reported intact, overwritten data damaged with the
entry's name, encrypted and undecodable methods not checked, and --salvage
keeps the decodable beginning of an entry cut off by the end of the file."""

import os
import random
import shutil
import subprocess
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import verifytools as vt  # noqa: E402
import ziptools  # noqa: E402
from ziptools import Workspace  # noqa: E402

# Writers whose entries the verifier decodes: name -> (writer, method of the
# compressed entries, readers that understand that method).
ALL_READERS = ("unzip -t", "7z t", "bsdtar", "python zipfile")
DECODED = {
    "zip_stored": (ziptools.zip_stored, vt.METHOD_STORED, ALL_READERS),
    "zip_deflated": (ziptools.zip_deflated, vt.METHOD_DEFLATE, ALL_READERS),
    "zip_streamed": (ziptools.zip_streamed, vt.METHOD_DEFLATE, ALL_READERS),
    "zip_bzip2": (vt.zip_bzip2, vt.METHOD_BZIP2, ("unzip -t", "7z t", "python zipfile")),
    "7z_lzma": (vt.sevenzip_method("LZMA"), vt.METHOD_LZMA, ("7z t", "python zipfile")),
    "python_lzma": (vt.python_method(zipfile.ZIP_LZMA), vt.METHOD_LZMA, ("7z t", "python zipfile")),
    "python_bzip2": (vt.python_method(zipfile.ZIP_BZIP2), vt.METHOD_BZIP2, ("unzip -t", "7z t", "python zipfile")),
}


def setUpModule():
    global WORK, ORIGINALS, FILES
    WORK = Workspace()
    ORIGINALS = WORK.file("originals")
    os.makedirs(ORIGINALS)
    FILES = ziptools.make_originals(ORIGINALS)


def tearDownModule():
    WORK.remove()


def readers_pass(path, readers):
    failures = []
    for name in readers:
        ok, output = ziptools.VALIDATORS[name](path)
        if not ok:
            failures.append("%s:\n%s" % (name, output[-1500:]))
    return failures


class VerifyCase(unittest.TestCase):
    def setUp(self):
        self.work = Workspace()

    def tearDown(self):
        self.work.remove()

    def made(self, writer, name="a.zip"):
        path = self.work.file(name)
        writer(ORIGINALS, path)
        return path

    def assert_all(self, obj, status):
        bad = [(e["name"], e["status"], e.get("detail")) for e in obj["entries"] if e["status"] != status]
        self.assertEqual(bad, [])


class MethodTests(VerifyCase):
    def test_archives_from_real_writers_verify_intact_in_every_decoded_method(self):
        # Intact archives: scan --verify and repair both say intact; the
        # repaired archive passes every reader that knows the method.
        for label, (writer, method, readers) in DECODED.items():
            with self.subTest(writer=label):
                folder = self.work.file(label)
                os.makedirs(folder)
                path = os.path.join(folder, "a.zip")
                writer(ORIGINALS, path)
                status, obj, err = vt.report("scan", "--verify", path)
                self.assertEqual(status, 0, err)
                self.assert_all(obj, "intact")
                self.assertIn(method, [e["method"] for e in obj["entries"] if e["uncompressedSize"] > 0])
                status, obj, err = vt.report("repair", path)
                self.assertEqual(status, 0, err)
                self.assertEqual(obj["counts"]["intact"], len(obj["entries"]))
                self.assertEqual(readers_pass(obj["output"], readers), [])
                with zipfile.ZipFile(obj["output"]) as z:
                    for info in z.infolist():
                        if not info.is_dir():
                            self.assertEqual(z.read(info), FILES[info.filename], info.filename)

    def test_hand_built_zstd_and_xz_entries_verify_intact_and_damaged(self):
        # No local writer makes these methods: entries carry frames from the
        # zstd tool and Python's lzma; one copy gets bytes overwritten mid-frame.
        for method in (vt.METHOD_ZSTD, vt.METHOD_XZ):
            with self.subTest(method=method):
                entries = vt.originals_for_hand_built(FILES, method)
                path = self.work.file("m%d.zip" % method)
                vt.hand_built(path, entries)
                status, obj, err = vt.report("scan", "--verify", path)
                self.assertEqual(status, 0, err)
                self.assert_all(obj, "intact")
                self.assertEqual({e["method"] for e in obj["entries"]}, {method})

                damaged = self.work.file("m%d-damaged.zip" % method)
                shutil.copyfile(path, damaged)
                start, size = vt.data_offset(path, "data/numbers.csv")
                ziptools.overwrite(damaged, start + size // 2, 40)
                status, obj, err = vt.report("scan", "--verify", damaged)
                entries = vt.by_name(obj)
                self.assertEqual(entries["data/numbers.csv"]["status"], "damaged")
                self.assertEqual([n for n, e in entries.items() if e["status"] != "intact"], ["data/numbers.csv"])

    def test_deflate64_and_ppmd_are_not_checked_and_not_an_error(self):
        # 7-Zip stores what does not compress; those entries are still checked.
        for method, number in (("Deflate64", vt.METHOD_DEFLATE64), ("PPMd", vt.METHOD_PPMD)):
            with self.subTest(method=method):
                path = self.made(vt.sevenzip_method(method), method + ".zip")
                status, obj, err = vt.report("repair", path)
                self.assertEqual(status, 0, err)
                compressed = [e for e in obj["entries"] if e["method"] == number]
                self.assertGreater(len(compressed), 3)
                for e in compressed:
                    self.assertEqual(e["status"], "not-checked", e["name"])
                    self.assertEqual(e["reason"], "method-not-supported")
                stored = [e for e in obj["entries"] if e["method"] == vt.METHOD_STORED]
                self.assertTrue(all(e["status"] == "intact" for e in stored))
                self.assertEqual(readers_pass(obj["output"], ("7z t",)), [])
                r = ziptools.ziprepair("repair", path)
                self.assertEqual(r.returncode, 0)
                self.assertIn("not checked (", r.stdout.decode())
                self.assertIn(method + " not supported", r.stdout.decode())

    def test_encrypted_entries_are_not_checked(self):
        writers = {
            "zip -e": lambda root, out: vt.run(["zip", "-q", "-r", "-P", "secret", out] + vt.members(root), cwd=root),
            "7z AES": lambda root, out: vt.run(["7z", "a", "-tzip", "-bd", "-psecret", "-mem=AES256", out]
                                               + vt.members(root), cwd=root),
        }
        for label, writer in writers.items():
            with self.subTest(writer=label):
                path = self.made(writer, label.replace(" ", "_") + ".zip")
                status, obj, err = vt.report("repair", path)
                self.assertEqual(status, 0, err)
                files = [e for e in obj["entries"] if not e["name"].endswith("/") and e["uncompressedSize"] > 0]
                for e in files:
                    self.assertEqual((e["status"], e["reason"]), ("not-checked", "encrypted"), e["name"])
                with zipfile.ZipFile(obj["output"]) as z:
                    if label == "zip -e":
                        z.setpassword(b"secret")
                        self.assertEqual(z.read("readme.txt"), FILES["readme.txt"])


class DamageTests(VerifyCase):
    WRITERS = ("zip_stored", "zip_deflated", "zip_bzip2", "7z_lzma", "python_lzma")

    def damaged(self, label, victim="data/numbers.csv"):
        """An archive with 48 bytes overwritten in the middle of victim's data."""
        writer = DECODED[label][0]
        folder = self.work.file(label)
        os.makedirs(folder)
        path = os.path.join(folder, "damaged.zip")
        writer(ORIGINALS, path)
        start, size = vt.data_offset(path, victim)
        ziptools.overwrite(path, start + size // 2, 48)
        return path

    def test_overwritten_data_is_reported_damaged_with_its_name(self):
        for label in self.WRITERS:
            with self.subTest(writer=label):
                path = self.damaged(label)
                status, obj, err = vt.report("repair", path)
                self.assertEqual(status, 3, err)
                entries = vt.by_name(obj)
                self.assertEqual(entries["data/numbers.csv"]["status"], "damaged")
                self.assertTrue(entries["data/numbers.csv"]["written"])
                others = [n for n, e in entries.items() if n != "data/numbers.csv" and e["status"] != "intact"]
                self.assertEqual(others, [])
                # The other entries read back as the originals.
                with zipfile.ZipFile(obj["output"]) as z:
                    for info in z.infolist():
                        if info.filename != "data/numbers.csv" and not info.is_dir():
                            self.assertEqual(z.read(info), FILES[info.filename], info.filename)

                r = ziptools.ziprepair("repair", path)
                self.assertEqual(r.returncode, 3)
                self.assertRegex(r.stdout.decode().splitlines()[-1],
                                 r"^\d+ entries written: \d+ intact, 1 damaged \(data/numbers\.csv\)$")

    def test_skip_damaged_leaves_the_entry_out_and_every_reader_accepts_the_rest(self):
        for label in ("zip_deflated", "7z_lzma"):
            with self.subTest(writer=label):
                path = self.damaged(label)
                # What is left holds no damage: the run counts as clean.
                status, obj, err = vt.report("repair", "--skip-damaged", path)
                self.assertEqual(status, 0, err)
                self.assertFalse(vt.by_name(obj)["data/numbers.csv"]["written"])
                self.assertEqual(obj["counts"]["leftOut"], 1)
                self.assertEqual(readers_pass(obj["output"], DECODED[label][2]), [])
                with zipfile.ZipFile(obj["output"]) as z:
                    self.assertNotIn("data/numbers.csv", z.namelist())
                    self.assertEqual(z.read("readme.txt"), FILES["readme.txt"])

    def test_scan_verify_shows_a_status_column(self):
        path = self.damaged("zip_deflated")
        r = ziptools.ziprepair("scan", "--verify", path)
        self.assertEqual(r.returncode, 0)
        lines = r.stdout.decode().splitlines()
        self.assertIn("Status", lines[0])
        row = [l for l in lines if l.endswith("data/numbers.csv")]
        self.assertEqual(len(row), 1)
        self.assertIn(" damaged ", row[0])
        plain = ziptools.ziprepair("scan", path).stdout.decode().splitlines()
        self.assertNotIn("Status", plain[0])


class ExitStatusTests(VerifyCase):
    def test_nothing_recoverable_writes_nothing_and_exits_4(self):
        folder = self.work.file("junk")
        os.makedirs(folder)
        path = os.path.join(folder, "junk.zip")
        ziptools.write(path, ziptools.garbage(5000))
        r = ziptools.ziprepair("repair", path)
        self.assertEqual(r.returncode, 4, r.stderr.decode())
        self.assertIn(path, r.stderr.decode())
        self.assertEqual(os.listdir(folder), ["junk.zip"])

    def test_every_entry_damaged_with_skip_damaged_is_nothing_recoverable(self):
        folder = self.work.file("one")
        os.makedirs(folder)
        path = os.path.join(folder, "one.zip")
        vt.run(["zip", "-q", path, "data/numbers.csv"], cwd=ORIGINALS)
        start, size = vt.data_offset(path, "data/numbers.csv")
        ziptools.overwrite(path, start + size // 3, 32)
        self.assertEqual(ziptools.ziprepair("repair", "--skip-damaged", path).returncode, 4)
        self.assertEqual(os.listdir(folder), ["one.zip"])
        self.assertEqual(ziptools.ziprepair("repair", path).returncode, 3)


def big_text(size, seed):
    """Compressible but never repeating text, so a prefix is a real check."""
    rng = random.Random(seed)
    words = [b"alpha", b"beta", b"gamma", b"delta", b"epsilon", b"zeta", b"theta", b"kappa", b"lambda"]
    parts = []
    total = 0
    n = 0
    while total < size:
        line = b"%08d " % n + b" ".join(rng.choice(words) for _ in range(10)) + b"\n"
        parts.append(line)
        total += len(line)
        n += 1
    return b"".join(parts)[:size]


class SalvageTests(VerifyCase):
    def salvage_case(self, store):
        """A small file and a 50 MB one, cut at 70 % of the big one's data."""
        folder = self.work.file("cut")
        os.makedirs(folder)
        ziptools.write(os.path.join(folder, "small.txt"), FILES["readme.txt"])
        big = big_text(50 * 1000 * 1000, seed=3) if not store else random.Random(4).randbytes(50 * 1000 * 1000)
        ziptools.write(os.path.join(folder, "big.bin"), big)
        path = os.path.join(folder, "cut.zip")
        vt.run(["zip", "-q"] + (["-0"] if store else []) + ["cut.zip", "small.txt", "big.bin"], cwd=folder)
        os.remove(os.path.join(folder, "small.txt"))
        os.remove(os.path.join(folder, "big.bin"))
        start, size = vt.data_offset(path, "big.bin")
        ziptools.cut_at(path, start + size * 7 // 10)
        return folder, path, big

    def check_salvage(self, store):
        folder, path, big = self.salvage_case(store)
        # Without the flag the cut entry is left out, as before.
        status, obj, err = vt.report("repair", path)
        self.assertEqual(status, 0, err)
        self.assertEqual([e["name"] for e in obj["entries"]], ["small.txt"])
        self.assertIn("extent-past-end", [f["reason"] for f in obj["refused"]])
        os.remove(obj["output"])

        status, obj, err = vt.report("repair", "--salvage", path)
        self.assertEqual(status, 3, err)
        partial = vt.by_name(obj)["#Partial Files/big.bin"]
        self.assertEqual(partial["status"], "partial")
        self.assertEqual(readers_pass(obj["output"], ALL_READERS), [])
        with zipfile.ZipFile(obj["output"]) as z:
            got = z.read("#Partial Files/big.bin")
            self.assertEqual(z.read("small.txt"), FILES["readme.txt"])
        self.assertEqual(len(got), partial["recoveredBytes"])
        self.assertGreater(len(got), len(big) // 2)
        self.assertLess(len(got), len(big))
        self.assertEqual(got, big[:len(got)])
        self.assertEqual(sorted(os.listdir(folder)), ["cut.zip", "cut_fixed.zip"])

    def test_cut_deflated_entry_keeps_its_decodable_beginning(self):
        self.check_salvage(store=False)

    def test_cut_stored_entry_keeps_the_bytes_present(self):
        self.check_salvage(store=True)

    def test_entry_cut_by_a_missing_part_keeps_its_decodable_beginning(self):
        # `zip -s 64k` of a 3 MB text and a small file; the second part is deleted.
        src = self.work.file("src")
        os.makedirs(src)
        big = big_text(3 * 1000 * 1000, seed=8)
        ziptools.write(os.path.join(src, "big.txt"), big)
        ziptools.write(os.path.join(src, "small.txt"), FILES["readme.txt"])
        parts = self.work.file("parts")
        os.makedirs(parts)
        vt.run(["zip", "-q", "-s", "64k", os.path.join(parts, "set.zip"), "big.txt", "small.txt"], cwd=src)
        self.assertIn("set.z03", os.listdir(parts))
        os.remove(os.path.join(parts, "set.z02"))
        status, obj, err = vt.report("repair", "--salvage", parts)
        self.assertEqual(status, 3, err)
        self.assertIn("part-missing", [f["reason"] for f in obj["refused"]])
        partial = vt.by_name(obj)["#Partial Files/big.txt"]
        self.assertEqual(partial["status"], "partial")
        self.assertEqual(readers_pass(obj["output"], ALL_READERS), [])
        with zipfile.ZipFile(obj["output"]) as z:
            got = z.read("#Partial Files/big.txt")
            self.assertEqual(z.read("small.txt"), FILES["readme.txt"])
        self.assertEqual(len(got), partial["recoveredBytes"])
        self.assertGreater(len(got), 0)
        self.assertEqual(got, big[:len(got)])


if __name__ == "__main__":
    unittest.main()
