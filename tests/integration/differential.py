"""Differential checks of the repair against plain readers.

Small archives come from real writers; each copy is damaged with a few
seeded random byte changes; Python's zipfile and `7z x` then tell which
entries a plain reader still gets back intact from the damaged copy, and the
repair must never do worse: every such entry is in the repaired archive with
its content, an output the program calls wholly intact opens in every reader
that opens the undamaged archive, nothing is made up, and the program
neither crashes nor hangs. A copy is named SEED-KIND and can be rebuilt from
that name alone (the encrypted kinds draw a fresh salt per build, so their
bytes differ between builds; keep the copy with keep_case instead)."""

import json
import os
import random
import shutil
import signal
import struct
import subprocess
import tempfile
import zipfile

import ziptools

PASSWORD = "secret"
TIMEOUT = 60
FIXED_TIME = 1262304000  # 2010-01-01: the same archive bytes on every build
EXIT_STATUSES = (0, 1, 3, 4)


# ----------------------------------------------------------------- originals

def _text(rng, lines):
    words = ["archive", "entry", "header", "central", "record", "offset", "deflate", "stored", "repair",
             "damage", "folder", "volume", "byte", "signature", "descriptor"]
    return "\n".join(" ".join(rng.choice(words) for _ in range(10)) for _ in range(lines)).encode()


def original_files(seed=16):
    """A few files of distinct content, one in a folder: {name: bytes}."""
    rng = random.Random(seed)
    return {
        "notes.txt": _text(rng, 25),
        "data/table.csv": "".join("%d,%d\n" % (i, rng.randrange(10 ** 6)) for i in range(150)).encode(),
        "data/blob.bin": rng.randbytes(700),
        "last.txt": b"the last entry\n" * 6,
    }


def _write_tree(root, files):
    for name, data in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    for folder, dirs, names in os.walk(root):
        for n in dirs + names:
            os.utime(os.path.join(folder, n), (FIXED_TIME, FIXED_TIME))


# ------------------------------------------------------------------- writers

def _run(args, cwd):
    subprocess.run(args, cwd=cwd, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                   stderr=subprocess.PIPE)


def _members(root):
    return sorted(os.listdir(root))


def _zip(*options):
    return lambda root, out: _run(["zip", "-q", "-r", "-X"] + list(options) + [out] + _members(root), root)


def _sevenzip(*options):
    return lambda root, out: _run(["7z", "a", "-tzip", "-bd", "-mtc=off"] + list(options) + [out]
                                  + _members(root), root)


def _bsdtar(*options):
    def write(root, out):
        # Fed from a listing with fixed times and owners: the files' change
        # times would otherwise make every build's bytes differ.
        lines = ["#mtree"]
        for name in ziptools._tree_names(root):
            path = name.rstrip("/")
            if name.endswith("/"):
                lines.append("%s type=dir mode=0755 uid=0 gid=0 time=%d.0" % (path, FIXED_TIME))
            else:
                lines.append("%s type=file mode=0644 uid=0 gid=0 time=%d.0 contents=%s"
                            % (path, FIXED_TIME, os.path.join(root, path)))
        listing = out + ".mtree"
        with open(listing, "w") as f:
            f.write("\n".join(lines) + "\n")
        try:
            _run(["bsdtar", "--format", "zip"] + list(options) + ["-cf", out, "@" + listing], root)
        finally:
            os.remove(listing)
    return write


def _zip_to_pipe(root, out):
    with open(out, "wb") as f:
        subprocess.run(["zip", "-q", "-r", "-X", "-"] + _members(root), cwd=root, stdout=f, check=True)


def _zip_from_stdin(root, out):
    with open(os.path.join(root, "notes.txt"), "rb") as src, open(out, "wb") as f:
        subprocess.run(["zip", "-q", "-", "-"], stdin=src, stdout=f, check=True)


def _python(compression, stream=False):
    def write(root, out):
        with open(out, "wb") as raw:
            target = ziptools._Unseekable(raw) if stream else raw
            with zipfile.ZipFile(target, "w", compression) as z:
                for name in ziptools._tree_names(root):
                    path = os.path.join(root, name)
                    if not stream:
                        z.write(path, name)
                    elif not name.endswith("/"):
                        # Written through open(): no seeking back, so data descriptors.
                        info = zipfile.ZipInfo.from_file(path, name)
                        info.compress_type = compression
                        with open(path, "rb") as src, z.open(info, "w") as dst:
                            shutil.copyfileobj(src, dst)
    return write


