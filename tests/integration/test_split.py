"""End-to-end repairs of split archives: parts made by Info-ZIP's `zip -s`,
and byte-split copies of archives whose entries use data descriptors, in the
ZIP and the ZIPX family; undamaged and with one damage each. The repaired
archive must pass every independent reader and hold every entry whose bytes
survive in the parts, with its original content."""

import os
import shutil
import struct
import subprocess
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ziptools  # noqa: E402
from ziptools import Entry, Workspace  # noqa: E402


def setUpModule():
    global WORK, ORIGINALS, ROOT
    WORK = Workspace()
    ROOT = WORK.file("originals")
    os.makedirs(ROOT)
    ORIGINALS = ziptools.make_originals(ROOT)
    # Larger files, so that sets cut at zip's smallest part size (64 KiB) have several parts.
    extra = {"media/noise.bin": ziptools.garbage(300000, seed=11),
             "media/text/long.txt": b"".join(b"line %d of a long text file\n" % i for i in range(20000))}
    for name, data in extra.items():
        os.makedirs(os.path.dirname(os.path.join(ROOT, name)), exist_ok=True)
        ziptools.write(os.path.join(ROOT, name), data)
    ORIGINALS.update(extra)


def tearDownModule():
    WORK.remove()


# ------------------------------------------------------------- split sets

def zip_split(folder, part_size, stored):
    """`zip -s`: entries cross part boundaries without data descriptors."""
    os.makedirs(folder)
    args = ["zip", "-q", "-r", "-s", part_size] + (["-0"] if stored else []) + [os.path.join(folder, "set.zip"), "."]
    subprocess.run(args, cwd=ROOT, check=True)


