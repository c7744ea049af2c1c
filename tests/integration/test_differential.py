"""The repair never gets back less than a plain reader: archives from real
writers (Info-ZIP, Python, 7-Zip, bsdtar; stored, deflate, bzip2, LZMA,
PPMd, streamed, encrypted, nested) are damaged with seeded random byte
changes, and every copy is judged against Python's zipfile and `7z x`
(see differential.py). scripts/differential runs the same check for as many
copies as asked and rebuilds a failing copy from its name."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import differential  # noqa: E402
from ziptools import Workspace  # noqa: E402

FIRST_SEED = 1
# (which bytes may change, copies of each archive kind)
DAMAGE = [("any", 12)]
# Copies from longer runs that each once lost or broke entries through a
# cause of its own (seed, kind, which bytes may change).
KNOWN_CAUSES = [
    (115, "py-bzip2", "central"),    # central flags and name no writer makes beat the local header
    (646, "7z-lzma", "central"),     # central LZMA flags taken over those the data were written with
    (676, "zip-pipe", "central"),    # a central time naming no real moment copied
    (1825, "7z-aes", "central"),     # encrypted data placed where they end at the end of the file
    (522, "7z-crypt", "central"),    # a central CRC-32 of encrypted data from a damaged directory
    (1405, "7z-aes", "central"),     # a central method no writer uses
    (801, "7z-crypt", "any"),        # a local CRC-32 of encrypted data against an intact directory
    (528, "7z-crypt", "any"),        # the same against a directory whose end record points elsewhere
    (4002, "zip-crypt", "any"),      # local key flags no writer makes
    (1816, "zip-pipe", "any"),       # empty data check anywhere: a grown name length hid the next entry
    (1953, "7z-bzip2", "any"),       # the same for an entry rebuilt from its central record
    (3520, "zip-nested", "any"),     # a nested end record's comment ran over the outer directory
    (1502, "py-lzma", "headers"),    # a central record's comment ran over the end record
    (1592, "7z-ppmd", "central"),    # the same: a directory of cut lengths decides no tie
    (1515, "zip-bzip2", "central"),  # a folder's name from the central record on an entry with data
    (35, "7z-deflate", "headers"),   # an empty entry rebuilt under a method no reader has
    (69, "zip-crypt", "headers"),    # the time a streamed encrypted entry's password is checked with
    (1413, "zip-crypt", "headers"),  # encrypted data under a damaged local name
    (1573, "7z-aes", "headers"),     # a local AES block naming no method beside a sound central one
    (459, "7z-crypt", "headers"),    # a directory whose records name other disks decides no tie
    (14, "py-stream", "any"),        # a stream damaged past its stated size, left out though readers stop there
]


class DifferentialTests(unittest.TestCase):
    def setUp(self):
        self.work = Workspace("vrz-diff-")

    def tearDown(self):
        self.work.remove()

    def test_repair_keeps_what_plain_readers_read_and_invents_nothing(self):
        made = differential.build(self.work.path)
        # (damage kind, copies): the seeded run, then the known causes.
        batches = [(d, differential.tasks(n * len(made), FIRST_SEED, made)) for d, n in DAMAGE]
        batches += [(d, [(seed, kind) for seed, kind, k in KNOWN_CAUSES if k == d])
                    for d in sorted(set(d for _, _, d in KNOWN_CAUSES))]
        violations = []
        copies = readable = recovered = 0
        for damage_kind, task_list in batches:
            copies += len(task_list)
            for result in differential.run(task_list, made, self.work.path, 2, damage_kind):
                readable += result["readable"]
                recovered += result["recovered"]
                violations += [differential.format_violation(result, cls, detail)
                               for cls, detail in result["violations"]]
        # The damage leaves readers plenty to read, so the comparison has teeth.
        self.assertGreater(readable, copies)
        if violations:
            self.fail("%d violations (rebuild one with scripts/differential --only SEED-KIND --keep DIR):\n%s"
                      % (len(violations), "\n".join(sorted(violations))))
        self.assertEqual(recovered, readable)


if __name__ == "__main__":
    unittest.main()
