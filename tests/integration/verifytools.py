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
