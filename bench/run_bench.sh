#!/usr/bin/env bash
# Times ziprepair against the programs a user would compare it with, on the
# same files in one run, and prints the ratios (median of several runs each):
#   scan   ÷ `cat FILE >/dev/null`                 (target ≤ 1.5)
#   repair ÷ `cp FILE DIR && sync`                 (target ≤ 1.2)
#   repair ÷ Info-ZIP `zip -FF FILE --out OUT`     (does not sync its output)
# on two damaged archives:
#   many:  20 000 entries of 10 kB stored random data, about 200 MB
#   large: six stored entries of 50 MB random data, about 300 MB
# Both get junk between entries and lose their central directory. Then the
# peak memory (maximum resident set) of scan and repair of
#   1gb:   four 256 MB stored entries
#   3m:    3 000 000 one-byte entries without a central directory
#   bench/run_bench.sh [path/to/ziprepair]    (or ZIPREPAIR=...)
# BENCH_RUNS (default 7) sets the runs per command; BENCH_DIR the folder the
# archives are made in (it decides the disk that the repairs write to);
# BENCH_MEMORY=0 skips the memory part.
set -euo pipefail
ziprepair=${1:-${ZIPREPAIR:-}}
if [[ -z "$ziprepair" ]]; then
    here=$(cd "$(dirname "$0")/.." && pwd)
    ziprepair=$(ls -t "$here"/build*/bin/ziprepair 2>/dev/null | head -1)
fi
[[ -x "$ziprepair" ]] || { echo "ziprepair not found; pass its path" >&2; exit 2; }
command -v zip >/dev/null || { echo "Info-ZIP zip is needed" >&2; exit 2; }
runs=${BENCH_RUNS:-7}
work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/vrz-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

# Puts junk before every tenth entry and cuts the file where the central
# directory began.
damage() {
    python3 - "$1" "$2" <<'PY'
import random, sys, zipfile
src, dst = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(src) as z:
    offsets = sorted(i.header_offset for i in z.infolist())
    central = z.start_dir
rng = random.Random(7)
with open(src, "rb") as fin, open(dst, "wb") as fout:
    bounds = offsets + [central]
    for i, start in enumerate(offsets):
        if i % 10 == 5:
            fout.write(bytes(b if b != 0x50 else 0x51 for b in rng.randbytes(rng.randrange(100, 4000))))
        fin.seek(start)
        remaining = bounds[i + 1] - start
        while remaining:
            chunk = fin.read(min(remaining, 1 << 22))
            fout.write(chunk)
            remaining -= len(chunk)
PY
}

make_many() {
    python3 - "$work/many-intact.zip" <<'PY'
import random, sys, zipfile
rng = random.Random(3)
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_STORED) as z:
    for i in range(20000):
        z.writestr("dir%03d/file%05d.bin" % (i % 200, i), rng.randbytes(10000))
PY
    damage "$work/many-intact.zip" "$work/many.zip"
    rm -f "$work/many-intact.zip"
}

make_large() {
    mkdir -p "$work/large-src"
    for i in 1 2 3 4 5 6; do
        head -c $((50 * 1024 * 1024)) /dev/urandom >"$work/large-src/part$i.bin"
    done
    (cd "$work/large-src" && zip -q -0 "$work/large-intact.zip" part*.bin)
    rm -rf "$work/large-src"
    damage "$work/large-intact.zip" "$work/large.zip"
    rm -f "$work/large-intact.zip"
}

# Stored entries of one random block repeated: quick to make, and no
# compression can shrink what a repair has to copy.
make_1gb() {
    python3 - "$work/1gb.zip" <<'PY'
import os, sys, zipfile
block = os.urandom(1 << 20)
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_STORED) as z:
    for i in range(4):
        with z.open("part%d.bin" % i, "w", force_zip64=True) as f:
            for _ in range(256):
                f.write(block)
PY
    python3 - "$work/1gb.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    central = z.start_dir
with open(sys.argv[1], "r+b") as f:
    f.truncate(central)
PY
}

echo "ziprepair: $ziprepair"
echo "machine:   $(nproc) cores, $(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -1)," \
    "$(free -g | awk '/^Mem:/ {print $2}') GB memory, $(df -T "$work" | awk 'NR == 2 {print $2}') at $work"
echo "preparing archives ..."
make_many
make_large
mkdir -p "$work/out"