def _nested(outer):
    """An archive that holds a stored archive of its own among its files."""
    def write(root, out):
        inner_root = tempfile.mkdtemp(prefix="vrz-inner-")
        try:
            _write_tree(inner_root, INNER_FILES)
            _zip("-0")(inner_root, os.path.join(root, "inner.zip"))
            os.utime(os.path.join(root, "inner.zip"), (FIXED_TIME, FIXED_TIME))
            outer(root, out)
        finally:
            os.remove(os.path.join(root, "inner.zip"))
            shutil.rmtree(inner_root, ignore_errors=True)
    return write


INNER_FILES = {"inner/one.txt": b"first file of the nested archive\n" * 4,
               "inner/two.txt": b"second file of the nested archive, a little longer\n" * 5}

# kind -> writer(root, out). Info-ZIP stores .zip files as they are, and the
# Python nested writer is told to store everything.
KINDS = {
    "zip-store": _zip("-0"),
    "zip-deflate": _zip(),
    "zip-bzip2": _zip("-Z", "bzip2"),
    "zip-pipe": _zip_to_pipe,
    "zip-stdin": _zip_from_stdin,
    "zip-crypt": _zip("-P", PASSWORD),
    "zip-nested": _nested(_zip()),
    "py-store": _python(zipfile.ZIP_STORED),
    "py-deflate": _python(zipfile.ZIP_DEFLATED),
    "py-bzip2": _python(zipfile.ZIP_BZIP2),
    "py-lzma": _python(zipfile.ZIP_LZMA),
    "py-stream": _python(zipfile.ZIP_DEFLATED, stream=True),
    "py-nested": _nested(_python(zipfile.ZIP_STORED)),
    "7z-deflate": _sevenzip("-mm=Deflate"),
    "7z-bzip2": _sevenzip("-mm=BZip2"),
    "7z-lzma": _sevenzip("-mm=LZMA"),
    "7z-ppmd": _sevenzip("-mm=PPMd"),
    "7z-crypt": _sevenzip("-mm=Deflate", "-p" + PASSWORD),
    "7z-aes": _sevenzip("-mm=Deflate", "-mem=AES256", "-p" + PASSWORD),
    "bsdtar-deflate": _bsdtar(),
    "bsdtar-store": _bsdtar("--options", "zip:compression=store"),
}


class Made:
    """One kind's undamaged archive, the contents a reader may rightly get
    from it, and the validators that accept it."""

    def __init__(self, kind, path, contents):
        self.kind = kind
        self.path = path
        self.data = ziptools.read(path)
        self.contents = contents
        self.regions = regions(self.data)
        self.validators = [name for name, check in VALIDATORS.items() if check(path)[0]]
        # What the readers get from the undamaged archive: when Python alone
        # still gets all of it from a damaged copy, `7z x` has nothing to add.
        folder = tempfile.mkdtemp(prefix="7z-", dir=os.path.dirname(path))
        self.readable = set(c for _, c, _ in python_read(path) if c) | set(sevenzip_read(path, folder).values())
        shutil.rmtree(folder, ignore_errors=True)


def build(folder, kinds=None):
    """Writes every kind's archive into folder: {kind: Made}."""
    root = os.path.join(folder, "originals")
    os.makedirs(root, exist_ok=True)
    files = original_files()
    _write_tree(root, files)
    made = {}
    for kind in kinds or KINDS:
        path = os.path.join(folder, kind + ".zip")
        KINDS[kind](root, path)
        contents = dict(files)
        if kind.endswith("-nested"):
            contents.update(INNER_FILES)
            with zipfile.ZipFile(path) as z:
                contents["inner.zip"] = z.read("inner.zip")
        if kind == "zip-stdin":
            contents = {"-": files["notes.txt"]}
        made[kind] = Made(kind, path, contents)
    return made


# ------------------------------------------------------------ archive layout

_LOCAL_FIELDS = [("signature", 4), ("version", 2), ("flags", 2), ("method", 2), ("time", 2), ("date", 2),
                 ("crc", 4), ("csize", 4), ("usize", 4), ("namelen", 2), ("extralen", 2)]
_CENTRAL_FIELDS = [("signature", 4), ("made-by", 2), ("version", 2), ("flags", 2), ("method", 2), ("time", 2),
                   ("date", 2), ("crc", 4), ("csize", 4), ("usize", 4), ("namelen", 2), ("extralen", 2),
                   ("commentlen", 2), ("disk", 2), ("iattr", 2), ("eattr", 4), ("offset", 4)]
