#!/usr/bin/env bash
# Builds the window tests with the thread sanitizer and runs the cases that
# have worker threads (the repair and save workers) under a virtual display.
# Reports from inside GTK's own libraries are filtered by tests/gui/tsan.supp;
# anything in our code fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TSAN_BUILD_DIR:-$root/build-tsan}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRZ_SANITIZE=thread \
  -DVRZ_BUILD_BENCH=OFF > /dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target gui_tests vant-repair-zip
export TSAN_OPTIONS="exitcode=66 halt_on_error=1 report_mutex_bugs=0 detect_deadlocks=0 suppressions=$root/tests/gui/tsan.supp"
export GDK_BACKEND=x11
# A rare stall of the step from the source page to the repair page under
# Xvfb fails a run without any report; such a run is tried again, up to
# three times. A thread-sanitizer report stops the run at once (halt_on_error).
for attempt in 1 2 3; do
  rc=0
  xvfb-run -a "$build/bin/gui_tests" --gtest_filter="${TSAN_TEST_FILTER:-RepairPage.*:SourceStep.*:WizardRun.*}" || rc=$?
  [ "$rc" -eq 0 ] && exit 0
  [ "$rc" -eq 66 ] && exit 66  # the sanitizer's own exit code: a race is never retried
  echo "window tests under the thread sanitizer: attempt $attempt failed" >&2
done
exit 1
