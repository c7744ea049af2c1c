"""Shared helpers for the end-to-end tests: archives made by real writers,
damage done on purpose, and independent readers that judge the repairs."""

import hashlib
import os
import random
import shutil
import struct
import subprocess
import tempfile
import time
import zipfile

ZIPREPAIR = os.environ.get("ZIPREPAIR", "ziprepair")

LOCAL_SIG = b"PK\x03\x04"
CENTRAL_SIG = b"PK\x01\x02"
END_SIG = b"PK\x05\x06"
ZIP64_LOCATOR_SIG = b"PK\x06\x07"


# ----------------------------------------------------------------- originals

def make_originals(root, seed=1):
    """Writes a small tree of files (text, incompressible, empty, nested)
    under root and returns {relative name: bytes}."""
    rng = random.Random(seed)
    words = ["archive", "entry", "header", "central", "record", "offset", "deflate", "stored",
             "repair", "damage", "folder", "volume", "byte", "signature", "descriptor"]
    files = {
        "readme.txt": "\n".join(" ".join(rng.choice(words) for _ in range(12)) for _ in range(300)).encode(),
        "data/numbers.csv": "".join("%d,%d,%d\n" % (i, i * i, rng.randrange(10 ** 6)) for i in range(3000)).encode(),
        "data/random.bin": rng.randbytes(40000),
        "data/empty.txt": b"",
        "data/deep/nested/notes.md": b"# Notes\n\nNested three folders down.\n" * 20,
        "images/pattern.raw": bytes((x * y) & 0xFF for y in range(120) for x in range(256)),
        "last.txt": b"the last entry of the archive\n" * 30,
    }
    for name, data in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    return files


def _tree_names(root):
    """Files and folders below root in a stable order (folders end with '/')."""
    names = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        rel = os.path.relpath(folder, root)
        if rel != ".":
            names.append(rel.replace(os.sep, "/") + "/")
        for f in sorted(files):
            names.append(os.path.normpath(os.path.join(rel, f)).replace(os.sep, "/"))
    return names


# ------------------------------------------------------------------- writers

def _run(args, cwd=None, **kw):
    return subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)


def _members(root):
    return sorted(os.listdir(root))


def zip_stored(root, out):
    _run(["zip", "-q", "-r", "-0", out] + _members(root), cwd=root)


def zip_deflated(root, out):
    _run(["zip", "-q", "-r", out] + _members(root), cwd=root)


def zip_forced_zip64(root, out):
    _run(["zip", "-q", "-r", "-fz", out] + _members(root), cwd=root)


def zip_streamed(root, out):
    """Output to a pipe: zip cannot seek back, so it writes data descriptors."""
    with open(out, "wb") as f:
        with subprocess.Popen(["zip", "-q", "-r", "-"] + _members(root), cwd=root, stdout=subprocess.PIPE) as producer:
            shutil.copyfileobj(producer.stdout, f)
        if producer.returncode != 0:
            raise RuntimeError("zip to a pipe failed")


def zip_from_stdin(root, out):
    """One entry named '-' read from stdin and written to a pipe: a ZIP64
    local extra and a data descriptor."""
    with open(os.path.join(root, "readme.txt"), "rb") as src, open(out, "wb") as f:
        with subprocess.Popen(["zip", "-q", "-", "-"], stdin=src, stdout=subprocess.PIPE) as producer:
            shutil.copyfileobj(producer.stdout, f)
        if producer.returncode != 0:
            raise RuntimeError("zip from stdin failed")


def python_zipfile(root, out):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name in _tree_names(root):
            z.write(os.path.join(root, name), name)


class _Unseekable:
    """A write-only stream: zipfile then writes data descriptors."""

    def __init__(self, f):
        self._f = f

    def write(self, data):
        return self._f.write(data)

    def flush(self):
        self._f.flush()


def _python_stream(root, out, force_zip64):
    with open(out, "wb") as raw:
        with zipfile.ZipFile(_Unseekable(raw), "w", zipfile.ZIP_DEFLATED) as z:
            for name in _tree_names(root):
                if name.endswith("/"):
                    continue
                with open(os.path.join(root, name), "rb") as src, z.open(name, "w", force_zip64=force_zip64) as dst:
                    shutil.copyfileobj(src, dst)


def python_stream(root, out):
    _python_stream(root, out, False)


def python_stream_zip64(root, out):
    _python_stream(root, out, True)


def sevenzip(root, out):
    _run(["7z", "a", "-tzip", "-bd", out] + _members(root), cwd=root)


def bsdtar(root, out):
    _run(["bsdtar", "-a", "-cf", out] + _members(root), cwd=root)


def jar(root, out):
    _run(["jar", "cf", out] + _members(root), cwd=root)


WRITERS = {
    "zip_stored": zip_stored,
    "zip_deflated": zip_deflated,
    "zip_forced_zip64": zip_forced_zip64,
    "zip_streamed": zip_streamed,
    "zip_from_stdin": zip_from_stdin,
    "python_zipfile": python_zipfile,
    "python_stream": python_stream,
    "python_stream_zip64": python_stream_zip64,
    "sevenzip": sevenzip,
    "bsdtar": bsdtar,
    "jar": jar,
}


