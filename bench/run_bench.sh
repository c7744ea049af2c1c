#!/usr/bin/env bash
# Times `ziprepair scan` against reading the file (`cat FILE > /dev/null`) and
# `ziprepair repair` against copying it (`cp FILE`), on two damaged archives:
#   small: 20 000 small entries (Python's zipfile, deflated)
#   large: about 300 MB in a few big stored entries of random data (zip -0)
#   split: the large archive cut into 64 MiB parts set.z01 … set.zip
# Both get junk between entries and lose their central directory. Every
# command runs several times on a warm cache and the best time counts.
#   bench/run_bench.sh [path/to/ziprepair]    (or ZIPREPAIR=...)
set -euo pipefail
ziprepair=${1:-${ZIPREPAIR:-}}
if [[ -z "$ziprepair" ]]; then
    here=$(cd "$(dirname "$0")/.." && pwd)
    ziprepair=$(ls -t "$here"/build*/bin/ziprepair 2>/dev/null | head -1)
fi
[[ -x "$ziprepair" ]] || { echo "ziprepair not found; pass its path" >&2; exit 2; }
runs=${BENCH_RUNS:-5}
work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/vrz-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Puts junk before every tenth entry and cuts the file where the central
# directory began.
damage() {
    python3 - "$1" "$2" <<'PY'
import random, shutil, sys, zipfile
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

make_small() {
    python3 - "$work/small-intact.zip" <<'PY'
import random, sys, zipfile
rng = random.Random(3)
words = [w.encode() for w in "alpha beta gamma delta entry header record offset folder volume".split()]
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for i in range(20000):
        z.writestr("dir%03d/file%05d.txt" % (i % 200, i), b" ".join(rng.choice(words) for _ in range(rng.randrange(20, 120))))
PY
    damage "$work/small-intact.zip" "$work/small.zip"
    rm -f "$work/small-intact.zip"
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

# Best wall-clock time in seconds of $runs runs of a command; $reset runs before each.
best_of() {
    local best="" t0 t1 elapsed
    for ((i = 0; i < runs; i++)); do
        eval "$reset"
        t0=$(date +%s.%N)
        "$@" >/dev/null
        t1=$(date +%s.%N)
        elapsed=$(echo "$t1 - $t0" | bc -l)
        if [[ -z "$best" ]] || (($(echo "$elapsed < $best" | bc -l))); then best=$elapsed; fi
    done
    printf '%.3f' "$best"
}

ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }

# A split set is read and copied part by part, as the repair does.
cat_file() { if [[ -d "$1" ]]; then cat "$1"/* >/dev/null; else cat "$1" >/dev/null; fi; }
copy_file() { if [[ -d "$1" ]]; then cat "$1"/* >"$work/out/copy"; else cp "$1" "$work/out/copy"; fi; }
copy_and_sync() { copy_file "$1" && sync "$work/out/copy"; }
repair_file() { "$ziprepair" repair "$1" -o "$work/out"; }

make_split() {
    mkdir -p "$work/split"
    (cd "$work/split" && split -b 64M -d -a 2 --numeric-suffixes=1 "$work/large.zip" set.z)
    local last
    last=$(ls "$work/split" | sort | tail -1)
    mv "$work/split/$last" "$work/split/set.zip"
}

echo "preparing archives in $work ..."
make_small
make_large
make_split
mkdir -p "$work/out"

printf '\n%-7s %10s | %8s %8s %6s | %8s %8s %6s %10s %6s\n' archive size cat scan ratio cp repair ratio "cp+sync" ratio
for name in small large split; do
    file="$work/$name.zip"
    [[ $name == split ]] && file="$work/split"
    size=$(du -sb "$file" | cut -f1)
    cat_file "$file"  # warm the cache
    reset=":"
    t_cat=$(best_of cat_file "$file")
    t_scan=$(best_of "$ziprepair" scan "$file")
    reset='rm -f "$work"/out/*'
    t_cp=$(best_of copy_file "$file")
    t_cps=$(best_of copy_and_sync "$file")
    t_rep=$(best_of repair_file "$file")
    printf '%-7s %10s | %8s %8s %6s | %8s %8s %6s %10s %6s\n' "$name" "$size" "$t_cat" "$t_scan" \
        "$(ratio "$t_scan" "$t_cat")" "$t_cp" "$t_rep" "$(ratio "$t_rep" "$t_cp")" "$t_cps" "$(ratio "$t_rep" "$t_cps")"
done
echo
echo "times in seconds, best of $runs; ratio = ziprepair / reference. The repair syncs its"
echo "output before giving it its name; cp does not, so cp+sync is the like-for-like reference."

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
        t_unzip=$(best_of unzip -tqq "$file")
        t_verify=$(best_of "$ziprepair" scan --verify "$file")
        printf '%-16s %10s | %8s %8s %6s\n' "$name" "$(stat -c %s "$file")" "$t_unzip" "$t_verify" \
            "$(ratio "$t_verify" "$t_unzip")"
    done
    echo "verification ratio = ziprepair scan --verify / unzip -tqq (target: 1.5 or less)"
    rm -f "$work"/verify-*.zip
}

bench_verification
