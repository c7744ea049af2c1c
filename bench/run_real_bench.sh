#!/usr/bin/env bash
# Times ziprepair on real work: archives of the machine's own files (its C
# headers, its documentation folder and Python's standard library), made at
# run time, against the programs a user would compare it with:
#   scan          ÷ `cat FILE >/dev/null`
#   scan --verify ÷ `unzip -tqq` and ÷ `7z t`   (both on the intact archive)
#   repair        ÷ `cp FILE DIR && sync` and ÷ `zip -FF FILE --out OUT`
# on four archives:
#   deflated-intact:   `zip -r -6` of the tree
#   deflated-damaged:  the same with its central directory cut off
#   streamed-damaged:  Python's zipfile writing to a pipe (every entry has a
#                      data descriptor), central directory cut off
#   bzip2-damaged:     7-Zip, bzip2, of the C headers, central directory cut off
# then the peak memory of scan and repair for 1 000 000 and 3 000 000
# entries, and the CPU count the run had.
#   bench/run_real_bench.sh [path/to/ziprepair]    (or ZIPREPAIR=...)
# BENCH_RUNS (default 5) sets the runs per command, by turns; BENCH_DIR the
# folder the archives are made in; BENCH_TIMES=0 skips the timings and
# BENCH_MEMORY=0 the memory part.
set -euo pipefail
ziprepair=${1:-${ZIPREPAIR:-}}
if [[ -z "$ziprepair" ]]; then
    here=$(cd "$(dirname "$0")/.." && pwd)
    ziprepair=$(ls -t "$here"/build*/bin/ziprepair 2>/dev/null | head -1)
fi
[[ -x "$ziprepair" ]] || { echo "ziprepair not found; pass its path" >&2; exit 2; }
for tool in zip unzip 7z python3; do
    command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 2; }
done
runs=${BENCH_RUNS:-5}
work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/vrz-real-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"
verify_file() { "$ziprepair" scan --verify "$1"; }

stdlib=$(python3 -c 'import sysconfig; print(sysconfig.get_paths()["stdlib"])')
tree=(/usr/include /usr/share/doc "$stdlib")

cut_central_directory() {
    python3 - "$1" "$2" <<'PY'
import shutil, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    central = z.start_dir
with open(sys.argv[1], "rb") as fin, open(sys.argv[2], "wb") as fout:
    remaining = central
    while remaining:
        chunk = fin.read(min(remaining, 1 << 22))
        fout.write(chunk)
        remaining -= len(chunk)
PY
}

