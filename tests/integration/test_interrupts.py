"""Every way a repair can end leaves a true state: a complete archive under
its name and exit 0, or nothing at all in the destination (no partial file,
no hidden file) and a non-zero exit with the right text. Interrupts at many
moments, kills, file-size limits, full disks, and odd sources that must be
refused at once instead of hanging."""

import configparser
import ctypes
import os
import resource
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import verifytools  # noqa: E402
import ziptools  # noqa: E402
from ziptools import Workspace, wait_until_reading  # noqa: E402

LANG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "Lang", "English.INI")
NOBODY = 65534
SYS_TGKILL = {"x86_64": 234, "aarch64": 131}.get(os.uname().machine, 234)


def text(key):
    parser = configparser.RawConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(LANG, encoding="utf-8")
    return parser["Vant Repair Zip"][key]


# Permission tests drop to another user, since root reads every file.
needs_root = unittest.skipUnless(os.geteuid() == 0, "needs root to run the program as another user")


def as_nobody():
    os.setgid(NOBODY)
    os.setuid(NOBODY)


def source_stamp(path):
    st = os.stat(path)
    return st.st_size, st.st_mtime_ns, st.st_ino


def output_size(pid, folder):
    """Size of the output the process is writing into folder, None when none is open."""
    try:
        fds = os.listdir("/proc/%d/fd" % pid)
    except OSError:
        return None
    for fd in fds:
        link = "/proc/%d/fd/%s" % (pid, fd)
        try:
            target = os.readlink(link)
            if target.startswith(folder + "/"):
                return os.stat(link).st_size
        except OSError:
            continue
    return None


def wait_until_stopped(pid):
    """Waits (without a time limit of its own) until the process stopped itself."""
    while True:
        with open("/proc/%d/stat" % pid) as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
        if state == "T":
            return
        time.sleep(0.005)


def writer_thread(pid):
    """The thread other than the main one: the save's worker."""
    tids = [int(t) for t in os.listdir("/proc/%d/task" % pid) if int(t) != pid]
    assert len(tids) == 1, tids
    return tids[0]


