"""Every entry that survives comes back, described as the original described
it: archives inside streamed entries, archives joined end to end, entries
whose local header is broken but whose central record survives, Unix modes
and symlinks, non-ASCII names, comments, encrypted entries. Archives come
from real writers, are damaged on purpose, repaired by `ziprepair repair` and
judged by independent readers."""

import io
import os
import shutil
import stat
import struct
import subprocess
import sys
import unittest
import zipfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ziptools  # noqa: E402
from ziptools import Workspace  # noqa: E402

PASSWORD = "s3cret-Pass"


def run(args, cwd=None):
    return subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def python_streamed(out, members):
    """members: [(name, bytes, compress_type)], written to a non-seekable
    stream, so every entry gets flag bit 3 and a data descriptor."""
    with open(out, "wb") as raw:
        with zipfile.ZipFile(ziptools._Unseekable(raw), "w") as z:
            for name, data, method in members:
                info = zipfile.ZipInfo(name, date_time=(2024, 5, 6, 7, 8, 10))
                info.compress_type = method
                with z.open(info, "w") as dst:
                    dst.write(data)


def inner_archive(entries=5, tag="inner"):
    """A small stored archive as bytes (what a .zip, .jar or .docx entry holds)."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as z:
        for i in range(entries):
            z.writestr("%s/part%d.txt" % (tag, i), ("%s %d\n" % (tag, i)) * (50 + i))
    return buffer.getvalue()


def names_and_contents(path, pwd=None):
    with zipfile.ZipFile(path) as z:
        return [(i.filename, z.read(i, pwd=pwd)) for i in z.infolist()]


def unzip_listing(path):
    """`unzip -l` name column, as the user sees it."""
    out = subprocess.run(["unzip", "-l", path], stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout
    lines = out.decode("utf-8", errors="replace").splitlines()[3:-2]
    return [line[30:] for line in lines]


def first_local_header(data):
    return data.index(ziptools.LOCAL_SIG)


def break_signature(path, offset):
    data = bytearray(ziptools.read(path))
    data[offset:offset + 4] = b"XX\x00\x00"
    ziptools.write(path, bytes(data))


def zero_central_directory(path):
    data = bytearray(ziptools.read(path))
    start = ziptools.central_directory_offset(bytes(data))
    data[start:] = bytes(len(data) - start)
    ziptools.write(path, bytes(data))


class RecoverCase(unittest.TestCase):
    def setUp(self):
        self.work = Workspace()

    def tearDown(self):
        self.work.remove()

    def fingerprint(self, source):
        """The source's bytes: one file, or every file of a folder of parts."""
        if not os.path.isdir(source):
            return {source: ziptools.sha256(source)}
        return {name: ziptools.sha256(os.path.join(source, name)) for name in sorted(os.listdir(source))}

    def repair(self, damaged, expect_status=0):
        before = self.fingerprint(damaged)
        r = ziptools.ziprepair("repair", damaged)
        self.assertEqual(r.returncode, expect_status, r.stderr.decode())
        output = r.stdout.decode().splitlines()[0]
        after = self.fingerprint(damaged)
        after.pop(os.path.basename(output), None)  # the output may be written beside the parts
        self.assertEqual(after, before, "the source was modified")
        return output

    def assert_readers_accept(self, path):
        failures = ziptools.failed_validators(path)
        self.assertEqual(failures, [], "\n".join("%s:\n%s" % f for f in failures))

    def assert_same_entries(self, repaired, original, pwd=None):
        """Same entries, in the same order, with the same content."""
        self.assertEqual(names_and_contents(repaired, pwd), names_and_contents(original, pwd))

    def copy(self, source, name):
        path = self.work.file(name)
        shutil.copyfile(source, path)
        return path


