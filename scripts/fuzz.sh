#!/bin/sh
# Builds the scan + rebuild fuzzer with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer on the engine too) and runs it for a while on a
# working copy of the seed archives and of the hostile constructions (inputs
# made to exhaust a scan), with a memory and a per-input time limit: an input
# that makes the scan quadratic or its memory grow fails the run.
#   scripts/fuzz.sh [seconds]     default 60
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
corpus="$root/fuzz/corpus-work"

cmake -S "$root" -B "$build" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" \
    -DVRZ_SANITIZE=address,undefined \
    -DVRZ_BUILD_FUZZERS=ON -DVRZ_BUILD_GUI=OFF -DVRZ_BUILD_TESTS=OFF -DVRZ_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target scan_rebuild_fuzzer hostile_inputs

mkdir -p "$corpus"
cp -n "$root"/fuzz/seeds/* "$corpus"/ 2>/dev/null || true
"$build/bin/hostile_inputs" "$corpus" 1
"$build/bin/scan_rebuild_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=512 \
    -artifact_prefix="$build/" "$corpus"