def make_archive(writer, root, out):
    WRITERS[writer](root, out)
    return out


# ------------------------------------------------------------ archive layout

def central_directory_offset(data):
    """Where the central directory starts, from the end record (and the
    ZIP64 end record when the classic field is saturated)."""
    end = data.rfind(END_SIG)
    if end < 0:
        raise ValueError("no end record")
    offset = struct.unpack_from("<I", data, end + 16)[0]
    locator = end - 20
    if locator >= 0 and data[locator:locator + 4] == ZIP64_LOCATOR_SIG:
        record = struct.unpack_from("<Q", data, locator + 8)[0]
        offset = struct.unpack_from("<Q", data, record + 48)[0]
    return offset


class Entry:
    def __init__(self, name, start, end):
        self.name = name
        self.start = start  # offset of the local header
        self.end = end      # one past the last byte (data descriptor included)

    def __repr__(self):
        return "Entry(%r, %d, %d)" % (self.name, self.start, self.end)


def entry_layout(path):
    """The entries of an intact archive in file order with their byte ranges;
    every writer used here puts entries back to back."""
    with open(path, "rb") as f:
        data = f.read()
    with zipfile.ZipFile(path) as z:
        infos = sorted(z.infolist(), key=lambda i: i.header_offset)
    cd = central_directory_offset(data)
    entries = []
    for i, info in enumerate(infos):
        end = infos[i + 1].header_offset if i + 1 < len(infos) else cd
        entries.append(Entry(info.filename, info.header_offset, end))
    return entries


def contents(path):
    """{name: bytes} of every entry of an archive that reads cleanly."""
    with zipfile.ZipFile(path) as z:
        return {i.filename: z.read(i) for i in z.infolist()}


# ------------------------------------------------------------------- damage

def garbage(n, seed=5):
    """Random bytes without any 'P', so no signature appears by accident."""
    data = bytearray(random.Random(seed).randbytes(n))
    return bytes(b if b != 0x50 else 0x51 for b in data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def cut_at(path, offset):
    with open(path, "r+b") as f:
        f.truncate(offset)


def cut_central_directory(path):
    cut_at(path, central_directory_offset(read(path)))


def overwrite(path, offset, length, seed=5):
    data = bytearray(read(path))
    data[offset:offset + length] = garbage(length, seed)[: max(0, min(length, len(data) - offset))]
    write(path, bytes(data))


def insert(path, offset, length, seed=6):
    data = read(path)
    write(path, data[:offset] + garbage(length, seed) + data[offset:])


def sha256(path):
    return hashlib.sha256(read(path)).hexdigest()


# --------------------------------------------------------------- validators

def unzip_test(path):
    r = subprocess.run(["unzip", "-t", path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return r.returncode == 0, r.stdout.decode(errors="replace")


def sevenzip_test(path):
    r = subprocess.run(["7z", "t", "-bd", path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    out = r.stdout.decode(errors="replace")
    return r.returncode == 0 and "Everything is Ok" in out and "WARNING" not in out.upper(), out


def bsdtar_test(path):
    listing = subprocess.run(["bsdtar", "-tf", path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if listing.returncode != 0:
        return False, listing.stdout.decode(errors="replace")
    # Extracting to stdout checks every entry's CRC as libarchive streams it.
    extract = subprocess.run(["bsdtar", "-xOf", path], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return extract.returncode == 0, listing.stdout.decode(errors="replace") + extract.stderr.decode(errors="replace")


def python_test(path):
    try:
        with zipfile.ZipFile(path) as z:
            bad = z.testzip()
        return bad is None, "first bad entry: %r" % bad
    except Exception as e:  # zlib.error, BadZipFile, EOFError, ...: any refusal counts
        return False, repr(e)


VALIDATORS = {
    "unzip -t": unzip_test,
    "7z t": sevenzip_test,
    "bsdtar": bsdtar_test,
    "python zipfile": python_test,
}


def failed_validators(path):
    """[(validator, output)] of every reader that refuses the archive."""
    failures = []
    for name, check in VALIDATORS.items():
        ok, output = check(path)
        if not ok:
            failures.append((name, output[-2000:]))
    return failures


# --------------------------------------------------------------- the program

def ziprepair(*args, timeout=300):
    return subprocess.run([ZIPREPAIR] + list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)


class Workspace:
    """A temporary folder removed when the test ends."""

    def __init__(self, prefix="vrz-it-"):
        self.path = tempfile.mkdtemp(prefix=prefix)

    def file(self, *parts):
        return os.path.join(self.path, *parts)

    def listing(self, *parts):
        return sorted(os.listdir(self.file(*parts)))

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


def wait_until_reading(proc, path):
    """Waits until the process has the source open: its handlers are in place
    then. Signals that come while the program is still being loaded by the
    system are the system's to handle."""
    while proc.poll() is None:
        try:
            for fd in os.listdir("/proc/%d/fd" % proc.pid):
                if os.readlink("/proc/%d/fd/%s" % (proc.pid, fd)) == path:
                    return
        except OSError:
            pass
        time.sleep(0.001)