class EntriesInsideEntries(RecoverCase):
    def streamed_with_inner_archives(self):
        path = self.work.file("outer.zip")
        python_streamed(path, [
            ("before.txt", b"first entry\n" * 300, zipfile.ZIP_DEFLATED),
            ("bundle.zip", inner_archive(6, "zipped"), zipfile.ZIP_STORED),
            ("lib.jar", inner_archive(3, "META-INF"), zipfile.ZIP_STORED),
            ("report.docx", inner_archive(4, "word"), zipfile.ZIP_STORED),
            ("after.txt", b"the outer archive goes on\n" * 200, zipfile.ZIP_DEFLATED),
            ("packed.bin", zlib.compress(b"x" * 5000), zipfile.ZIP_BZIP2),
            ("tail.txt", b"last\n" * 100, zipfile.ZIP_DEFLATED),
        ])
        return path

    def test_stored_archives_inside_streamed_entries_are_data(self):
        # A writer streaming to a pipe keeps stored archives inside its
        # entries; their headers and central directories never become entries.
        original = self.streamed_with_inner_archives()
        for damage in ("intact", "central cut", "central zeroed"):
            with self.subTest(damage=damage):
                damaged = self.copy(original, damage.replace(" ", "_") + ".zip")
                if damage == "central cut":
                    ziptools.cut_central_directory(damaged)
                elif damage == "central zeroed":
                    zero_central_directory(damaged)
                repaired = self.repair(damaged)
                self.assert_readers_accept(repaired)
                self.assert_same_entries(repaired, original)

    def test_broken_header_in_front_of_a_stored_archive(self):
        # Info-ZIP stores an archive; the local signature of that entry is
        # broken. Its central record brings it back, and the headers inside
        # it, met by the scan, leave the table.
        src = self.work.file("src")
        os.makedirs(src)
        ziptools.write(os.path.join(src, "a.txt"), b"alpha\n" * 100)
        ziptools.write(os.path.join(src, "inner.zip"), inner_archive(8))
        ziptools.write(os.path.join(src, "z.txt"), b"omega\n" * 100)
        original = self.work.file("stored.zip")
        run(["zip", "-q", "-0", original, "a.txt", "inner.zip", "z.txt"], cwd=src)
        damaged = self.copy(original, "damaged.zip")
        with zipfile.ZipFile(original) as z:
            offset = z.getinfo("inner.zip").header_offset
        break_signature(damaged, offset)
        repaired = self.repair(damaged)
        self.assert_readers_accept(repaired)
        self.assert_same_entries(repaired, original)


class JoinedArchives(RecoverCase):
    def make(self, name, count, prefix):
        src = self.work.file(name + "-src")
        os.makedirs(os.path.join(src, prefix))
        for i in range(count):
            ziptools.write(os.path.join(src, prefix, "f%02d.txt" % i), ("%s %d\n" % (prefix, i)).encode() * 40)
        path = self.work.file(name + ".zip")
        run(["zip", "-q", "-r", path, prefix], cwd=src)
        return path

    def test_two_archives_joined_with_cat_give_all_entries(self):
        a = self.make("a", 10, "first")
        b = self.make("b", 50, "second")
        joined = self.work.file("joined.zip")
        ziptools.write(joined, ziptools.read(a) + ziptools.read(b))
        repaired = self.repair(joined)
        self.assert_readers_accept(repaired)
        self.assertEqual(names_and_contents(repaired), names_and_contents(a) + names_and_contents(b))