def byte_split(archive, folder, parts):
    """Cuts an archive into equal parts named set.z01 … set.zip."""
    os.makedirs(folder)
    data = ziptools.read(archive)
    size = -(-len(data) // parts)
    for i in range(parts):
        name = "set.zip" if i == parts - 1 else "set.z%02d" % (i + 1)
        ziptools.write(os.path.join(folder, name), data[i * size:(i + 1) * size])


def to_zipx_family(folder):
    for name in os.listdir(folder):
        base, ext = os.path.splitext(name)
        new = base + (".zipx" if ext == ".zip" else ".zx" + ext[2:])
        os.rename(os.path.join(folder, name), os.path.join(folder, new))


def part_names(folder):
    """Parts in archive order."""
    def key(name):
        ext = os.path.splitext(name)[1]
        return (1, 0) if ext in (".zip", ".zipx") else (0, int(ext.lstrip(".zx")))
    return sorted(os.listdir(folder), key=key)


def joined(folder):
    return b"".join(ziptools.read(os.path.join(folder, n)) for n in part_names(folder))


def part_starts(folder):
    starts, at = [], 0
    for name in part_names(folder):
        starts.append(at)
        at += os.path.getsize(os.path.join(folder, name))
    return starts


def layout_of_split_set(folder):
    """Entries of an intact `zip -s` set with their ranges in the joined
    parts, from the central directory in the final part."""
    data = joined(folder)
    starts = part_starts(folder)
    end = data.rfind(ziptools.END_SIG)
    cd_disk, cd_size, cd_offset = struct.unpack_from("<HxxxxII", data, end + 6)
    at = starts[cd_disk] + cd_offset
    entries = []
    while data[at:at + 4] == ziptools.CENTRAL_SIG:
        flags, = struct.unpack_from("<H", data, at + 8)
        csize, = struct.unpack_from("<I", data, at + 20)
        n, m, k, disk = struct.unpack_from("<HHHH", data, at + 28)
        offset, = struct.unpack_from("<I", data, at + 42)
        name = data[at + 46:at + 46 + n].decode()
        start = starts[disk] + offset
        ln, lm = struct.unpack_from("<HH", data, start + 26)
        stop = start + 30 + ln + lm + csize + (16 if flags & 8 else 0)
        entries.append(Entry(name, start, stop))
        at += 46 + n + m + k
    return sorted(entries, key=lambda e: e.start)


def surviving(entries, lost_ranges):
    return [e for e in entries if all(e.end <= lo or e.start >= hi for lo, hi in lost_ranges)]


def expected_names(entries):
    """(name in the table, name in the output) of the surviving entries that
    the repair keeps: a name stands when its folder entry (the grandparent
    for deeper names) survived before it; other files are listed under
    "#Lost Files/" but keep their own name in the archive, and folder
    entries whose folder is missing are dropped."""
    known, names = set(), []
    for e in entries:
        name = e.name
        slashes = name.count("/")
        if slashes == 0 or (slashes == 1 and name.endswith("/")):
            ref = None
        elif slashes == 1:
            ref = name[:name.index("/")] + "/"
        else:
            cut = name[:name.rindex("/")]
            ref = cut[:cut.rindex("/")] + "/" if "/" in cut else "/"
        if ref is None or ref in known:
            final = name
        elif name.endswith("/"):
            continue
        else:
            final = "#Lost Files/" + name[name.rindex("/") + 1:]
        known.add(final)
        names.append((final, e.name))
    return names


def expected_contents(archive_contents, entries, lost_ranges=()):
    """[(name, bytes)] the repaired archive must hold, in order."""
    return [(name, archive_contents[name]) for _, name in expected_names(surviving(entries, lost_ranges))]


class SplitRepairCase(unittest.TestCase):
    def setUp(self):
        self.work = Workspace()

    def tearDown(self):
        self.work.remove()

    def repair(self, folder):
        given = folder
        folder = folder if os.path.isdir(folder) else os.path.dirname(folder)
        out = self.work.file("out", os.path.basename(folder))
        os.makedirs(out)
        before = {n: ziptools.sha256(os.path.join(folder, n)) for n in os.listdir(folder)}
        r = ziptools.ziprepair("repair", given, "-o", out)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        self.stdout = r.stdout.decode()
        after = {n: ziptools.sha256(os.path.join(folder, n)) for n in os.listdir(folder)}
        self.assertEqual(before, after, "the parts were modified")
        outputs = os.listdir(out)
        self.assertEqual(len(outputs), 1, outputs)
        return os.path.join(out, outputs[0])

    def check(self, output, entries, lost_ranges=(), contents=None):
        failures = ziptools.failed_validators(output)
        self.assertEqual(failures, [], "\n".join("%s:\n%s" % f for f in failures))
        if contents is None:
            contents = dict(ORIGINALS)
            contents.update({e.name: b"" for e in entries if e.name.endswith("/")})
        want = expected_contents(contents, entries, lost_ranges)
        with zipfile.ZipFile(output) as z:
            got = [(i.filename, z.read(i)) for i in z.infolist()]
        self.assertEqual([name for name, _ in got], [name for name, _ in want])
        for (name, data), (_, original) in zip(got, want):
            self.assertEqual(data, original, name)


class InfoZipSplitTests(SplitRepairCase):
    def test_undamaged_sets_in_several_part_sizes(self):
        for size, stored in (("64k", True), ("64k", False), ("128k", True), ("256k", False)):
            with self.subTest(size=size, stored=stored):
                folder = self.work.file("set-%s-%s" % (size, stored))
                zip_split(folder, size, stored)
                self.assertGreater(len(os.listdir(folder)), 1)
                entries = layout_of_split_set(folder)
                self.check(self.repair(folder), entries)

    def test_output_is_named_after_the_set(self):
        folder = self.work.file("named")
        zip_split(folder, "64k", True)
        self.assertEqual(os.path.basename(self.repair(folder)), "set_fixed.zip")
        zipx = self.work.file("namedx")
        shutil.copytree(folder, zipx)
        to_zipx_family(zipx)
        self.assertEqual(os.path.basename(self.repair(zipx)), "set_fixed.zipx")

    def test_second_repair_beside_the_parts(self):
        # The first repair's output stays in the parts folder; the folder can
        # still be repaired again, and the second output gets the next name.
        folder = self.work.file("twice")
        zip_split(folder, "64k", True)
        entries = layout_of_split_set(folder)
        for expected in ("set_fixed.zip", "set_fixed1.zip"):
            r = ziptools.ziprepair("repair", folder)
            self.assertEqual(r.returncode, 0, r.stderr.decode())
            self.assertEqual(r.stdout.decode().splitlines()[0], os.path.join(folder, expected))
            self.check(os.path.join(folder, expected), entries)

    def test_middle_part_missing(self):
        # set.z02 is deleted: entries with bytes in it are lost, the rest survive.
        folder = self.work.file("missing")
        zip_split(folder, "64k", True)
        entries = layout_of_split_set(folder)
        starts = part_starts(folder)
        os.remove(os.path.join(folder, "set.z02"))
        self.check(self.repair(folder), entries, [(starts[1], starts[2])])

    def test_middle_part_truncated(self):
        # set.z02 keeps only its first half.
        folder = self.work.file("truncated")
        zip_split(folder, "64k", True)
        entries = layout_of_split_set(folder)
        starts = part_starts(folder)
        half = (starts[2] - starts[1]) // 2
        ziptools.cut_at(os.path.join(folder, "set.z02"), half)
        self.check(self.repair(folder), entries, [(starts[1] + half, starts[2])])

    def test_final_part_central_directory_destroyed(self):
        # The central directory and end record in set.zip are random bytes.
        folder = self.work.file("nocd")
        zip_split(folder, "100k", False)
        entries = layout_of_split_set(folder)
        final = os.path.join(folder, "set.zip")
        data = ziptools.read(final)
        cd = data.find(ziptools.CENTRAL_SIG)
        self.assertGreaterEqual(cd, 0)
        ziptools.overwrite(final, cd, len(data) - cd)
        self.check(self.repair(folder), entries)

    def test_part_overwritten_in_the_middle(self):
        # 64 bytes from the start of an entry's local header in the middle of the set.
        folder = self.work.file("overwritten")
        zip_split(folder, "64k", True)
        entries = layout_of_split_set(folder)
        starts = part_starts(folder)
        victim = next(e for e in entries if e.start > starts[1] and not e.name.endswith("/"))
        index = max(i for i, s in enumerate(starts) if s <= victim.start)
        ziptools.overwrite(os.path.join(folder, part_names(folder)[index]), victim.start - starts[index], 64)
        self.check(self.repair(folder), entries, [(victim.start, victim.start + 64)])

    def test_zipx_family_with_a_missing_part(self):
        folder = self.work.file("zipx")
        zip_split(folder, "64k", True)
        entries = layout_of_split_set(folder)
        starts = part_starts(folder)
        to_zipx_family(folder)
        os.remove(os.path.join(folder, "set.zx03"))
        self.check(self.repair(folder), entries, [(starts[2], starts[3])])


class OneBadPartTests(SplitRepairCase):
    """One part of a set made by a real writer is too long, too short, has a
    stray file beside it that took a part's number, or every name is in
    capitals. Only the entries whose bytes lie in the lost bytes may be lost:
    the joins between the other parts must not suffer."""

    WRITERS = ("info-zip stored", "info-zip deflated", "7-zip volumes")
    DAMAGES = ("part too long", "part too short", "last part cut at its start", "stray with another name length",
               "stray of the same name length", "stray numbered beyond the set", "names in capitals")

    def make(self, writer, folder):
        if writer == "7-zip volumes":
            os.makedirs(folder)
            subprocess.run(["7z", "a", "-tzip", "-bd", "-v64k", os.path.join(folder, "set.zip"), "."], cwd=ROOT,
                           check=True, stdout=subprocess.DEVNULL)
            whole = self.work.file(os.path.basename(folder) + "-joined.zip")
            ziptools.write(whole, joined(folder))
            return ziptools.entry_layout(whole)
        zip_split(folder, "64k", writer.endswith("stored"))
        return layout_of_split_set(folder)

    def damage(self, how, folder):
        """Damages the set; returns (lost byte ranges of the joined parts,
        the path to repair, the stray file's name or None)."""
        names = part_names(folder)
        starts = part_starts(folder)
        third = os.path.join(folder, names[2])
        if how == "part too long":
            with open(third, "ab") as f:
                f.write(ziptools.garbage(10, seed=3))  # junk appended, as by a bad copy
            return [], folder, None
        if how == "part too short":
            ziptools.cut_at(third, os.path.getsize(third) - 10)
            return [(starts[3] - 10, starts[3])], folder, None
        if how == "last part cut at its start":
            last = os.path.join(folder, names[-1])
            ziptools.write(last, ziptools.read(last)[10:])
            return [(starts[-1], starts[-1] + 10)], folder, None
        if how.startswith("stray"):
            # A copy of another part under the second part's number: set.z2
            # beside set.z02 (set.zip.0002 beside set.zip.002), or set.Z02,
            # which sorts before set.z02 and has its size, so that only the
            # central directory tells which file is the part; or under a
            # number beyond the set's last part.
            second = names[1]
            volumes = second.endswith(".002")
            if how == "stray numbered beyond the set":
                stray = second[:-3] + ("099" if volumes else "z99")
            elif how == "stray with another name length":
                stray = second[:-3] + "0002" if volumes else second[:-2] + "2"
            else:
                stray = second.upper() if volumes else second[:-3] + "Z02"
            shutil.copy(os.path.join(folder, names[3]), os.path.join(folder, stray))
            return [], folder, stray
        for name in names:
            os.rename(os.path.join(folder, name), os.path.join(folder, name.upper()))
        # The last part given alone stands for its set.
        return [], os.path.join(folder, names[-1].upper()), None

    def test_one_bad_part_costs_only_the_entries_in_its_lost_bytes(self):
        for writer in self.WRITERS:
            for how in self.DAMAGES:
                with self.subTest(writer=writer, damage=how):
                    folder = self.work.file("%s-%s" % (writer, how)).replace(" ", "-")
                    entries = self.make(writer, folder)
                    self.assertGreater(len(part_names(folder)), 4)
                    contents = None
                    if writer == "7-zip volumes":
                        contents = ziptools.contents(self.work.file(os.path.basename(folder) + "-joined.zip"))
                    lost, source, stray = self.damage(how, folder)
                    output = self.repair(source)
                    self.check(output, entries, lost, contents)
                    if stray:
                        self.assertIn(os.path.join(folder, stray) + ": set aside", self.stdout)


class DescriptorSplitTests(SplitRepairCase):
    """Archives whose entries carry data descriptors, cut into equal parts so
    that descriptors land in later parts."""

    WRITERS = ("jar", "python_stream", "python_stream_zip64", "zip_streamed")

    def make(self, writer, parts=4):
        archive = self.work.file(writer + "-whole.zip")
        ziptools.make_archive(writer, ROOT, archive)
        folder = self.work.file(writer)
        byte_split(archive, folder, parts)
        self.contents = ziptools.contents(archive)
        return folder, ziptools.entry_layout(archive)

    def test_undamaged(self):
        for writer in self.WRITERS:
            with self.subTest(writer=writer):
                folder, entries = self.make(writer)
                self.check(self.repair(folder), entries, contents=self.contents)

    def test_middle_part_missing(self):
        for writer in self.WRITERS:
            with self.subTest(writer=writer):
                folder, entries = self.make(writer)
                starts = part_starts(folder)
                os.remove(os.path.join(folder, "set.z02"))
                self.check(self.repair(folder), entries, [(starts[1], starts[2])], self.contents)

    def test_zipx_family_undamaged(self):
        folder, entries = self.make("jar", parts=3)
        to_zipx_family(folder)
        output = self.repair(folder)
        self.assertTrue(output.endswith("set_fixed.zipx"), output)
        self.check(output, entries, contents=self.contents)


class FolderCheckTests(unittest.TestCase):
    def test_folder_without_parts_and_mixed_folder_are_refused(self):
        work = Workspace()
        try:
            empty = work.file("empty")
            os.makedirs(empty)
            ziptools.write(os.path.join(empty, "notes.txt"), b"not a part")
            r = ziptools.ziprepair("scan", empty)
            self.assertEqual(r.returncode, 1)
            mixed = work.file("mixed")
            os.makedirs(mixed)
            for name in ("a.z01", "b.z02", "b.zip"):
                ziptools.write(os.path.join(mixed, name), b"x" * 200)
            r2 = ziptools.ziprepair("scan", mixed)
            self.assertEqual(r2.returncode, 1)
            self.assertNotEqual(r.stderr, r2.stderr, "the two refusals say different things")
        finally:
            work.remove()


if __name__ == "__main__":
    unittest.main()
