# Shared by the benchmark scripts (sourced, not run): timing by turns, ratios,
# the commands ziprepair is compared with, and a writer of bare local headers.
# Expects $ziprepair, $work (with $work/out) and $runs to be set.

# Runs two commands by turns, $runs times each ($reset before every run), and
# prints the median wall-clock seconds of each. Taking turns keeps a change in
# the machine's load from favouring one side.
median_pair() {
    local a=$1 b=$2 ta=() tb=() t0 t1 t2 t3
    for ((i = 0; i < runs; i++)); do
        eval "$reset"
        t0=$(date +%s.%N)
        eval "$a" >/dev/null 2>&1 || true
        t1=$(date +%s.%N)
        eval "$reset"
        t2=$(date +%s.%N)
        eval "$b" >/dev/null 2>&1 || true
        t3=$(date +%s.%N)
        ta+=("$(echo "$t1 - $t0" | bc -l)")
        tb+=("$(echo "$t3 - $t2" | bc -l)")
    done
    printf '%s %s\n' "$(median "${ta[@]}")" "$(median "${tb[@]}")"
}

median() {
    printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {m = (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2; printf "%.3f", m}'
}

ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }

cat_file() { cat "$1" >/dev/null; }
copy_and_sync() { cp "$1" "$work/out/copy" && sync "$work/out/copy"; }
repair_file() { "$ziprepair" repair "$1" -o "$work/out"; }
# zip -FF asks whether the archive is a single-disk one when its end record is gone.
zip_ff() { printf 'y\n' | zip -FF "$1" --out "$work/out/ff.zip"; }

# Local headers only (as left when the central directory is lost), written
# directly: a general writer needs minutes for millions of entries.
#   make_local_headers FILE COUNT
make_local_headers() {
    python3 - "$1" "$2" <<'PY'
import struct, sys, zlib
path, count = sys.argv[1], int(sys.argv[2])
crc = zlib.crc32(b"x")
with open(path, "wb") as f:
    out = []
    for i in range(count):
        name = b"d%04d/f%07d.txt" % (i // 1000 % 10000, i)
        out.append(struct.pack("<IHHHHHIIIHH", 0x04034B50, 10, 0, 0, 0, 0x21, crc, 1, 1, len(name), 0) + name + b"x")
        if len(out) == 65536:
            f.write(b"".join(out))
            out.clear()
    f.write(b"".join(out))
PY
}