class DescribedAsTheOriginal(RecoverCase):
    def unix_tree(self):
        src = self.work.file("tree")
        os.makedirs(os.path.join(src, "bin"))
        os.makedirs(os.path.join(src, "share", "empty"))
        script = os.path.join(src, "bin", "run.sh")
        ziptools.write(script, b"#!/bin/sh\necho hello\n")
        os.chmod(script, 0o755)
        ziptools.write(os.path.join(src, "share", "data.txt"), b"plain data\n" * 50)
        os.chmod(os.path.join(src, "share", "data.txt"), 0o640)
        os.symlink("data.txt", os.path.join(src, "share", "data-link"))
        os.symlink("share", os.path.join(src, "folder-link"))
        return src

    def extracted(self, tool, archive, into):
        os.makedirs(into)
        if tool == "unzip":
            run(["unzip", "-q", archive, "-d", into])
        elif tool == "7z":
            run(["7z", "x", "-bd", "-snl", "-o" + into, archive])
        else:
            run(["bsdtar", "-xf", archive, "-C", into])
        described = {}
        for folder, dirs, files in os.walk(into):
            for name in dirs + files:
                path = os.path.join(folder, name)
                st = os.lstat(path)
                link = os.readlink(path) if stat.S_ISLNK(st.st_mode) else None
                described[os.path.relpath(path, into)] = (stat.S_IFMT(st.st_mode), stat.S_IMODE(st.st_mode), link)
        return described

    def test_modes_and_symlinks_survive_a_broken_local_header(self):
        src = self.unix_tree()
        original = self.work.file("unix.zip")
        run(["zip", "-q", "-r", "-y", original, "bin", "share", "folder-link"], cwd=src)
        damaged = self.copy(original, "damaged.zip")
        break_signature(damaged, first_local_header(ziptools.read(damaged)))
        repaired = self.repair(damaged)
        self.assert_readers_accept(repaired)
        self.assert_same_entries(repaired, original)
        for tool in ("unzip", "7z", "bsdtar"):
            with self.subTest(tool=tool):
                before = self.extracted(tool, original, self.work.file("x-" + tool + "-before"))
                after = self.extracted(tool, repaired, self.work.file("x-" + tool + "-after"))
                self.assertEqual(after, before)
                self.assertEqual(after[os.path.join("bin", "run.sh")][1], 0o755)
                self.assertEqual(after[os.path.join("share", "data-link")][2], "data.txt")

    def test_unix_host_inferred_without_central_directory(self):
        # Nothing of the central directory survives: files extract readable
        # (0644) and folders open (0755), not with the archive bit as mode.
        src = self.unix_tree()
        original = self.work.file("unix.zip")
        run(["zip", "-q", "-r", original, "bin", "share"], cwd=src)
        damaged = self.copy(original, "damaged.zip")
        ziptools.cut_central_directory(damaged)
        repaired = self.repair(damaged)
        self.assert_readers_accept(repaired)
        with zipfile.ZipFile(repaired) as z:
            for info in z.infolist():
                self.assertEqual(info.create_system, 3, info.filename)
                expected = 0o40755 if info.is_dir() else 0o100644
                self.assertEqual(info.external_attr >> 16, expected, info.filename)
        after = self.extracted("unzip", repaired, self.work.file("x"))
        self.assertEqual(after[os.path.join("share", "data.txt")][1], 0o644)
        self.assertEqual(after["share"][1], 0o755)

    def non_ascii_archives(self):
        src = self.work.file("names")
        os.makedirs(os.path.join(src, "données"))
        for name in ("données/été.txt", "données/日本語.txt", "Ölkännchen.md"):
            ziptools.write(os.path.join(src, name), ("content of %s\n" % name).encode() * 20)
        infozip = self.work.file("infozip.zip")
        run(["zip", "-q", "-r", infozip, "données", "Ölkännchen.md"], cwd=src)
        python = self.work.file("python.zip")
        with zipfile.ZipFile(python, "w", zipfile.ZIP_DEFLATED) as z:
            for name in ziptools._tree_names(src):
                z.write(os.path.join(src, name), name)
        return {"Info-ZIP": infozip, "Python": python}

    def test_non_ascii_names_list_as_before(self):
        # Python marks its names UTF-8 and writes no host fields in local
        # headers; Info-ZIP writes Unix fields. Either way `unzip -l` shows
        # the same names after the repair.
        for writer, original in self.non_ascii_archives().items():
            for damage in ("first local signature broken", "central cut"):
                with self.subTest(writer=writer, damage=damage):
                    damaged = self.copy(original, "%s-%d.zip" % (writer, len(damage)))
                    if damage == "central cut":
                        ziptools.cut_central_directory(damaged)
                    else:
                        break_signature(damaged, first_local_header(ziptools.read(damaged)))
                    repaired = self.repair(damaged)
                    self.assert_readers_accept(repaired)
                    self.assertEqual(unzip_listing(repaired), unzip_listing(original))
                    self.assert_same_entries(repaired, original)

    def test_archive_and_entry_comments_are_kept(self):
        src = self.work.file("c")
        os.makedirs(src)
        ziptools.write(os.path.join(src, "a.txt"), b"a\n" * 100)
        ziptools.write(os.path.join(src, "b.txt"), b"b\n" * 100)
        original = self.work.file("commented.zip")
        with zipfile.ZipFile(original, "w", zipfile.ZIP_DEFLATED) as z:
            z.comment = b"the archive's own comment"
            for name in ("a.txt", "b.txt"):
                info = zipfile.ZipInfo(name, date_time=(2023, 1, 2, 3, 4, 6))
                info.comment = ("comment of " + name).encode()
                info.compress_type = zipfile.ZIP_DEFLATED
                z.writestr(info, ziptools.read(os.path.join(src, name)))
        damaged = self.copy(original, "damaged.zip")
        ziptools.insert(damaged, 0, 500)
        repaired = self.repair(damaged)
        self.assert_readers_accept(repaired)
        with zipfile.ZipFile(repaired) as z:
            self.assertEqual(z.comment, b"the archive's own comment")
            self.assertEqual([i.comment for i in z.infolist()], [b"comment of a.txt", b"comment of b.txt"])


