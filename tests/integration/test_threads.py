"""The thread count changes nothing but the speed: the same damaged archives
(real writers, several megabytes so that every verifying thread gets work)
repaired and verified with --threads 1 and --threads 8 give the same archive
byte for byte, the same JSON report and the same listing line for line."""

import os
import random
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ziptools  # noqa: E402
from ziptools import Workspace  # noqa: E402


def make_tree(root):
    """The usual test files plus many small texts and some incompressible
    files: a few thousand entries and a few megabytes of data."""
    ziptools.make_originals(root)
    rng = random.Random(18)
    for i in range(1500):
        path = os.path.join(root, "many", "d%02d" % (i % 20), "f%04d.txt" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write("line %d of file %d\n" % (rng.randrange(1000), i) * (1 + i % 50))
    for i in range(60):
        with open(os.path.join(root, "many", "noise%02d.bin" % i), "wb") as f:
            f.write(rng.randbytes(30000 + 500 * i))


def damage(path, seed):
    """Data of a few entries overwritten, junk between entries, no central directory."""
    entries = [e for e in ziptools.entry_layout(path) if e.end - e.start > 400]
    rng = random.Random(seed)
    for entry in sorted(rng.sample(entries, 6), key=lambda e: -e.start):
        ziptools.overwrite(path, entry.start + 200, 64, seed=entry.start)
    cut = ziptools.central_directory_offset(ziptools.read(path))
    ziptools.cut_at(path, cut)
    ziptools.insert(path, entries[len(entries) // 2].start, 777)


class SameResultWhateverTheThreadCount(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = Workspace()
        tree = cls.work.file("tree")
        os.makedirs(tree)
        make_tree(tree)
        cls.archives = []
        for seed, writer in enumerate(("zip_deflated", "python_stream", "zip_stored")):
            path = cls.work.file(writer + ".zip")
            ziptools.make_archive(writer, tree, path)
            damage(path, seed)
            cls.archives.append(path)

    @classmethod
    def tearDownClass(cls):
        cls.work.remove()

    def run_both(self, archive, *args):
        """Runs ziprepair with --threads 1 and 8, each writing into its own
        folder; returns both (status, stdout with the folder named OUT, output bytes)."""
        results = []
        for threads in ("1", "8"):
            out = self.work.file("out-%s-%s" % (os.path.basename(archive), threads))
            os.makedirs(out, exist_ok=True)
            command = list(args) + ["--threads", threads]
            if args[0] == "repair":
                command += ["-o", out]
            run = ziptools.ziprepair(*(command + [archive]))
            self.assertIn(run.returncode, (0, 3), run.stderr.decode(errors="replace"))
            text = run.stdout.decode("utf-8", errors="replace").replace(out, "OUT")
            written = [ziptools.read(os.path.join(out, name)) for name in sorted(os.listdir(out))]
            for name in os.listdir(out):
                os.remove(os.path.join(out, name))
            results.append((run.returncode, text.splitlines(), written))
        return results

    def test_repairs_and_reports_are_identical(self):
        variants = (["repair"], ["repair", "--json"], ["repair", "--json", "--skip-damaged"],
                    ["repair", "--salvage"], ["scan", "--verify"], ["scan", "--verify", "--json"])
        for archive in self.archives:
            for args in variants:
                with self.subTest(archive=os.path.basename(archive), args=args):
                    one, eight = self.run_both(archive, *args)
                    self.assertEqual(one[0], eight[0])
                    self.assertEqual(one[1], eight[1])
                    self.assertEqual(one[2], eight[2])
                    if args[0] == "repair":
                        self.assertEqual(len(one[2]), 1)
                        # A streamed entry whose data was overwritten has no
                        # end to find, so the scan does not take it at all.
                        if "stream" not in archive:
                            self.assertEqual(one[0], 0 if "--skip-damaged" in args else 3)

    def test_the_thread_count_is_checked(self):
        for bad in ("0", "-1", "two", "", "100000"):
            run = ziptools.ziprepair("repair", "--threads", bad, self.archives[0])
            self.assertEqual(run.returncode, 2, bad)
        self.assertEqual(ziptools.ziprepair("scan", self.archives[0], "--threads").returncode, 2)


if __name__ == "__main__":
    unittest.main()