_END_FIELDS = [("signature", 4), ("disk", 2), ("cd-disk", 2), ("count-disk", 2), ("count", 2), ("cd-size", 4),
               ("cd-offset", 4), ("commentlen", 2)]


def _fields(table, start, label, out):
    at = start
    for name, size in table:
        out.append((at, at + size, "%s.%s" % (label, name)))
        at += size
    return at


def regions(data):
    """[(start, end, label)] naming every byte of an undamaged archive: the
    fields of local headers, names, extras, data and descriptors, central
    records and end records."""
    out = []
    with zipfile.ZipFile(_BytesFile(data)) as z:
        infos = sorted(z.infolist(), key=lambda i: i.header_offset)
    cd = ziptools.central_directory_offset(data)
    for i, info in enumerate(infos):
        h = info.header_offset
        n, m = struct.unpack_from("<HH", data, h + 26)
        local = "local[%d]" % i
        at = _fields(_LOCAL_FIELDS, h, local, out)
        out.append((at, at + n, local + ".name"))
        out.append((at + n, at + n + m, local + ".extra"))
        data_start = at + n + m
        out.append((data_start, data_start + info.compress_size, "data[%d]" % i))
        end = infos[i + 1].header_offset if i + 1 < len(infos) else cd
        if end > data_start + info.compress_size:
            out.append((data_start + info.compress_size, end, "descriptor[%d]" % i))
    at = cd
    index = 0
    while data[at:at + 4] == ziptools.CENTRAL_SIG:
        n, m, k = struct.unpack_from("<HHH", data, at + 28)
        central = "central[%d]" % index
        at = _fields(_CENTRAL_FIELDS, at, central, out)
        out += [(at, at + n, central + ".name"), (at + n, at + n + m, central + ".extra"),
                (at + n + m, at + n + m + k, central + ".comment")]
        at += n + m + k
        index += 1
    end = data.rfind(ziptools.END_SIG)
    if at < end:
        out.append((at, end, "zip64-end"))
    _fields(_END_FIELDS, end, "end", out)
    return out


def label_of(made, offset):
    for start, end, label in made.regions:
        if start <= offset < end:
            return label
    return "end.comment"


class _BytesFile:
    """zipfile wants a seekable file; io.BytesIO is one, kept here by name."""

    def __new__(cls, data):
        import io
        return io.BytesIO(data)


# -------------------------------------------------------------------- damage

# Which bytes a damage kind may change: every byte, or only those inside the
# named regions (by label prefix).
DAMAGE_KINDS = {
    "any": None,
    "data": ("data",),
    "headers": ("local", "central", "end", "zip64", "descriptor"),
    "central": ("central", "end", "zip64"),
}


def damage(made, seed, damage_kind="any"):
    """The damaged bytes of one copy and [(offset, old, new)]: 1 to 16
    bytes changed, scattered or in one run, chosen by seed alone."""
    rng = random.Random("%d-%s" % (seed, made.kind))
    data = bytearray(made.data)
    allowed = DAMAGE_KINDS[damage_kind]
    if allowed is None:
        offsets = range(len(data))
    else:
        offsets = [o for s, e, label in made.regions if label.startswith(allowed) for o in range(s, e)]
    count = rng.randint(1, 16)
    if rng.random() < 0.5:
        start = rng.randrange(len(offsets))
        chosen = [offsets[(start + i) % len(offsets)] for i in range(count)]
    else:
        chosen = [offsets[rng.randrange(len(offsets))] for _ in range(count)]
    changes = []
    for offset in sorted(set(chosen)):
        old = data[offset]
        data[offset] = old ^ rng.randrange(1, 256)
        changes.append((offset, old, data[offset]))
    return bytes(data), changes


def describe_damage(made, changes):
    """'local[0].crc@14:1f>a0, data[1]@200:..' for a report line (entries
    and central records counted in file order from 0)."""
    return ", ".join("%s@%d:%02x>%02x" % (label_of(made, o), o, a, b) for o, a, b in changes)


# ------------------------------------------------------------------ readers

class _Alarm(Exception):
    pass


def _on_alarm(signum, frame):
    raise _Alarm()


