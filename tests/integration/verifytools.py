"""Helpers for the verification and JSON tests: archives in the methods the
verifier decodes, made by real writers where one makes them, and runs of the
program that return its JSON report."""

import json
import lzma
import os
import struct
import subprocess
import zlib

import ziptools

METHOD_STORED, METHOD_DEFLATE, METHOD_DEFLATE64, METHOD_BZIP2, METHOD_LZMA = 0, 8, 9, 12, 14
METHOD_ZSTD, METHOD_XZ, METHOD_PPMD, METHOD_AES = 93, 95, 98, 99


def run(args, cwd=None):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def members(root):
    return sorted(os.listdir(root))


def zip_bzip2(root, out):
    run(["zip", "-q", "-r", "-Z", "bzip2", out] + members(root), cwd=root)


def sevenzip_method(method):
    def write(root, out):
        run(["7z", "a", "-tzip", "-bd", "-mm=" + method, out] + members(root), cwd=root)
    return write


def python_method(compression):
    def write(root, out):
        import zipfile
        with zipfile.ZipFile(out, "w", compression) as z:
            for name in ziptools._tree_names(root):
                z.write(os.path.join(root, name), name)
    return write


def zstd_frame(data):
    r = subprocess.run(["zstd", "-q", "-c", "-3"], input=data, stdout=subprocess.PIPE, check=True)
    return r.stdout


def xz_stream(data):
    return lzma.compress(data, format=lzma.FORMAT_XZ, check=lzma.CHECK_CRC64)


def hand_built(path, entries):
    """Writes an archive whose entries carry data compressed outside any ZIP
    writer (zstd, xz): entries are (name, content, method, compressed)."""
    out = bytearray()
    central = bytearray()
    for name, content, method, compressed in entries:
        raw = name.encode()
        crc = zlib.crc32(content) & 0xFFFFFFFF
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 63, 0, method, 0, 0x21, crc, len(compressed), len(content),
                           len(raw), 0) + raw + compressed
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 63, 63, 0, method, 0, 0x21, crc, len(compressed),
                               len(content), len(raw), 0, 0, 0, 0, 0x20, offset) + raw
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central), len(out), 0)
    ziptools.write(path, bytes(out + central + end))


def originals_for_hand_built(files, method):
    """The test files as hand-built entries of one method."""
    pack = zstd_frame if method == METHOD_ZSTD else xz_stream
    return [(name, data, method, pack(data)) for name, data in sorted(files.items()) if data]


def report(*args):
    """Runs ziprepair with --json and returns (exit status, parsed object, stderr)."""
    r = ziptools.ziprepair(*(list(args) + ["--json"]))
    text = r.stdout.decode("utf-8")  # must be valid UTF-8
    obj = json.loads(text) if text.strip() else None
    return r.returncode, obj, r.stderr.decode(errors="replace")


def by_name(obj):
    return {e["name"]: e for e in obj["entries"]}


def data_offset(path, name):
    """Where an entry's data starts in an intact archive."""
    import zipfile
    with zipfile.ZipFile(path) as z:
        info = z.getinfo(name)
    raw = ziptools.read(path)
    h = info.header_offset
    n, m = struct.unpack_from("<HH", raw, h + 26)
    return h + 30 + n + m, info.compress_size


def bzip2_bomb(blocks, zeros_per_block=16 << 20):
    """A bzip2 stream of blocks * zeros_per_block zero bytes, a few dozen
    bytes per block: one block compressed once, repeated bit for bit (blocks
    are not byte-aligned), with the stream's combined CRC made anew.
    Compressing gigabytes at test time would take minutes."""
    import bz2
    one = bz2.compress(bytes(zeros_per_block), 9)
    bits = int.from_bytes(one, "big")
    total = len(one) * 8
    header_bits, magic_bits, crc_bits = 32, 48, 32
    end_magic = 0x177245385090
    # The end marker and its CRC are followed only by padding to a whole byte.
    for pad in range(8):
        end_at = total - pad - magic_bits - crc_bits
        if (bits >> (total - end_at - magic_bits)) & ((1 << magic_bits) - 1) == end_magic:
            break
    else:
        raise AssertionError("no end of stream marker")
    block_length = end_at - header_bits
    block = (bits >> (total - end_at)) & ((1 << block_length) - 1)
    block_crc = (block >> (block_length - magic_bits - crc_bits)) & 0xFFFFFFFF
    stream = int.from_bytes(b"BZh9", "big")
    combined = 0
    for _ in range(blocks):
        stream = (stream << block_length) | block
        combined = (((combined << 1) | (combined >> 31)) & 0xFFFFFFFF) ^ block_crc
    stream = (((stream << magic_bits) | end_magic) << crc_bits) | combined
    length = header_bits + blocks * block_length + magic_bits + crc_bits
    padding = -length % 8
    return (stream << padding).to_bytes((length + padding) // 8, "big")


def local_header_zip64(name, method, compressed_size, uncompressed_size, crc=0):
    """A local header whose sizes are in its ZIP64 extra field."""
    raw = name.encode()
    extra = struct.pack("<HHQQ", 0x0001, 16, uncompressed_size, compressed_size)
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, 45, 0, method, 0, 0x21, crc, 0xFFFFFFFF, 0xFFFFFFFF,
                       len(raw), len(extra)) + raw + extra
