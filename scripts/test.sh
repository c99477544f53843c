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
# Each fuzz target for a minute from the committed seeds (AFL++ under ASan and
# UBSan); any crash, sanitizer report or reproducible hang fails the run.
scripts/fuzz.sh