class OrphanFolders(RecoverCase):
    def test_folder_whose_parent_has_no_entry_is_kept(self):
        original = self.work.file("orphans.zip")
        with zipfile.ZipFile(original, "w") as z:
            z.writestr("top/sub/emptydir/", b"")
            z.writestr("META-INF/maven/", b"")
            z.writestr("META-INF/", b"")
            z.writestr("META-INF/MANIFEST.MF", b"Manifest-Version: 1.0\n")
        for damage in ("intact", "central cut"):
            with self.subTest(damage=damage):
                damaged = self.copy(original, damage.replace(" ", "_") + ".zip")
                if damage == "central cut":
                    ziptools.cut_central_directory(damaged)
                repaired = self.repair(damaged)
                self.assert_readers_accept(repaired)
                self.assert_same_entries(repaired, original)


class EncryptedAndUnusual(RecoverCase):
    def tree(self):
        src = self.work.file("secret")
        os.makedirs(src)
        ziptools.make_originals(src)
        return src

    def test_traditional_encryption(self):
        src = self.tree()
        seekable = self.work.file("zip-e.zip")
        run(["zip", "-q", "-r", "-P", PASSWORD, seekable, "."], cwd=src)
        streamed = self.work.file("zip-e-streamed.zip")
        with open(streamed, "wb") as f:
            f.write(run(["zip", "-q", "-r", "-P", PASSWORD, "-", "."], cwd=src).stdout)
        for original in (seekable, streamed):
            with self.subTest(archive=os.path.basename(original)):
                damaged = self.copy(original, "damaged-" + os.path.basename(original))
                ziptools.cut_central_directory(damaged)
                repaired = self.repair(damaged)
                subprocess.run(["unzip", "-t", "-P", PASSWORD, repaired], check=True, stdout=subprocess.PIPE)
                tested = subprocess.run(["7z", "t", "-bd", "-p" + PASSWORD, repaired], stdout=subprocess.PIPE)
                self.assertEqual(tested.returncode, 0, tested.stdout.decode(errors="replace"))
                self.assert_same_entries(repaired, original, pwd=PASSWORD.encode())

    def test_aes_encryption(self):
        src = self.tree()
        original = self.work.file("aes.zip")
        run(["7z", "a", "-tzip", "-bd", "-mem=AES256", "-p" + PASSWORD, original, "."], cwd=src)
        damaged = self.copy(original, "damaged.zip")
        ziptools.cut_central_directory(damaged)
        repaired = self.repair(damaged)
        tested = subprocess.run(["7z", "t", "-bd", "-p" + PASSWORD, repaired], stdout=subprocess.PIPE)
        self.assertEqual(tested.returncode, 0, tested.stdout.decode(errors="replace"))
        with zipfile.ZipFile(original) as a, zipfile.ZipFile(repaired) as b:
            self.assertEqual([(i.filename, i.CRC, i.compress_size) for i in b.infolist()],
                             [(i.filename, i.CRC, i.compress_size) for i in a.infolist()])

    def test_streamed_aes_entries_end_at_their_descriptor(self):
        # An AES entry with flag bit 3: crafted from a 7-Zip archive by moving
        # each entry's sizes into a descriptor, since no writer at hand streams AES.
        src = self.tree()
        original = self.work.file("aes.zip")
        run(["7z", "a", "-tzip", "-bd", "-mem=AES256", "-p" + PASSWORD, original, "."], cwd=src)
        streamed = self.work.file("aes-streamed.zip")
        ziptools.write(streamed, to_streamed(original))
        tested = subprocess.run(["7z", "t", "-bd", "-p" + PASSWORD, streamed], stdout=subprocess.PIPE)
        self.assertEqual(tested.returncode, 0, "the crafted archive itself must read")
        damaged = self.copy(streamed, "damaged.zip")
        ziptools.cut_central_directory(damaged)
        repaired = self.repair(damaged)
        tested = subprocess.run(["7z", "t", "-bd", "-p" + PASSWORD, repaired], stdout=subprocess.PIPE)
        self.assertEqual(tested.returncode, 0, tested.stdout.decode(errors="replace"))
        with zipfile.ZipFile(original) as a, zipfile.ZipFile(repaired) as b:
            self.assertEqual([i.filename for i in b.infolist()], [i.filename for i in a.infolist()])


