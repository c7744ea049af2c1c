#!/usr/bin/env bash
# Runs the window tests over and over to show they pass on every first run:
# the step from the source page to the repair page alone (200 times by
# default) and the whole window suite (10 times). Stops at the first failure
# and keeps its output. Uses an existing build (scripts/build.sh).
#   scripts/loop-window-tests.sh [step-runs] [suite-runs]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
step_runs="${1:-200}"
suite_runs="${2:-10}"
tests="$build/bin/gui_tests"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
export GDK_BACKEND=x11

# One virtual display for all runs, as the test command has.
loop() {
  local name="$1" runs="$2" filter="$3" passed=0
  for ((run = 1; run <= runs; ++run)); do
    if ! "$tests" --gtest_filter="$filter" > "$log" 2>&1; then
      cat "$log"
      echo "$name: run $run failed after $passed passing runs" >&2
      exit 1
    fi
    passed=$((passed + 1))
  done
  echo "$name: $passed of $runs runs passed"
}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "$0" "$@"
fi
loop "source to repair step" "$step_runs" 'SourceStep.*:RepairPage.*'
loop "whole window suite" "$suite_runs" '*'
