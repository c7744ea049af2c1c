#!/usr/bin/env bash
# Times `ziprepair scan` on each hostile construction at three sizes (x1, x2,
# x4) and prints the time, the peak memory and how both grew: a scan linear
# in its input shows time ratios near 2 and 4, never 4 and 16.
#   bench/scan_growth.sh [path/to/ziprepair [path/to/hostile_inputs]]
# BENCH_SCALE (default 4) multiplies every size.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
ziprepair=${1:-${ZIPREPAIR:-$(ls -t "$here"/build*/bin/ziprepair 2>/dev/null | head -1)}}
writer=${2:-$(dirname "$ziprepair")/hostile_inputs}
[[ -x "$ziprepair" && -x "$writer" ]] || { echo "ziprepair or hostile_inputs not found; pass their paths" >&2; exit 2; }
base=${BENCH_SCALE:-4}
work=$(mktemp -d "${TMPDIR:-/tmp}/vrz-growth-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$writer" "$work" "$base" $((base * 2)) $((base * 4))

python3 - "$ziprepair" "$work" "$base" <<'PY'
import os, subprocess, sys, time
ziprepair, work, base = sys.argv[1], sys.argv[2], int(sys.argv[3])
names = sorted({f.rsplit("-x", 1)[0] for f in os.listdir(work)})
print("%-32s %5s %10s %9s %9s %7s" % ("construction", "size", "bytes", "seconds", "peak MB", "ratio"))
for name in names:
    first = None
    for k in (1, 2, 4):
        path = os.path.join(work, "%s-x%d.zip" % (name, base * k))
        start = time.monotonic()
        proc = subprocess.Popen([ziprepair, "scan", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        took = time.monotonic() - start
        first = first or max(took, 1e-3)
        print("%-32s %4dx %10d %9.3f %9.1f %7.2f" % (name, k, os.path.getsize(path), took,
                                                     usage.ru_maxrss / 1024, took / first))
PY
