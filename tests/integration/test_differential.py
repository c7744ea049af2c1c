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


class DifferentialTests(unittest.TestCase):
    def setUp(self):
        self.work = Workspace("vrz-diff-")

    def tearDown(self):
        self.work.remove()

    def test_repair_keeps_what_plain_readers_read_and_invents_nothing(self):
        made = differential.build(self.work.path)
        violations = []
        copies = readable = recovered = 0
        for damage_kind, per_kind in DAMAGE:
            task_list = differential.tasks(per_kind * len(made), FIRST_SEED, made)
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
