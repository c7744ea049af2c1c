#!/usr/bin/env bash
# Builds the window tests with the thread sanitizer and runs the cases that
# have worker threads (the repair and save workers) under a virtual display,
# then the engine's threaded verification (its pool of verifying threads),
# the scan's decoding of streamed entries ahead of its walk, and a repair on
# several threads by ziprepair.
# Reports from inside GTK's own libraries are filtered by tests/gui/tsan.supp;
# anything in our code fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TSAN_BUILD_DIR:-$root/build-tsan}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRZ_SANITIZE=thread \
  -DVRZ_BUILD_BENCH=OFF > /dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target gui_tests vant-repair-zip engine_tests ziprepair
export TSAN_OPTIONS="exitcode=66 halt_on_error=1 report_mutex_bugs=0 detect_deadlocks=0 suppressions=$root/tests/gui/tsan.supp"
export GDK_BACKEND=x11
# A run passes at once or fails; a sanitizer report stops it (halt_on_error).
xvfb-run -a "$build/bin/gui_tests" --gtest_filter="${TSAN_TEST_FILTER:-RepairPage.*:SourceStep.*:WizardRun.*}"
"$build/bin/engine_tests" --gtest_filter="${TSAN_ENGINE_FILTER:-EntryVerifierTest.*:WriterOverlapTest.*:ScanWork.Threads*}"
ZIPREPAIR="$build/bin/ziprepair" python3 "$root/tests/integration/test_threads.py" -v