def python_read(path):
    """[(name, content or None, error)] of every non-folder entry Python's
    zipfile lists, each read on its own; None when it cannot even open."""
    old = signal.signal(signal.SIGALRM, _on_alarm)
    signal.alarm(TIMEOUT)
    try:
        with zipfile.ZipFile(path) as z:
            z.setpassword(PASSWORD.encode())
            results = []
            for info in z.infolist():
                # Not is_dir(): it fails on the empty name Python makes of one
                # that begins with a NUL byte, an entry it reads all the same.
                if info.filename.endswith("/"):
                    continue
                if info.compress_type != zipfile.ZIP_STORED and info.compress_size == 0:
                    # Python reads nothing as nothing; unzip and 7z refuse a stream without a byte.
                    results.append((info.filename, None, "no compressed data"))
                    continue
                try:
                    results.append((info.filename, z.read(info), None))
                except NotImplementedError as e:
                    results.append((info.filename, None, "not implemented, method %d: %s" % (info.compress_type, e)))
                except _Alarm:
                    raise
                except Exception as e:  # any refusal: bad CRC, zlib error, bad password, ...
                    results.append((info.filename, None, repr(e)))
            return results
    except _Alarm:
        return [("", None, "python zipfile hung")]
    except Exception:
        return None
    finally:
        signal.alarm(0)
        signal.signal(signal.SIGALRM, old)


def stored_data(path):
    """The bytes of every stored entry of an archive, whatever their CRC."""
    data = ziptools.read(path)
    try:
        with zipfile.ZipFile(path) as z:
            infos = [i for i in z.infolist() if i.compress_type == zipfile.ZIP_STORED and not i.flag_bits & 1]
    except Exception:
        return []
    found = []
    for info in infos:
        h = info.header_offset
        if data[h:h + 4] == ziptools.LOCAL_SIG:
            n, m = struct.unpack_from("<HH", data, h + 26)
            found.append(data[h + 30 + n + m:h + 30 + n + m + info.compress_size])
    return found


def python_read_bytes(data):
    with tempfile.NamedTemporaryFile(suffix=".zip") as f:
        f.write(data)
        f.flush()
        return python_read(f.name) or []


def sevenzip_read(path, folder):
    """{name: content} of every file `7z x` writes without an error for it
    (it writes a file whose CRC-32 fails too, and says so)."""
    os.makedirs(folder, exist_ok=True)
    try:
        r = subprocess.run(["7z", "x", "-y", "-bd", "-p" + PASSWORD, "-o" + folder, path],
                           stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=TIMEOUT)
        said = r.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        said = ""
    failed = set(line.rsplit(" : ", 1)[-1] for line in said.splitlines()
                 if line.startswith("ERROR: ") and " : " in line)
    found = {}
    for top, _, names in os.walk(folder):
        for n in names:
            full = os.path.join(top, n)
            if os.path.isfile(full) and not os.path.islink(full):
                found[os.path.relpath(full, folder)] = ziptools.read(full)
    # 7z prints a name of undecodable bytes otherwise than it writes it: such
    # files count as failed when an error names no file written.
    if failed - set(found):
        failed |= set(n for n in found if not (n.isascii() and n.isprintable()))
    return {n: c for n, c in found.items() if n not in failed}


def _unsupported(error):
    """A method Python's zipfile does not decode (PPMd, AES): not a fault of
    the archive. Patched data or strong encryption flags are."""
    return (error or "").startswith(("not implemented, method 98: That", "not implemented, method 99: That"))


def _python_valid(path):
    entries = python_read(path)
    if entries is None:
        return False, "does not open"
    bad = [(n, e) for n, c, e in entries if c is None and not _unsupported(e)]
    return not bad, repr(bad[:3])


def _unzip_valid(path):
    r = subprocess.run(["unzip", "-t", "-P", PASSWORD, path], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT, timeout=TIMEOUT)
    return r.returncode == 0, r.stdout.decode(errors="replace")[-600:]


def _sevenzip_valid(path):
    r = subprocess.run(["7z", "t", "-bd", "-p" + PASSWORD, path], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT, timeout=TIMEOUT)
    out = r.stdout.decode(errors="replace")
    return r.returncode == 0 and "Everything is Ok" in out and "WARNING" not in out.upper(), out[-600:]


VALIDATORS = {"python zipfile": _python_valid, "unzip -t": _unzip_valid, "7z t": _sevenzip_valid}


# ------------------------------------------------------------------- checks

