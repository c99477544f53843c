#!/usr/bin/env bash
# Longer fuzzing than CI's, for a person to run now and then (not a CI gate):
# each target for SECONDS (default 1800), printing the executions done and
# the findings; the queue it grew is kept under build-fuzz/long/<target>.
# Usage: scripts/fuzz-long.sh [SECONDS_PER_TARGET]
# Exit status 1 when anything was found; the findings stay for a look.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-1800}
FUZZ_OUT=${FUZZ_OUT:-build-fuzz/long} FUZZ_TIMEOUT_MS=${FUZZ_TIMEOUT_MS:-5000} \
  exec scripts/fuzz.sh "$seconds"