class NoEntryLostOrInvented(RecoverCase):
    """Every real writer's archive, damaged four ways: the entries out are
    exactly the entries that survive, each with its original content."""

    DAMAGES = ("central cut", "central zeroed", "first local signature broken", "last entry cut")

    def damage(self, path, how, layout):
        if how == "central cut":
            ziptools.cut_central_directory(path)
        elif how == "central zeroed":
            zero_central_directory(path)
        elif how == "first local signature broken":
            break_signature(path, layout[0].start)
        else:
            ziptools.cut_at(path, (layout[-1].start + layout[-1].end) // 2)

    def surviving(self, how, layout):
        return layout[:-1] if how == "last entry cut" else layout

    def test_every_writer_every_damage(self):
        root = self.work.file("originals")
        os.makedirs(root)
        ziptools.make_originals(root)
        for writer in ziptools.WRITERS:
            original = ziptools.make_archive(writer, root, self.work.file(writer + ".zip"))
            layout = ziptools.entry_layout(original)
            expected = dict(names_and_contents(original))
            for how in self.DAMAGES:
                if not self.surviving(how, layout):
                    continue  # nothing left to recover: another test's concern
                with self.subTest(writer=writer, damage=how):
                    damaged = self.copy(original, "%s-%s.zip" % (writer, how.replace(" ", "-")))
                    self.damage(damaged, how, layout)
                    repaired = self.repair(damaged)
                    self.assert_readers_accept(repaired)
                    out = names_and_contents(repaired)
                    for name, data in out:
                        self.assertEqual(data, expected.get(name), "invented or changed: " + name)
                    self.assertEqual([n for n, _ in out], [e.name for e in self.surviving(how, layout)])


class SplitLayouts(RecoverCase):
    def source_tree(self):
        src = self.work.file("src")
        os.makedirs(src)
        ziptools.make_originals(src)
        ziptools.write(os.path.join(src, "big.bin"), ziptools.garbage(250000, 11))
        whole = self.work.file("whole.zip")
        run(["zip", "-q", "-r", whole, "."], cwd=src)
        return src, whole

    def sevenzip_volumes(self, src):
        folder = self.work.file("volumes")
        os.makedirs(folder)
        reference = self.work.file("reference.zip")
        run(["7z", "a", "-tzip", "-bd", "-v100k", os.path.join(folder, "set.zip"), "."], cwd=src)
        with open(reference, "wb") as joined:
            for name in sorted(os.listdir(folder)):
                joined.write(ziptools.read(os.path.join(folder, name)))
        return folder, reference

    def test_7zip_volumes_repaired_as_one_archive(self):
        src, _ = self.source_tree()
        folder, reference = self.sevenzip_volumes(src)
        self.assertGreater(len(os.listdir(folder)), 2)
        for given in ("folder", "first volume", "middle volume"):
            with self.subTest(given=given):
                path = {"folder": folder, "first volume": os.path.join(folder, "set.zip.001"),
                        "middle volume": os.path.join(folder, "set.zip.002")}[given]
                repaired = self.repair(path)
                self.assertEqual(repaired, os.path.join(folder, "set_fixed.zip"))
                self.assert_readers_accept(repaired)
                self.assert_same_entries(repaired, reference)
                os.remove(repaired)

    def test_7zip_volumes_with_central_directory_cut(self):
        src, _ = self.source_tree()
        folder, reference = self.sevenzip_volumes(src)
        volumes = sorted(os.listdir(folder))
        last = os.path.join(folder, volumes[-1])
        os.remove(last)  # the last volume held the central directory
        repaired = self.repair(folder)
        self.assert_readers_accept(repaired)
        out = names_and_contents(repaired)
        expected = dict(names_and_contents(reference))
        self.assertTrue(out, "no entry came back")
        for name, data in out:
            self.assertEqual(data, expected[name], name)

    def test_final_part_given_alone_stands_for_its_set(self):
        src, whole = self.source_tree()
        folder = self.work.file("parts")
        os.makedirs(folder)
        run(["zip", "-q", "-r", "-s", "100k", os.path.join(folder, "backup.zip"), "."], cwd=src)
        self.assertIn("backup.z01", os.listdir(folder))
        repaired = self.repair(os.path.join(folder, "backup.zip"))
        self.assert_readers_accept(repaired)
        self.assert_same_entries(repaired, whole)


class LargeStreamedEntry(RecoverCase):
    """A stored entry over 4 GiB, streamed with a 24-byte descriptor although
    its local header has no ZIP64 field. No writer at hand makes one cheaply,
    so it is crafted, as a sparse file: the 4 GiB of data are a hole."""

    SIZE = (1 << 32) + 4096

    def craft(self, crc):
        path = self.work.file("large.zip")
        name = b"big.bin"
        header = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0x08, 0, 0, 0x21, 0, 0, 0, len(name), 0) + name
        after = b"the entry after the large one\n" * 10
        tail = struct.pack("<IIQQ", 0x08074B50, crc, self.SIZE, self.SIZE)
        tail += struct.pack("<IHHHHHIIIHH", 0x04034B50, 10, 0, 0, 0, 0x21, zlib.crc32(after), len(after), len(after),
                            9, 0) + b"after.txt" + after
        with open(path, "wb") as f:
            f.write(header)
            f.seek(len(header) + self.SIZE)
            f.write(tail)
        return path

    def test_wide_descriptor_is_read_whole(self):
        path = self.craft(0)
        r = ziptools.ziprepair("scan", "--json", path)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        import json
        rows = json.loads(r.stdout)["entries"]
        self.assertEqual([row["name"] for row in rows], ["big.bin", "after.txt"])
        self.assertEqual(rows[0]["compressedSize"], self.SIZE)
        self.assertEqual(rows[0]["uncompressedSize"], self.SIZE)

    @unittest.skipUnless(os.environ.get("VRZ_LARGE_TESTS"), "writes 4 GiB; set VRZ_LARGE_TESTS=1 to run")
    def test_repair_copies_the_whole_descriptor(self):
        zeros = bytes(1 << 20)
        crc = 0
        for _ in range(self.SIZE >> 20):
            crc = zlib.crc32(zeros, crc)
        crc = zlib.crc32(bytes(self.SIZE & ((1 << 20) - 1)), crc)
        repaired = self.repair(self.craft(crc))
        ok, output = ziptools.python_test(repaired)
        self.assertTrue(ok, output)