class BigRepair(unittest.TestCase):
    """One archive of about 200 MB with its central directory cut off,
    repaired again and again while it is interrupted."""

    @classmethod
    def setUpClass(cls):
        cls.work = Workspace()
        root = cls.work.file("originals")
        os.makedirs(root)
        for i in range(3):
            with open(os.path.join(root, "random%d.bin" % i), "wb") as f:
                f.write(os.urandom(64 << 20))
        ziptools.make_originals(root)
        os.makedirs(cls.work.file("src"))
        cls.source = cls.work.file("src", "damaged.zip")
        ziptools.zip_stored(root, cls.source)
        cls.expected = ziptools.contents(cls.source)
        ziptools.cut_central_directory(cls.source)
        cls.stamp = source_stamp(cls.source)
        # A clean run is judged by the independent readers once; every later
        # complete output must be byte for byte the same.
        out = cls.work.file("reference")
        os.makedirs(out)
        r = ziptools.ziprepair("repair", cls.source, "-o", out)
        assert r.returncode == 0, r.stderr
        cls.reference = os.path.join(out, "damaged_fixed.zip")
        cls.reference_sha = ziptools.sha256(cls.reference)

    @classmethod
    def tearDownClass(cls):
        cls.work.remove()

    def setUp(self):
        self.out = tempfile.mkdtemp(dir=self.work.path, prefix="out-")

    def tearDown(self):
        self.assertEqual(source_stamp(self.source), self.stamp, "the source was touched")
        self.assertEqual(os.listdir(self.work.file("src")), ["damaged.zip"])
        ziptools.shutil.rmtree(self.out, ignore_errors=True)

    def start(self, env=None, preexec_fn=None):
        environment = dict(os.environ, **(env or {}))
        return subprocess.Popen([ziptools.ZIPREPAIR, "repair", self.source, "-o", self.out], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, env=environment, preexec_fn=preexec_fn)

    def assert_true_state(self, proc, stdout, stderr, failure_texts):
        names = os.listdir(self.out)
        err = stderr.decode(errors="replace")
        if proc.returncode == 0:
            self.assertEqual(names, ["damaged_fixed.zip"], err)
            self.assertEqual(ziptools.sha256(os.path.join(self.out, "damaged_fixed.zip")), self.reference_sha)
            self.assertIn(b"damaged_fixed.zip", stdout)
            return "written"
        self.assertEqual(names, [], "a failed run left files behind: %s" % err)
        self.assertTrue(any(t in err for t in failure_texts), err)
        return "nothing"

    def test_reference_repair_is_accepted_by_independent_readers(self):
        self.assertEqual(ziptools.failed_validators(self.reference), [])
        self.assertEqual(ziptools.contents(self.reference), self.expected)

    def test_interrupts_at_many_moments_of_the_run(self):
        total = os.path.getsize(self.reference)
        texts = (text("IDS_SAVE_ABORTED"), text("IDS_WORD8"))
        outcomes = set()
        for signum, fractions in ((signal.SIGINT, (0.0, 0.05, 0.3, 0.6, 0.95)),
                                  (signal.SIGTERM, (0.0, 0.2, 0.8)),
                                  (signal.SIGHUP, (0.0, 0.5, 0.99))):
            for fraction in fractions:
                with self.subTest(signal=signum.name, fraction=fraction):
                    proc = self.start()
                    wait_until_reading(proc, self.source)
                    if fraction > 0:
                        while proc.poll() is None:
                            size = output_size(proc.pid, self.out)
                            if size is not None and size >= fraction * total:
                                break
                            time.sleep(0.001)
                    if proc.poll() is None:
                        proc.send_signal(signum)
                    stdout, stderr = proc.communicate()
                    self.assertIn(proc.returncode, (0, 130), stderr)
                    outcomes.add(self.assert_true_state(proc, stdout, stderr, texts))
                    ziptools.shutil.rmtree(self.out)
                    os.makedirs(self.out)
        # Early interrupts must have cancelled something.
        self.assertIn("nothing", outcomes)

    def test_interrupts_at_each_step_of_the_end(self):
        # Before the name is given the save is cancelled; after it, it is done.
        expected = {"sync": 130, "name": 130, "named": 0}
        libc = ctypes.CDLL(None, use_errno=True)
        for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            for step, status in expected.items():
                with self.subTest(signal=signum.name, step=step):
                    proc = self.start(env={"ZIPREPAIR_TEST_STOP_AT": step})
                    wait_until_stopped(proc.pid)
                    # To the stopped writer thread itself, so it sees the
                    # interrupt before it takes one more step.
                    self.assertEqual(libc.syscall(SYS_TGKILL, proc.pid, writer_thread(proc.pid), int(signum)), 0)
                    os.kill(proc.pid, signal.SIGCONT)
                    stdout, stderr = proc.communicate()
                    self.assertEqual(proc.returncode, status, stderr)
                    self.assert_true_state(proc, stdout, stderr, (text("IDS_SAVE_ABORTED"),))
                    ziptools.shutil.rmtree(self.out)
                    os.makedirs(self.out)

    def test_kill_in_the_middle_leaves_no_file(self):
        total = os.path.getsize(self.reference)
        proc = self.start()
        while proc.poll() is None:
            size = output_size(proc.pid, self.out)
            if size is not None and size >= total // 3:
                break
            time.sleep(0.001)
        proc.kill()
        proc.communicate()
        if proc.returncode == -signal.SIGKILL:
            self.assertEqual(os.listdir(self.out), [])
        else:  # finished before the kill: then complete
            self.assertEqual(proc.returncode, 0)
            self.assertEqual(ziptools.sha256(os.path.join(self.out, "damaged_fixed.zip")), self.reference_sha)

    def test_file_size_limit_is_a_write_failure(self):
        def limit():
            resource.setrlimit(resource.RLIMIT_FSIZE, (50 << 20, 50 << 20))
        proc = self.start(preexec_fn=limit)
        stdout, stderr = proc.communicate()
        self.assertEqual(proc.returncode, 1, stderr)
        err = stderr.decode()
        self.assertIn(text("IDS_SAVE_WRITE_FAILED"), err)
        self.assertIn(os.strerror(27), err)  # EFBIG
        self.assertIn(os.path.join(self.out, "damaged_fixed.zip"), err)
        self.assertEqual(os.listdir(self.out), [])


