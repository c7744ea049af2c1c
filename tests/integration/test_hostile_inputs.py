"""Inputs built to exhaust a scan: a small bzip2 stream that decodes to
gigabytes answers Ctrl-C at once, and an address-space limit ends a scan of
a hostile input with a message, never with an abort. (The work and memory
the engine spends on each hostile construction are counted by the engine's
own tests; their times are in bench/scan_growth.sh.)"""

import bz2
import os
import resource
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ziptools import ZIPREPAIR, wait_until_reading  # noqa: E402

BLOCK_MAGIC = format(0x314159265359, "048b")
END_MAGIC = format(0x177245385090, "048b")


def built_with_address_sanitizer():
    try:
        with open(ZIPREPAIR, "rb") as f:
            return b"__asan_init" in f.read()
    except OSError:
        return False


def bzip2_of_zeros(blocks, zeros_per_block=40_000_000):
    """One bzip2 stream of `blocks` equal blocks of zeros, put together bit by
    bit from a single compressed block (compressing gigabytes would take
    minutes): a few kB that decode to blocks x 40 MB."""
    one = bz2.compress(b"\0" * zeros_per_block, 9)
    bits = format(int.from_bytes(one, "big"), "0%db" % (len(one) * 8))
    end = bits.rfind(END_MAGIC)
    block = bits[32:end]
    assert block.startswith(BLOCK_MAGIC)
    block_crc = int(block[48:80], 2)
    combined = 0
    for _ in range(blocks):
        combined = (((combined << 1) | (combined >> 31)) & 0xFFFFFFFF) ^ block_crc
    stream = bits[:32] + block * blocks + END_MAGIC + format(combined, "032b")
    stream += "0" * (-len(stream) % 8)
    return int(stream, 2).to_bytes(len(stream) // 8, "big")


def streamed_entry(name, method, data):
    """A local header with flag bit 3 and no sizes, the data, and a
    descriptor whose CRC-32 is wrong (the data are never read whole)."""
    header = struct.pack("<IHHHHHIIIHH", 0x04034B50, 46, 8, method, 0, 0x21, 0, 0, 0, len(name), 0)
    descriptor = struct.pack("<IIII", 0x08074B50, 0, len(data), 0)
    return header + name + data + descriptor


class HostileInputs(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def write(self, name, data):
        path = os.path.join(self.dir.name, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_scan_of_a_bzip2_bomb_answers_ctrl_c_at_once(self):
        # About 10 GiB of zeros in a few kB; decoding it whole takes far
        # longer than the wait below.
        bomb = streamed_entry(b"zeros.bin", 12, bzip2_of_zeros(256))
        path = self.write("bomb.zip", bomb + b"\0" * 200)
        proc = subprocess.Popen([ZIPREPAIR, "scan", path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        wait_until_reading(proc, path)
        time.sleep(1)
        self.assertIsNone(proc.poll(), "the scan ended before it was interrupted")
        proc.send_signal(signal.SIGINT)
        try:
            _, err = proc.communicate(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.communicate()
            self.fail("the scan did not stop after Ctrl-C")
        self.assertEqual(proc.returncode, 130, err)
        self.assertIn(path.encode(), err)

    @unittest.skipIf(built_with_address_sanitizer(),
                     "the address sanitizer reserves more address space than the limit")
    def test_memory_limit_ends_with_a_message_never_an_abort(self):
        path = self.write("signatures.zip", b"PK\x03\x04" * (256 * 1024))
        limit = 256 << 20

        def limit_address_space():
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        proc = subprocess.run([ZIPREPAIR, "scan", path], capture_output=True, preexec_fn=limit_address_space,
                              timeout=300)
        self.assertIn(proc.returncode, (0, 1, 4), proc.stderr)
        if proc.returncode == 1:
            self.assertIn(path.encode(), proc.stderr)


if __name__ == "__main__":
    unittest.main()