class UndecodableMethods(RecoverCase):
    def test_ppmd_and_deflate64_entries_are_copied(self):
        # Methods this tool does not decode: sizes or descriptors say where
        # their data ends, never the method alone.
        src = self.work.file("src")
        os.makedirs(src)
        ziptools.make_originals(src)
        for method in ("PPMd", "Deflate64"):
            original = self.work.file(method + ".zip")
            run(["7z", "a", "-tzip", "-bd", "-mm=" + method, original, "."], cwd=src)
            streamed = self.work.file(method + "-streamed.zip")
            ziptools.write(streamed, to_streamed(original))
            for source in (original, streamed):
                with self.subTest(archive=os.path.basename(source)):
                    damaged = self.copy(source, "damaged-" + os.path.basename(source))
                    ziptools.cut_central_directory(damaged)
                    repaired = self.repair(damaged)
                    tested = subprocess.run(["7z", "t", "-bd", repaired], stdout=subprocess.PIPE)
                    self.assertEqual(tested.returncode, 0, tested.stdout.decode(errors="replace"))
                    with zipfile.ZipFile(original) as a, zipfile.ZipFile(repaired) as b:
                        self.assertEqual([(i.filename, i.CRC, i.compress_size, i.file_size) for i in b.infolist()],
                                         [(i.filename, i.CRC, i.compress_size, i.file_size) for i in a.infolist()])


