"""When two readings of the same bytes disagree, the one the data confirm
wins: a size field the compressed stream refutes, a header whose name or
extra length grew over the next entry, local fields that an intact central
record contradicts, fields no reader accepts. Archives come from real
writers and are damaged one field at a time; every entry Python's zipfile
reads from the damaged file must come back with its content, the output
must pass every independent reader, and each decision must be a finding."""

import json
import os
import struct
import subprocess
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ziptools  # noqa: E402
from ziptools import Workspace  # noqa: E402

PASSWORD = "s3cret-Pass"

SMALL = {
    "one.txt": b"first entry text\n" * 200,
    "two.txt": b"second entry\n" * 150,
    "three.bin": bytes(range(256)) * 20,
    "four.txt": b"the fourth and last\n" * 90,
}
# Large enough that a name length grown by 0x8000 still ends inside the file.
LARGE = {
    "alpha.txt": b"alpha line of text\n" * 3000,
    "beta.bin": bytes((i * 7919) & 0xFF for i in range(40000)),
    "gamma.txt": b"gamma " * 8000,
    "delta.txt": b"delta\n" * 500,
}


def write_tree(root, files):
    os.makedirs(root, exist_ok=True)
    for name, data in files.items():
        ziptools.write(os.path.join(root, name), data)
    return list(files)


def info_zip(root, names, out, *options):
    subprocess.run(["zip", "-q"] + list(options) + [out] + names, cwd=root, check=True)


def seven_zip(root, names, out, *options):
    subprocess.run(["7z", "a", "-tzip", "-bd"] + list(options) + [out] + names, cwd=root, check=True,
                   stdout=subprocess.DEVNULL)


def python_zip(root, names, out):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name in names:
            z.write(os.path.join(root, name), name)