class DecodingBombs(unittest.TestCase):
    """A few kB of bzip2 that decode to 10 GiB of zeros: an interrupt one
    second into its verification or salvage ends the run soon after, not
    when the decoder reaches the end of its current input block."""

    BLOCKS = 640  # of 16 MiB: 10 GiB

    @classmethod
    def setUpClass(cls):
        cls.work = Workspace()
        bomb = verifytools.bzip2_bomb(cls.BLOCKS)
        size = cls.BLOCKS << 24
        header = verifytools.local_header_zip64("zeros.bin", verifytools.METHOD_BZIP2, len(bomb), size)
        # No writer makes these in a test's time: the headers are built by hand.
        # Whole, with its central directory lost; and cut off inside its data.
        cls.whole = cls.work.file("whole.zip")
        ziptools.write(cls.whole, header + bomb)
        cls.cut = cls.work.file("cut.zip")
        header = verifytools.local_header_zip64("zeros.bin", verifytools.METHOD_BZIP2, len(bomb) + 4096, size)
        ziptools.write(cls.cut, header + bomb)

    @classmethod
    def tearDownClass(cls):
        cls.work.remove()

    def test_interrupt_during_verification_or_salvage_ends_the_run_at_once(self):
        for signum, command in ((signal.SIGINT, ("repair", self.whole)),
                                (signal.SIGTERM, ("repair", self.whole)),
                                (signal.SIGINT, ("scan", "--verify", self.whole)),
                                (signal.SIGINT, ("repair", "--salvage", self.cut))):
            with self.subTest(signal=signum.name, command=command):
                out = tempfile.mkdtemp(dir=self.work.path, prefix="out-")
                args = [ziptools.ZIPREPAIR] + list(command) + (["-o", out] if command[0] == "repair" else [])
                proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                wait_until_reading(proc, command[-1])
                time.sleep(1)
                self.assertIsNone(proc.poll(), "10 GiB decoded in a second?")
                sent = time.monotonic()
                proc.send_signal(signum)
                _, stderr = proc.communicate()
                ended = time.monotonic() - sent
                self.assertEqual(proc.returncode, 130, stderr)
                # A bound for correctness, far above the fraction of a second it takes.
                self.assertLess(ended, 5, "the run went on %.1f s after the signal" % ended)
                self.assertEqual(os.listdir(out), [])
                beside = {n for n in os.listdir(self.work.path) if not n.startswith("out-")}
                self.assertEqual(beside, {"cut.zip", "whole.zip"})