def to_streamed(path):
    """Rewrites an archive so every entry has flag bit 3, zero CRC and sizes
    in its local header, and a signed 16-byte data descriptor after its data."""
    data = ziptools.read(path)
    with zipfile.ZipFile(path) as z:
        infos = sorted(z.infolist(), key=lambda i: i.header_offset)
    out = bytearray()
    central = bytearray()
    for info in infos:
        start = info.header_offset
        name_len, extra_len = struct.unpack_from("<HH", data, start + 26)
        header = bytearray(data[start:start + 30 + name_len + extra_len])
        flags = struct.unpack_from("<H", header, 6)[0] | 0x08
        struct.pack_into("<H", header, 6, flags)
        struct.pack_into("<III", header, 14, 0, 0, 0)
        body = data[start + len(header):start + len(header) + info.compress_size]
        offset = len(out)
        out += header + body + struct.pack("<IIII", 0x08074B50, info.CRC, info.compress_size, info.file_size)
        cd_extra = info.extra
        name = info.orig_filename.encode("utf-8" if info.flag_bits & 0x800 else "cp437")
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, info.create_version | (info.create_system << 8),
                               info.extract_version, flags, info.compress_type,
                               struct.unpack_from("<H", header, 10)[0], struct.unpack_from("<H", header, 12)[0],
                               info.CRC, info.compress_size, info.file_size, len(name), len(cd_extra), 0, 0,
                               info.internal_attr, info.external_attr, offset) + name + cd_extra
    cd_offset = len(out)
    out += central + struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(infos), len(infos), len(central), cd_offset, 0)
    return bytes(out)


if __name__ == "__main__":
    unittest.main()
