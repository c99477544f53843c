#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Quiet when all is built; the log is shown when something fails.
cmake --build build -j"$jobs" >build/build.log 2>&1 || { tail -n 80 build/build.log; exit 1; }
# With root, the Debian package is made, installed, played and removed too.
if [ "$(id -u)" -eq 0 ]; then
  scripts/deb-test.sh
fi
ctest --test-dir build --output-on-failure -j"$jobs"
# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
# Aborting on a report keeps a sanitizer finding apart from a refusal's status 1.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENNOR_SANITIZE=ON \
  -DVENNOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs" >build-asan/build.log 2>&1 || { tail -n 80 build-asan/build.log; exit 1; }
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"
# Each fuzz target for a minute from the committed seeds (AFL++ under ASan and
# UBSan); any crash, sanitizer report or reproducible hang fails the run.
scripts/fuzz.sh