def python_zip_renamed(root, names, out, renamed):
    """Python's archive with some entries stored under other names (an empty one too)."""
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name in names:
            info = zipfile.ZipInfo(renamed.get(name, name), (2010, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, ziptools.read(os.path.join(root, name)))


def python_streamed(root, names, out, compression=zipfile.ZIP_DEFLATED):
    with open(out, "wb") as raw:
        with zipfile.ZipFile(ziptools._Unseekable(raw), "w", compression) as z:
            for name in names:
                with open(os.path.join(root, name), "rb") as src, z.open(name, "w") as dst:
                    dst.write(src.read())


def nth(data, signature, index):
    at = -1
    for _ in range(index + 1):
        at = data.index(signature, at + 1)
    return at


def change(field_offset, fmt, how, signature=ziptools.LOCAL_SIG, index=0):
    """A damage: the field at field_offset of the index-th record with that
    signature becomes how(old value)."""
    def damage(data):
        at = nth(data, signature, index) + field_offset
        struct.pack_into(fmt, data, at, how(struct.unpack_from(fmt, data, at)[0]))
    return damage


def without_first_descriptor(data):
    at = data.index(b"PK\x07\x08")
    del data[at:at + 16]


def zero_central_directory(data):
    start = ziptools.central_directory_offset(bytes(data))
    data[start:] = bytes(len(data) - start)


def both(*damages):
    def damage(data):
        for d in damages:
            d(data)
    return damage


def python_reads(path, pwd=None):
    """{name: content} of every entry Python's zipfile reads whole."""
    got = {}
    try:
        with zipfile.ZipFile(path) as z:
            for info in z.infolist():
                try:
                    got[info.filename] = z.read(info, pwd=pwd)
                except Exception:  # an entry it refuses is simply not read
                    pass
    except Exception:
        pass
    return got


class ConflictingReadings(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = Workspace()
        small = write_tree(cls.work.file("small"), SMALL)
        large = write_tree(cls.work.file("large"), LARGE)
        src_small, src_large = cls.work.file("small"), cls.work.file("large")
        cls.archives = {}
        makers = {
            "zip-deflate": lambda out: info_zip(src_small, small, out, "-X"),
            "zip-stored": lambda out: info_zip(src_small, small, out, "-X", "-0"),
            "zip-extra": lambda out: info_zip(src_small, small, out),
            "zip-stored-large": lambda out: info_zip(src_large, large, out, "-X", "-0"),
            "python": lambda out: python_zip(src_large, large, out),
            "python-streamed": lambda out: python_streamed(src_large, large, out),
            "python-streamed-stored": lambda out: python_streamed(src_large, large, out, zipfile.ZIP_STORED),
            "python-empty-name": lambda out: python_zip_renamed(src_large, large, out, {"gamma.txt": ""}),
            "7z-bzip2": lambda out: seven_zip(src_large, large, out, "-mm=BZip2"),
        }
        for kind, make in makers.items():
            path = cls.work.file(kind + ".zip")
            make(path)
            cls.archives[kind] = path

    @classmethod
    def tearDownClass(cls):
        cls.work.remove()

    def damaged_copy(self, kind, label, damage):
        data = bytearray(ziptools.read(self.archives[kind]))
        damage(data)
        path = self.work.file(label.replace(" ", "_") + ".zip")
        ziptools.write(path, bytes(data))
        return path

    def repair(self, path, expect_status=0):
        out = self.work.file("out-" + os.path.basename(path))
        os.makedirs(out)
        r = ziptools.ziprepair("repair", "--json", "-o", out, path)
        self.assertEqual(r.returncode, expect_status, r.stderr.decode())
        report = json.loads(r.stdout.decode())
        return report["output"], report

    def test_the_reading_the_data_confirm_wins(self):
        # (label, archive, damage, entries the repair must give back, a finding it must make)
        cases = [
            ("deflate size claims 300 more", "zip-deflate",
             change(18, "<I", lambda v: v + 300), SMALL, "size-field-corrected"),
            ("deflate size claims 5 less", "zip-deflate",
             change(18, "<I", lambda v: v - 5), SMALL, "size-field-corrected"),
            ("stored size claims 300 more", "zip-stored",
             change(18, "<I", lambda v: v + 300), SMALL, "size-field-corrected"),
            ("bzip2 size claims 99 more", "7z-bzip2",
             change(18, "<I", lambda v: v + 99), LARGE, "size-field-corrected"),
            ("deflate size claims more, no central directory", "zip-deflate",
             both(change(18, "<I", lambda v: v + 300), zero_central_directory), SMALL, "size-field-corrected"),
            ("python size of the second entry claims more", "python",
             change(18, "<I", lambda v: v + 300, index=1), LARGE, "size-field-corrected"),
            ("stored name length grew by 0x8000", "zip-stored-large",
             change(26, "<H", lambda v: v + 0x8000), LARGE, "recovered-from-central"),
            # Nothing then says where the swallowing entry's data begin: it is
            # kept as a damaged entry cut before the one it swallowed (exit 3).
            ("stored name length grew by 0x8000, no central directory", "zip-stored-large",
             both(change(26, "<H", lambda v: v + 0x8000), zero_central_directory),
             {k: v for k, v in LARGE.items() if k != "alpha.txt"}, "entry-cut-at-header"),
            ("python name length grew by 3", "python",
             change(26, "<H", lambda v: v + 3), LARGE, "recovered-from-central"),
            ("extra length grew by 9", "zip-extra",
             change(28, "<H", lambda v: v + 9), SMALL, "recovered-from-central"),
            ("local CRC-32", "zip-deflate", change(14, "<B", lambda v: v ^ 0x40), SMALL, "local-field-from-central"),
            ("local encryption flag", "zip-deflate",
             change(6, "<H", lambda v: v | 1), SMALL, "local-field-from-central"),
            ("local uncompressed size", "zip-deflate",
             change(22, "<B", lambda v: v ^ 0x10), SMALL, "local-field-from-central"),
            ("bzip2 local uncompressed size", "7z-bzip2",
             change(22, "<B", lambda v: v ^ 4, index=1), LARGE, "local-field-from-central"),
            ("local name", "zip-deflate", change(30, "<B", lambda v: v ^ 0x20), SMALL, "name-conflict-decided"),
            ("local CRC-32 and central uncompressed size", "zip-deflate",
             both(change(14, "<B", lambda v: v ^ 0x40),
                  change(24, "<B", lambda v: v ^ 0x10, signature=ziptools.CENTRAL_SIG)),
             SMALL, "local-field-from-central"),
            ("streamed entry's flag bit 3 cleared", "python-streamed",
             change(6, "<H", lambda v: v & ~8, index=1), LARGE, "local-field-from-central"),
            ("descriptor CRC-32", "python-streamed",
             change(4, "<B", lambda v: v ^ 1, signature=b"PK\x07\x08"), LARGE, "recovered-from-central"),
            # Without a central directory only the decoded stream vouches for
            # a descriptor whose signature or one size field is damaged.
            ("descriptor signature, no central directory", "python-streamed",
             both(change(0, "<B", lambda v: v ^ 0xED, signature=b"PK\x07\x08"), zero_central_directory),
             LARGE, None),
            ("descriptor uncompressed size, no central directory", "python-streamed",
             both(change(12, "<B", lambda v: v ^ 0x80, signature=b"PK\x07\x08", index=1), zero_central_directory),
             LARGE, None),
            ("version needed 22.0", "zip-deflate", change(4, "<H", lambda v: 0x00DC), SMALL, "header-made-readable"),
            ("version needed 0xFF16", "zip-deflate", change(4, "<H", lambda v: 0xFF16), SMALL,
             "header-made-readable"),
            ("version needed 6.3 on deflate, no central directory", "zip-deflate",
             both(change(4, "<H", lambda v: 0x3F), zero_central_directory), SMALL, "header-made-readable"),
            ("flag bit 5", "zip-deflate", change(6, "<H", lambda v: v | 0x20), SMALL, "header-made-readable"),
            ("malformed local extra block", "zip-extra",
             change(30 + len("one.txt") + 2, "<H", lambda v: v + 50), SMALL, "header-made-readable"),
            # A date naming no real moment makes 7z call the headers damaged.
            ("local time hour 26", "zip-deflate", change(10, "<H", lambda v: 26 << 11), SMALL,
             "local-field-from-central"),
            ("local time hour 26, no central directory", "zip-deflate",
             both(change(10, "<H", lambda v: 26 << 11), zero_central_directory), SMALL, "header-made-readable"),
            # The central record's UTF-8 flag over a name that is not UTF-8:
            # Python cannot even list the damaged file; the local name and
            # flags the data were written with stand.
            ("central UTF-8 flag and a damaged central name", "zip-deflate",
             both(change(8, "<H", lambda v: v | 0x0800, signature=ziptools.CENTRAL_SIG),
                  change(46, "<B", lambda v: v ^ 0x80, signature=ziptools.CENTRAL_SIG)),
             SMALL, "name-conflict-decided"),
            # Nothing but the next entry ends stored streamed data without a
            # descriptor: all its bytes are kept, damaged, for no CRC-32 checks them.
            ("stored streamed entry without descriptor or directory", "python-streamed-stored",
             both(without_first_descriptor, zero_central_directory),
             {k: v for k, v in LARGE.items() if k != "alpha.txt"}, "entry-cut-at-header"),
            # The directory walk goes on past a record with an empty name.
            ("entry after an empty-named one, local signature", "python-empty-name",
             change(0, "<B", lambda v: v ^ 0x11, index=3),
             {("" if k == "gamma.txt" else k): v for k, v in LARGE.items()}, "recovered-from-central"),
        ]
        for label, kind, damage, expected, finding in cases:
            with self.subTest(label):
                damaged = self.damaged_copy(kind, label, damage)
                plain = python_reads(damaged)
                output, report = self.repair(damaged, 0 if len(expected) == 4 else 3)
                repaired = python_reads(output)
                for name, content in plain.items():
                    self.assertEqual(repaired.get(name), content, "%s: Python reads it from the damaged file" % name)
                for name, content in expected.items():
                    self.assertEqual(repaired.get(name), content, name)
                self.assertEqual(sorted(repaired), sorted(expected), "nothing else comes back")
                self.assertEqual(report["counts"]["intact"], len(expected))
                # bsdtar skips an entry with an empty name as unreadable.
                if len(expected) == 4 and "" not in expected:
                    self.assertEqual(ziptools.failed_validators(output), [])
                reasons = [f["reason"] for f in report["refused"]]
                if finding:
                    self.assertIn(finding, reasons)
                for f in report["refused"]:
                    if f.get("mended"):
                        self.assertIn("field", f)
                        self.assertIn("basis", f)

    def test_encrypted_entries_keep_what_their_password_check_needs(self):
        # Info-ZIP encrypts with flag bit 3, so the password check byte is
        # the time's; 7-Zip's AES entries carry key strength and method in a
        # local extra block. A rebuilt header must keep both as the central
        # record has them, or the entry no longer decrypts.
        src = self.work.file("small")
        crypt = self.work.file("crypt.zip")
        info_zip(src, sorted(SMALL), crypt, "-X", "-P", PASSWORD)
        aes = self.work.file("aes.zip")
        seven_zip(src, sorted(SMALL), aes, "-mem=AES256", "-p" + PASSWORD)
        self.archives.update({"zip-crypt": crypt, "7z-aes": aes})

        def damage_aes_block(data):
            at = data.index(b"\x01\x99\x07\x00", nth(data, ziptools.LOCAL_SIG, 1))
            data[at + 8] ^= 0x03  # the key strength

        def damage_central_aes_block(data):
            at = data.index(b"\x01\x99\x07\x00", nth(data, ziptools.CENTRAL_SIG, 1))
            data[at + 6:at + 8] = b"\xe9\x82"  # the vendor id

        cases = [
            ("encrypted local name", "zip-crypt", change(30, "<B", lambda v: v ^ 0x20, index=1)),
            # Nothing can check encrypted data: a damaged central record must
            # not win over the intact local header the data were written with.
            ("encrypted central CRC", "zip-crypt",
             change(16, "<I", lambda v: v ^ 0x5A5A5A5A, signature=ziptools.CENTRAL_SIG, index=1)),
            ("AES central block", "7z-aes", damage_central_aes_block),
            ("encrypted last descriptor's signature", "zip-crypt",
             change(3, "<B", lambda v: v ^ 0x86, signature=b"PK\x07\x08", index=3)),
            ("AES local key strength", "7z-aes", damage_aes_block),
        ]
        for label, kind, damage in cases:
            with self.subTest(label):
                damaged = self.damaged_copy(kind, label, damage)
                output, report = self.repair(damaged)
                self.assertEqual(report["counts"]["notChecked"], len(SMALL))
                extracted = self.work.file("extracted-" + label.replace(" ", "_"))
                r = subprocess.run(["7z", "x", "-bd", "-p" + PASSWORD, "-o" + extracted, output],
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                self.assertEqual(r.returncode, 0, r.stdout.decode(errors="replace"))
                for name, content in SMALL.items():
                    self.assertEqual(ziptools.read(os.path.join(extracted, name)), content, name)
                if kind == "zip-crypt":
                    self.assertEqual(python_reads(output, PASSWORD.encode()), SMALL)

    def test_encrypted_ppmd_streamed_without_descriptor_takes_its_sizes_from_the_central_record(self):
        # 7-Zip writes AES-encrypted PPMd entries; a streaming writer marks
        # them with flag bit 3 and leaves the local sizes 0, and here no
        # descriptor follows (no writer at hand streams them: the flags and
        # sizes are set by hand). Only the central record tells where each ends.
        src = self.work.file("large")
        path = self.work.file("aes-ppmd.zip")
        seven_zip(src, sorted(LARGE), path, "-mem=AES256", "-mm=PPMd", "-p" + PASSWORD)
        data = bytearray(ziptools.read(path))
        for signature, flags_at in ((ziptools.LOCAL_SIG, 6), (ziptools.CENTRAL_SIG, 8)):
            at = data.find(signature)
            while at >= 0:
                struct.pack_into("<H", data, at + flags_at, struct.unpack_from("<H", data, at + flags_at)[0] | 8)
                if signature == ziptools.LOCAL_SIG:
                    struct.pack_into("<III", data, at + 14, 0, 0, 0)
                at = data.find(signature, at + 1)
        ziptools.write(path, bytes(data))
        output, report = self.repair(path)
        self.assertEqual(report["counts"]["notChecked"], len(LARGE))
        r = subprocess.run(["7z", "t", "-bd", "-p" + PASSWORD, output], stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT)
        self.assertIn(b"Everything is Ok", r.stdout, r.stdout.decode(errors="replace"))
        extracted = self.work.file("aes-extracted")
        subprocess.run(["7z", "x", "-bd", "-p" + PASSWORD, "-o" + extracted, output], check=True,
                       stdout=subprocess.DEVNULL)
        for name, content in LARGE.items():
            self.assertEqual(ziptools.read(os.path.join(extracted, name)), content, name)


if __name__ == "__main__":
    unittest.main()