make_archives() {
    zip -q -r -6 "$work/deflated-intact.zip" "${tree[@]}" -x '*/__pycache__/*' 2>/dev/null || true
    cut_central_directory "$work/deflated-intact.zip" "$work/deflated-damaged.zip"
    # Written to a pipe, zipfile cannot seek back: every entry gets bit 3.
    python3 - "${tree[@]}" <<'PY' | cat >"$work/streamed-intact.zip"
import os, sys, zipfile
with zipfile.ZipFile(sys.stdout.buffer, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
    for top in sys.argv[1:]:
        for folder, dirs, files in os.walk(top):
            dirs[:] = sorted(d for d in dirs if d != "__pycache__")
            for name in sorted(files):
                path = os.path.join(folder, name)
                if os.path.isfile(path) and not os.path.islink(path) and os.access(path, os.R_OK):
                    z.write(path, path.lstrip("/"))
PY
    cut_central_directory "$work/streamed-intact.zip" "$work/streamed-damaged.zip"
    7z a -tzip -mm=BZip2 -bd -bso0 -bsp0 "$work/bzip2-intact.zip" /usr/include >/dev/null
    cut_central_directory "$work/bzip2-intact.zip" "$work/bzip2-damaged.zip"
}

echo "ziprepair: $ziprepair"
echo "machine:   $(nproc) CPUs for this run ($(getconf _NPROCESSORS_ONLN) online)," \
    "$(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -1)," \
    "$(free -g | awk '/^Mem:/ {print $2}') GB memory, $(df -T "$work" | awk 'NR == 2 {print $2}') at $work"
echo "tree:      ${tree[*]}"
mkdir -p "$work/out"

bench_times() {
    echo "preparing archives ..."
    make_archives

    row='%-16s %5s %6s | %6s %6s %5s | %6s %7s %5s %6s %5s | %6s %7s %5s %6s %5s\n'
    printf "\n$row" archive MB entries cat scan ratio verify "unzip-t" ratio "7z-t" ratio \
        repair "cp+sync" ratio "zip-FF" ratio
    for name in deflated-intact deflated-damaged streamed-damaged bzip2-damaged; do
        file="$work/$name.zip"
        intact="$work/${name%-*}-intact.zip"
        size=$(($(stat -c %s "$file") / 1000000))
        entries=$("$ziprepair" scan "$file" | tail -1 | cut -d' ' -f1)
        cat_file "$file"
        cat_file "$intact"  # both in the cache
        reset=":"
        read -r t_cat t_scan < <(median_pair "cat_file $file" "\"\$ziprepair\" scan $file")
        read -r t_unzip t_verify < <(median_pair "unzip -tqq $intact" "verify_file $file")
        read -r t_7z t_verify2 < <(median_pair "7z t -bd $intact" "verify_file $file")
        reset='rm -f "$work"/out/*'
        read -r t_cps t_rep < <(median_pair "copy_and_sync $file" "repair_file $file")
        read -r t_ff t_rep2 < <(median_pair "zip_ff $file" "repair_file $file")
        printf "$row" "$name" "$size" "$entries" \
            "$t_cat" "$t_scan" "$(ratio "$t_scan" "$t_cat")" \
            "$t_verify" "$t_unzip" "$(ratio "$t_verify" "$t_unzip")" "$t_7z" "$(ratio "$t_verify2" "$t_7z")" \
            "$t_rep" "$t_cps" "$(ratio "$t_rep" "$t_cps")" "$t_ff" "$(ratio "$t_rep2" "$t_ff")"
    done
    echo
    echo "seconds, median of $runs runs each, taken by turns, on a warm cache. The scan ratio is"
    echo "scan / cat; verify is ziprepair scan --verify, divided by unzip -tqq and by 7z t, both"
    echo "of which test the intact archive; repair is divided by cp+sync and by zip -FF (each"
    echo "ratio uses repair times of its own turns). zip -FF checks nothing and does not sync."
    rm -f "$work"/*.zip "$work"/out/*
}

[[ "${BENCH_TIMES:-1}" == 0 ]] || bench_times
[[ "${BENCH_MEMORY:-1}" == 0 ]] && exit 0

# An empty archive ends with "nothing recoverable": only the peak is wanted.
peak_kb() {
    /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1 || true
    tail -1 "$work/peak"
}

echo
echo "preparing the memory archives ..."
printf 'PK\5\6\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' >"$work/empty.zip"
empty_scan=$(peak_kb "$ziprepair" scan "$work/empty.zip")
empty_repair=$(peak_kb "$ziprepair" repair "$work/empty.zip" -o "$work/out")
printf '\n%-8s %9s | %12s %9s | %14s %9s\n' entries MB "scan peak KB" "B/entry" "repair peak KB" "B/entry"
for count in 1000000 3000000; do
    make_local_headers "$work/entries.zip" "$count"
    scan_kb=$(peak_kb "$ziprepair" scan "$work/entries.zip")
    repair_kb=$(peak_kb "$ziprepair" repair "$work/entries.zip" -o "$work/out")
    rm -f "$work"/out/*
    printf '%-8s %9s | %12s %9s | %14s %9s\n' "$count" "$(($(stat -c %s "$work/entries.zip") / 1000000))" \
        "$scan_kb" "$(((scan_kb - empty_scan) * 1024 / count))" \
        "$repair_kb" "$(((repair_kb - empty_repair) * 1024 / count))"
done
rm -f "$work/entries.zip"
echo
echo "peak = maximum resident set size of the whole process (GNU time %M); bytes per entry"
echo "= (peak - the peak for an empty archive: $empty_scan KB scan, $empty_repair KB repair) / entries."