printf '\n%-6s %10s | %7s %7s %5s | %8s %7s %5s | %7s %5s\n' archive bytes cat scan ratio "cp+sync" repair ratio "zip-FF" ratio
for name in many large; do
    file="$work/$name.zip"
    size=$(stat -c %s "$file")
    cat_file "$file"  # warm the cache
    reset=":"
    read -r t_cat t_scan < <(median_pair "cat_file $file" "\"\$ziprepair\" scan $file")
    reset='rm -f "$work"/out/*'
    read -r t_cps t_rep < <(median_pair "copy_and_sync $file" "repair_file $file")
    read -r t_ff t_rep2 < <(median_pair "zip_ff $file" "repair_file $file")
    printf '%-6s %10s | %7s %7s %5s | %8s %7s %5s | %7s %5s\n' "$name" "$size" "$t_cat" "$t_scan" \
        "$(ratio "$t_scan" "$t_cat")" "$t_cps" "$t_rep" "$(ratio "$t_rep" "$t_cps")" "$t_ff" "$(ratio "$t_rep2" "$t_ff")"
done
rm -f "$work"/out/* "$work"/many.zip "$work"/large.zip
echo
echo "seconds, median of $runs runs each, taken by turns, on a warm cache; ratio = ziprepair /"
echo "reference (the zip-FF ratio uses repair times of its own turns). The repair"
echo "syncs its output before giving it its name, as cp+sync does; zip -FF leaves it in the"
echo "page cache, so on large entries that ratio is mostly the cost of the sync."

# Verification: `ziprepair scan --verify` (scan, then decode every entry and
# check its CRC-32) against `unzip -tqq` on the same intact 200 MB archives,
# one deflated (text) and one stored (random data).
make_verify_archives() {
    mkdir -p "$work/verify-src"
    python3 - "$work/verify-src/text.txt" <<'PY'
import random, sys
rng = random.Random(11)
words = [w.encode() for w in "alpha beta gamma delta entry header record offset folder volume".split()]
with open(sys.argv[1], "wb") as f:
    written, n = 0, 0
    while written < 200 * 1024 * 1024:
        line = b"%09d " % n + b" ".join(rng.choice(words) for _ in range(12)) + b"\n"
        f.write(line)
        written += len(line)
        n += 1
PY
    head -c $((200 * 1024 * 1024)) /dev/urandom >"$work/verify-src/random.bin"
    (cd "$work/verify-src" && zip -q "$work/verify-deflated.zip" text.txt && zip -q -0 "$work/verify-stored.zip" random.bin)
    rm -rf "$work/verify-src"
}

bench_verification() {
    make_verify_archives
    printf '\n%-16s %10s | %8s %8s %6s\n' archive size "unzip-t" verify ratio
    reset=":"
    for name in verify-deflated verify-stored; do
        file="$work/$name.zip"
        cat "$file" >/dev/null  # warm the cache
        read -r t_unzip t_verify < <(median_pair "unzip -tqq $file" "\"\$ziprepair\" scan --verify $file")
        printf '%-16s %10s | %8s %8s %6s\n' "$name" "$(stat -c %s "$file")" "$t_unzip" "$t_verify" \
            "$(ratio "$t_verify" "$t_unzip")"
    done
    echo "verification ratio = ziprepair scan --verify / unzip -tqq (target: 1.5 or less)"
    rm -f "$work"/verify-*.zip
}

bench_verification

[[ "${BENCH_MEMORY:-1}" == 0 ]] && exit 0
echo
echo "preparing the memory archives ..."
make_1gb
make_local_headers "$work/3m.zip" 3000000
printf '\n%-6s %12s %9s | %14s %16s\n' archive bytes entries "scan peak KB" "repair peak KB"
for name in 1gb 3m; do
    file="$work/$name.zip"
    entries=$("$ziprepair" scan "$file" | tail -1 | cut -d' ' -f1)
    scan_kb=$( { /usr/bin/time -f '%M' "$ziprepair" scan "$file" >/dev/null; } 2>&1 | tail -1)
    repair_kb=$( { /usr/bin/time -f '%M' "$ziprepair" repair "$file" -o "$work/out" >/dev/null; } 2>&1 | tail -1)
    rm -f "$work"/out/*
    printf '%-6s %12s %9s | %14s %16s\n' "$name" "$(stat -c %s "$file")" "$entries" "$scan_kb" "$repair_kb"
done
echo
echo "peak = maximum resident set size of the whole process (GNU time %M)."
