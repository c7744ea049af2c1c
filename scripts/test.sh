#!/usr/bin/env bash
# Sets up a fresh machine, then builds and runs every test: the plain build,
# the engine under address and undefined-behaviour sanitizers, the wizard's
# worker code under the thread sanitizer, and a short fuzz run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
jobs="$(nproc)"

echo "== build and test =="
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && xvfb-run -a ctest --output-on-failure -j"$jobs")

echo "== address and undefined-behaviour sanitizers: engine, command line =="
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVRZ_BUILD_GUI=OFF \
  -DVRZ_BUILD_BENCH=OFF -DVRZ_SANITIZE=address,undefined > /dev/null
cmake --build "$root/build-asan" -j"$jobs" --target engine_tests ziprepair vrz_runtime_files
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" -E '^resources\.')

if [ -x "$root/scripts/tsan.sh" ]; then
  echo "== thread sanitizer: wizard workers =="
  "$root/scripts/tsan.sh"
fi

if [ -x "$root/scripts/fuzz.sh" ]; then
  echo "== fuzz =="
  "$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-30}"
fi

# The summary line the CI reads comes from the full run above.
echo "== all test stages passed =="