class OddSources(unittest.TestCase):
    def setUp(self):
        self.work = Workspace()
        os.chmod(self.work.path, 0o755)
        self.originals = self.work.file("originals")
        os.makedirs(self.originals)
        ziptools.make_originals(self.originals)

    def tearDown(self):
        for folder, dirs, _ in os.walk(self.work.path):
            for d in dirs:
                os.chmod(os.path.join(folder, d), 0o755)
        self.work.remove()

    def test_fifo_is_refused_at_once(self):
        fifo = self.work.file("pipe.zip")
        os.mkfifo(fifo)
        for command in ("scan", "repair"):
            with self.subTest(command=command):
                # The timeout only guards the suite against a hang.
                r = ziptools.ziprepair(command, fifo, timeout=60)
                self.assertEqual(r.returncode, 1)
                err = r.stderr.decode()
                self.assertIn("could not be opened", err)
                self.assertIn(fifo, err)
        self.assertEqual(sorted(os.listdir(self.work.path)), ["originals", "pipe.zip"])

    def split_folder(self):
        folder = self.work.file("split")
        os.makedirs(folder)
        subprocess.run(["zip", "-q", "-r", "-0", "-s", "64k", os.path.join(folder, "set.zip"), "."],
                       cwd=self.originals, check=True)
        os.chmod(folder, 0o777)
        return folder

    @needs_root
    def test_unreadable_unrelated_file_in_a_split_folder_is_ignored(self):
        folder = self.split_folder()
        notes = os.path.join(folder, "notes.txt")
        ziptools.write(notes, b"private")
        os.chmod(notes, 0)
        out = self.work.file("out")
        os.makedirs(out)
        os.chown(out, NOBODY, NOBODY)
        r = subprocess.run([ziptools.ZIPREPAIR, "repair", folder, "-o", out], stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, preexec_fn=as_nobody, timeout=300)
        self.assertEqual(r.returncode, 0, r.stderr)
        repaired = os.path.join(out, "set_fixed.zip")
        self.assertEqual(ziptools.failed_validators(repaired), [])
        with zipfile.ZipFile(repaired) as z:
            for name, data in self.expected_files().items():
                self.assertEqual(z.read(name), data)

    def expected_files(self):
        files = {}
        for folder, _, names in os.walk(self.originals):
            for n in names:
                path = os.path.join(folder, n)
                files[os.path.relpath(path, self.originals)] = ziptools.read(path)
        return files

    @needs_root
    def test_unreadable_part_is_named(self):
        folder = self.split_folder()
        part = os.path.join(folder, "set.z01")
        os.chmod(part, 0)
        r = subprocess.run([ziptools.ZIPREPAIR, "scan", folder], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           preexec_fn=as_nobody, timeout=300)
        self.assertEqual(r.returncode, 1)
        err = r.stderr.decode()
        self.assertIn(part, err)
        self.assertIn(os.strerror(13), err)  # EACCES
        self.assertIn(text("IDS_FAILEDFILE"), err)

    @needs_root
    def test_folder_that_cannot_be_listed_says_so(self):
        folder = self.split_folder()
        os.chmod(folder, 0o311)
        r = subprocess.run([ziptools.ZIPREPAIR, "scan", folder], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           preexec_fn=as_nobody, timeout=300)
        self.assertEqual(r.returncode, 1)
        err = r.stderr.decode()
        self.assertIn(text("IDS_FOLDER_UNREADABLE"), err)
        self.assertIn(folder, err)
        self.assertNotIn(text("IDS_MTEXT3"), err)

    def test_source_name_at_the_length_limit(self):
        name = "\u00e9" * 125 + "x.zip"  # 255 bytes in UTF-8
        self.assertEqual(len(name.encode()), 255)
        source = self.work.file(name)
        ziptools.zip_deflated(self.originals, source)
        expected = ziptools.contents(source)
        ziptools.cut_central_directory(source)
        out = self.work.file("out")
        os.makedirs(out)
        for round_ in range(2):  # the second save takes the numbered name
            r = ziptools.ziprepair("repair", source, "-o", out)
            self.assertEqual(r.returncode, 0, r.stderr)
        names = sorted(os.listdir(out))
        self.assertEqual(len(names), 2)
        self.assertTrue(names[0].endswith("_fixed.zip") or names[0].endswith("_fixed1.zip"))
        for n in names:
            self.assertLessEqual(len(n.encode()), 255)
            n.encode().decode("utf-8")  # cut between characters only
            self.assertEqual(ziptools.failed_validators(os.path.join(out, n)), [])
            self.assertEqual(ziptools.contents(os.path.join(out, n)), expected)


