#!/usr/bin/env bash
# Sets up a fresh machine, then builds and runs every test: the plain build,
# the engine under address and undefined-behaviour sanitizers, the wizard's
# worker code under the thread sanitizer, and a short fuzz run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
jobs="$(nproc)"
logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT

echo "== build and test =="
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$root/build" -j"$jobs"
# Every test must pass on its first run; nothing is tried again.
(cd "$root/build" && xvfb-run -a ctest --output-on-failure -j"$jobs" -E '^gui\.') | tee "$logs/plain.log"
(cd "$root/build" && xvfb-run -a ctest --output-on-failure -j"$jobs" -R '^gui\.') \
  | tee "$logs/gui.log"

echo "== Debian packages: build, lintian, install into a throw-away root =="
"$root/scripts/package.sh" > /dev/null
VRZ_BUILD_DIR="$root/build" python3 "$root/tests/package/test_package.py" -v 2>&1 \
  | tee "$logs/package.log"

echo "== address and undefined-behaviour sanitizers: engine, command line =="
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVRZ_BUILD_GUI=OFF \
  -DVRZ_BUILD_BENCH=OFF -DVRZ_SANITIZE=address,undefined > /dev/null
cmake --build "$root/build-asan" -j"$jobs" --target engine_tests ziprepair vrz_runtime_files
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" -E '^resources\.') \
  | tee "$logs/asan.log"

if [ -x "$root/scripts/tsan.sh" ]; then
  echo "== thread sanitizer: wizard workers =="
  "$root/scripts/tsan.sh" | tee "$logs/tsan.log"
fi

if [ -x "$root/scripts/fuzz.sh" ]; then
  echo "== fuzz =="
  "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-30}"
fi

# One closing line over all stages (a failed stage has stopped the script already).
ran=0
for log in "$logs"/plain.log "$logs"/gui.log "$logs"/asan.log; do
  n=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  ran=$((ran + ${n:-0}))
done
n=$(sed -n 's/^Ran \([0-9]*\) tests\? in .*/\1/p' "$logs/package.log" | tail -1)
ran=$((ran + ${n:-0}))
if [ -f "$logs/tsan.log" ]; then
  n=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$logs/tsan.log" | tail -1)
  ran=$((ran + ${n:-0}))
fi
echo "== all test stages passed =="
echo "$ran passed, 0 failed"