def _repair(path, folder):
    try:
        r = subprocess.run([ziptools.ZIPREPAIR, "repair", "-o", folder, "--json", path], stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return None, None, "no answer within %d s" % TIMEOUT
    try:
        report = json.loads(r.stdout.decode("utf-8")) if r.stdout.strip() else None
    except ValueError as e:
        report = {"unparsable": repr(e)}
    return r.returncode, report, r.stderr.decode(errors="replace")


def _written_entries(report):
    return [e for e in (report or {}).get("entries", []) if e.get("written")]


def check_copy(made, seed, work, damage_kind="any", keep=None):
    """Damages one copy, repairs it and judges the repair against the plain
    readers: a list of violations (class, detail) and a few counts."""
    damaged_bytes, changes = damage(made, seed, damage_kind)
    folder = tempfile.mkdtemp(prefix="copy-", dir=work)
    try:
        damaged = os.path.join(folder, "damaged.zip")
        ziptools.write(damaged, damaged_bytes)
        out_dir = os.path.join(folder, "out")
        os.makedirs(out_dir)
        violations = []

        # What a plain reader gets back intact: known contents, by either reader.
        known = {content: name for name, content in made.contents.items()}
        readable = {}
        for name, content, _ in python_read(damaged) or []:
            if content in known and content:
                readable[content] = "python zipfile read %r" % name
        if not made.readable <= set(readable):
            for name, content in sevenzip_read(damaged, os.path.join(folder, "7z-in")).items():
                if content in known and content and content not in readable:
                    readable[content] = "7z x read %r" % name

        status, report, stderr = _repair(damaged, out_dir)
        if status is None:
            violations.append(("hang", stderr))
        elif status not in EXIT_STATUSES:
            violations.append(("exit-%d" % status, stderr.strip()[-300:]))
        elif "Sanitizer" in stderr or "runtime error:" in stderr:
            violations.append(("sanitizer", stderr.strip()[-600:]))
        if report is not None and "unparsable" in report:
            violations.append(("json", report["unparsable"]))
            report = None

        outputs = [os.path.join(out_dir, n) for n in os.listdir(out_dir)]
        output = outputs[0] if len(outputs) == 1 else None
        if status in (0, 3) and output is None:
            violations.append(("no-output", "exit %s but %d files written" % (status, len(outputs))))
        elif status not in (0, 3) and outputs:
            violations.append(("stray-output", "exit %s left %r" % (status, outputs)))

        got = {}       # content -> output name, for every entry read intact from the output
        by_7z = {}
        rows = _written_entries(report)
        if output is not None:
            entries = python_read(output)
            if entries is None:
                violations.append(("output-does-not-open", "python zipfile refuses it"))
                entries = []
            unsupported = any(_unsupported(e) for _, _, e in entries)
            by_7z = sevenzip_read(output, os.path.join(folder, "7z-out")) if unsupported else {}
            for content in by_7z.values():
                got.setdefault(content, "7z x")
            for index, (name, content, error) in enumerate(entries):
                if content is None and name in by_7z:
                    content, error = by_7z[name], None
                row = _row_of(rows, name, index)
                tool_status = (row or {}).get("status", "?")
                if content is not None:
                    got.setdefault(content, name)
                    # Empty is a folder's content; a compressed entry without data is refused below.
                    if content and content not in known and tool_status == "intact" \
                            and not name.startswith("#Lost Files/"):
                        violations.append(("invented", "%r (%d bytes) is no original entry" % (name, len(content))))
                elif tool_status == "intact" and not _unsupported(error):
                    violations.append(("false-intact", "%r said intact, python: %s" % (name, error)))
            # Readers judge the whole output only where the program vouches for
            # every entry; encrypted and undecodable entries go unchecked.
            if status == 0 and rows and all(r.get("status") == "intact" for r in rows):
                for validator in made.validators:
                    ok, said = VALIDATORS[validator](output)
                    if not ok:
                        violations.append(("unreadable-output:" + validator, said.strip()[-300:]))

        # Each entry is judged by the reader that got it from the damaged copy:
        # `7z x` stops at the declared size, so it accepts a stream whose
        # last bytes are damaged, and so it must from the output.
        if output is not None and not set(readable) <= set(got) and not by_7z:
            for content in sevenzip_read(output, os.path.join(folder, "7z-out")).values():
                got.setdefault(content, "7z x")
        # A nested archive kept whole keeps its entries too, even where the
        # outer entry is damaged elsewhere (a reader that takes the inner end
        # record for the outer one reads them alone).
        for content in (stored_data(output) if output is not None else []):
            if content.startswith(ziptools.LOCAL_SIG):
                for _, inner, _ in python_read_bytes(content):
                    if inner is not None:
                        got.setdefault(inner, "inside a nested archive")
        for content, how in sorted(readable.items(), key=lambda kv: known[kv[0]]):
            if content not in got:
                same_name = [r for r in rows if r.get("name") == known[content]]
                cls = "broken" if same_name else "lost"
                detail = "%r: %s; repair: %s" % (known[content], how,
                                                  _row_text(same_name[0]) if same_name else "no such entry")
                violations.append((cls, detail))

        result = {"seed": seed, "kind": made.kind, "damage_kind": damage_kind, "status": status,
                  "damage": describe_damage(made, changes),
                  "violations": violations, "readable": len(readable),
                  "recovered": sum(1 for c in readable if c in got)}
        if keep:
            keep_case(keep, result, made, damaged, output, report, stderr)
        return result
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def _row_of(rows, name, index):
    """The report row of the output's index-th file entry: by name, else by
    place (names the report escapes or Python decodes differently)."""
    for r in rows:
        if r.get("name") == name:
            return r
    files = [r for r in rows if not r.get("name", "").endswith("/")]
    return files[index] if index < len(files) else None


def _row_text(row):
    return "%s %s" % (row.get("status"), row.get("detail") or "")


def copy_id(result):
    return "%d-%s" % (result["seed"], result["kind"])


def keep_case(folder, result, made, damaged, output, report, stderr):
    """Keeps one copy for study: the undamaged archive, the damaged copy, the
    repair and its report, and what was found."""
    target = os.path.join(folder, copy_id(result))
    os.makedirs(target, exist_ok=True)
    shutil.copyfile(made.path, os.path.join(target, "original.zip"))
    shutil.copyfile(damaged, os.path.join(target, "damaged.zip"))
    if output is not None:
        shutil.copyfile(output, os.path.join(target, os.path.basename(output)))
    with open(os.path.join(target, "result.json"), "w") as f:
        json.dump({"result": result, "report": report, "stderr": stderr}, f, indent=1)


# -------------------------------------------------------------------- a run

_MADE = {}
_WORK = None
_DAMAGE = "any"
_KEEP = None


def _init(made, work, damage_kind, keep):
    global _MADE, _WORK, _DAMAGE, _KEEP
    _MADE, _WORK, _DAMAGE, _KEEP = made, work, damage_kind, keep


def _one(task):
    seed, kind = task
    result = check_copy(_MADE[kind], seed, _WORK, _DAMAGE, keep=None)
    if result["violations"] and _KEEP:
        # Run again to keep the files: the damage depends on the seed alone.
        check_copy(_MADE[kind], seed, _WORK, _DAMAGE, keep=_KEEP)
    return result


def tasks(count, first_seed, kinds):
    """Copy i is seed first_seed + i of kind i mod the number of kinds."""
    kinds = list(kinds)
    return [(first_seed + i, kinds[i % len(kinds)]) for i in range(count)]


def run(task_list, made, work, jobs=2, damage_kind="any", keep=None):
    """Checks every (seed, kind) copy on jobs processes; yields the results
    as they come."""
    import multiprocessing
    _init(made, work, damage_kind, keep)
    if jobs <= 1:
        for t in task_list:
            yield _one(t)
        return
    context = multiprocessing.get_context("fork")
    with context.Pool(jobs, initializer=_init, initargs=(made, work, damage_kind, keep)) as pool:
        for result in pool.imap_unordered(_one, task_list, chunksize=4):
            yield result


def damaged_fields(damage_text):
    """The kinds of fields a damage line changed, entry numbers left out:
    'data' only when nothing else was hit."""
    import re
    fields = sorted(set(re.sub(r"\[\d+\]", "", part.split("@")[0]) for part in damage_text.split(", ")))
    header_fields = [f for f in fields if f != "data"]
    return ",".join(header_fields) if header_fields else "data"


def format_violation(result, cls, detail):
    detail = " | ".join(line.strip() for line in str(detail).splitlines() if line.strip())
    name = copy_id(result)
    if result.get("damage_kind", "any") != "any":
        name += " (--damage %s)" % result["damage_kind"]
    return "%s [%s] exit %s; damage %s; %s" % (name, cls, result["status"], result["damage"], detail[-400:])