class FullDisk(unittest.TestCase):
    """A small tmpfs: too little room is refused before anything is written,
    and a disk that fills up while the archive is written leaves nothing."""

    def setUp(self):
        self.work = Workspace()
        self.mount = self.work.file("small")
        os.makedirs(self.mount)
        r = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", self.mount],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if r.returncode != 0:
            self.work.remove()
            self.skipTest("a tmpfs cannot be mounted here: " + r.stdout.decode(errors="replace").strip())

    def tearDown(self):
        subprocess.run(["umount", self.mount])
        self.work.remove()

    def make_source(self):
        source = self.work.file("many.zip")
        with zipfile.ZipFile(source, "w", zipfile.ZIP_STORED) as z:
            for i in range(3000):
                z.writestr("d/" + "n" * 190 + "%05d" % i, os.urandom(1000))
        ziptools.cut_central_directory(source)
        return source

    def test_too_little_room_is_refused_before_writing(self):
        # The entries alone would fit; with their central directory they do not.
        source = self.make_source()
        stamp = source_stamp(source)
        r = ziptools.ziprepair("repair", source, "-o", self.mount)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(text("IDS_LOWDIKSPACE"), r.stderr.decode())
        self.assertEqual(os.listdir(self.mount), [])
        self.assertEqual(source_stamp(source), stamp)

    def test_salvage_needs_the_room_it_writes_not_the_unpacked_size(self):
        # 48 MiB of zeros in bzip2: the first block holds about 46 MB of them
        # in a few dozen bytes; the cut falls in the second. The salvage
        # writes them deflated again, in well under the 4 MB of this disk.
        folder = self.work.file("zeros")
        os.makedirs(folder)
        ziptools.write(os.path.join(folder, "zeros.bin"), bytes(48 << 20))
        source = self.work.file("cut.zip")
        verifytools.run(["zip", "-q", "-Z", "bzip2", source, "zeros.bin"], cwd=folder)
        start, size = verifytools.data_offset(source, "zeros.bin")
        ziptools.cut_at(source, start + size - 12)
        r = ziptools.ziprepair("repair", "--salvage", source, "-o", self.mount)
        self.assertEqual(r.returncode, 3, r.stderr)
        repaired = os.path.join(self.mount, "cut_fixed.zip")
        self.assertEqual(os.listdir(self.mount), ["cut_fixed.zip"])
        self.assertEqual(ziptools.failed_validators(repaired), [])
        with zipfile.ZipFile(repaired) as z:
            got = z.read("#Partial Files/zeros.bin")
        self.assertGreater(len(got), 4 << 20)
        self.assertEqual(got.count(0), len(got))

    def test_disk_full_mid_write_leaves_nothing(self):
        source = os.path.join(self.mount, "..", "one.zip")
        with zipfile.ZipFile(source, "w", zipfile.ZIP_STORED) as z:
            z.writestr("big.bin", os.urandom(2 << 20))
        ziptools.cut_central_directory(source)
        stamp = source_stamp(source)
        # The room is checked, then another program fills the disk before the archive is written.
        env = dict(os.environ, ZIPREPAIR_TEST_STOP_AT="write")
        proc = subprocess.Popen([ziptools.ZIPREPAIR, "repair", source, "-o", self.mount],
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        wait_until_stopped(proc.pid)
        filler = os.path.join(self.mount, "filler")
        with open(filler, "wb") as f:
            f.write(b"\0" * (3 << 20))
        os.kill(proc.pid, signal.SIGCONT)
        out, err = proc.communicate(timeout=60)
        os.remove(filler)
        self.assertEqual(proc.returncode, 1, err)
        err = err.decode()
        self.assertIn(text("IDS_SAVE_DISK_FULL"), err)
        self.assertIn(os.path.join(self.mount, "one_fixed.zip"), err)
        self.assertIn(os.strerror(28), err)  # ENOSPC
        self.assertEqual(os.listdir(self.mount), [])
        self.assertEqual(source_stamp(source), stamp)



if __name__ == "__main__":
    unittest.main()
