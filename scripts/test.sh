#!/usr/bin/env bash
# Installs what is missing, builds, and runs every check: the test suite, the
# Debian package (with root), the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a minute of fuzzing per target.
# Usage: scripts/test.sh [--quick]
#   --quick   build/ and its ctest only: the edit-test loop.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "Usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
scripts/deps.sh
jobs=$(nproc)
# One compiler cache for every build tree: the package's tree compiles the
# same sources with the same flags as build/, and a second run recompiles
# nothing that did not change.
. scripts/ccache.sh

stage() { echo "== $1 ($(date +%T))"; }

stage "build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
# Quiet when all is built; the log is shown when something fails.
cmake --build build -j"$jobs" >build/build.log 2>&1 || { tail -n 80 build/build.log; exit 1; }
stage "tests"
ctest --test-dir build --output-on-failure -j"$jobs"
[ "$quick" -eq 1 ] && exit 0

# With root, the Debian package is made, installed, played and removed too.
if [ "$(id -u)" -eq 0 ]; then
  stage "Debian package"
  scripts/deb-test.sh
fi
# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
# Aborting on a report keeps a sanitizer finding apart from a refusal's status 1.
stage "sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENNOR_SANITIZE=ON \
  -DVENNOR_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$jobs" >build-asan/build.log 2>&1 || { tail -n 80 build-asan/build.log; exit 1; }
stage "sanitizer tests"
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"
# Each fuzz target for a minute from the committed seeds (AFL++ under ASan and
# UBSan); any crash, sanitizer report or reproducible hang fails the run.
stage "fuzzing"
scripts/fuzz.sh
stage "done"
