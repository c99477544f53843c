#!/usr/bin/env bash
# Installs what is missing, builds, and runs every check: the install
# scripts/setup.sh made (when it made one), the test suite, the Debian package
# (with root), the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a minute of fuzzing per target.
# Usage: scripts/test.sh [--quick]
#   --quick   build/ and its ctest only: the edit-test loop.
# Stages that do not need each other overlap: the Debian package and the
# sanitizer and fuzz builds run beside the plain suite, the builds at low
# priority so that the tests keep the cores they use. Ends with a table of the
# stages' times; any stage that fails fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "Usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
scripts/deps.sh --tests
# The browser tests' driver (npm's puppeteer-core), as the lock file pins it:
# fetched only when missing or older than the lock file, so that later runs
# need no network.
page_driver=tests/e2e/page
if [ ! -d "$page_driver/node_modules" ] || [ "$page_driver/package-lock.json" -nt "$page_driver/node_modules" ]; then
  (cd "$page_driver" && npm ci --no-audit --no-fund --loglevel=error)
  touch "$page_driver/node_modules"
fi
jobs=$(nproc)
# One compiler cache for every build tree: the package's tree compiles the
# same sources with the same flags as build/, and a second run recompiles
# nothing that did not change.
. scripts/ccache.sh

run_start=$(date +%s)
timings=()
failures=()
# Records a stage: name, start and end (seconds since the epoch), exit status.
record() {
  timings+=("$(printf '%-18s %6d s  (at %4d s)  %s' "$1" $(($3 - $2)) $(($2 - run_start)) \
    "$([ "$4" -eq 0 ] && echo ok || echo "FAILED ($4)")")")
  [ "$4" -eq 0 ] || failures+=("$1")
}
# Runs a stage in the foreground.
stage() {
  local name=$1 start status=0
  shift
  echo "== $name ($(date +%T))"
  start=$(date +%s)
  "$@" || status=$?
  record "$name" "$start" "$(date +%s)" "$status"
  return "$status"
}
# Starts a stage in the background, its output in a log; collect() waits for it.
declare -A bg_pid bg_start bg_log
background() {
  local name=$1 log=$2
  shift 2
  echo "== $name ($(date +%T), beside the stages below; log: $log)"
  bg_start[$name]=$(date +%s)
  bg_log[$name]=$log
  rm -f "$log.end"
  (
    status=0
    "$@" >"$log" 2>&1 || status=$?
    date +%s >"$log.end"
    exit "$status"
  ) &
  bg_pid[$name]=$!
}
collect() {
  local name=$1 status=0
  wait "${bg_pid[$name]}" || status=$?
  record "$name" "${bg_start[$name]}" "$(cat "${bg_log[$name]}.end" 2>/dev/null || date +%s)" "$status"
  [ "$status" -eq 0 ] || { echo "== $name failed:"; tail -n 80 "${bg_log[$name]}"; }
  return "$status"
}
summary() {
  echo "== stage times (wall clock; the background stages overlap the others)"
  printf '%s\n' "${timings[@]}"
  echo "total              $(($(date +%s) - run_start)) s"
}

# The stages' functions chain their steps with &&: a function called where its
# status is tested runs without set -e.
build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENNOR_BUILD_TESTS=ON \
    -DVENNOR_BUILD_BENCH=ON "${launcher[@]}" >/dev/null &&
    # Quiet when all is built; the log is shown when something fails.
    { cmake --build build -j"$jobs" >build/build.log 2>&1 || { tail -n 80 build/build.log; return 1; }; }
}
# ctest's output also goes to a file, for the closing summary.
plain_tests() {
  ctest --test-dir build --output-on-failure -j"$jobs" 2>&1 | tee build/ctest.log
}
stage "build" build || { summary; exit 1; }
if [ "$quick" -eq 1 ]; then
  stage "tests" plain_tests
  exit
fi

# The set-up's install, when scripts/setup.sh made one (its whole `cmake
# --install build` wrote build/install_manifest.txt; the tests install
# component by component): every program, page and library it put down runs
# where it lies, a program linked to the library without LD_LIBRARY_PATH.
# Under the Debian package's lock: its install and removal run ldconfig.
setup_install() {
  flock /tmp/deb-test.lock scripts/check-install.sh build/install_manifest.txt || {
    echo "build/install_manifest.txt is the last set-up's install: after a change to what is installed, run scripts/setup.sh again"
    return 1
  }
}
if [ -f build/install_manifest.txt ]; then
  stage "set-up's install" setup_install || true
else
  echo "== set-up's install: none to check (scripts/setup.sh has not installed from build/)"
fi

# The sanitizer tree builds only what its suite runs: no benchmarks, and no
# second organ bank (its tests load build/'s, which the plain build made).
# Its compile is the longest stage on a new machine, so: clang (a test file in
# 60% of g++'s time) linking with lld, test programs compiled quickly
# (VENNOR_TEST_QUICK_COMPILE in CMakeLists.txt), -O1 and line tables only, so
# that reports still name the lines.
asan_build() {
  CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVENNOR_SANITIZE=ON -DVENNOR_TEST_QUICK_COMPILE=ON \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DVENNOR_BUILD_BENCH=OFF \
    -DVENNOR_PREBUILT_BANK="$PWD/build/bank/vennorbank-0.sf2" "${launcher[@]}" \
    >/dev/null &&
    nice -n 10 cmake --build build-asan -j"$jobs" &&
    # The fuzz targets' build, so that fuzzing starts at once.
    nice -n 10 scripts/fuzz.sh --build-only
}
# A tree an older run configured with another compiler starts afresh.
if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++' build-asan/CMakeCache.txt; then
  rm -rf build-asan
fi
mkdir -p build-asan
background "sanitizer build" build-asan/build.log asan_build
# With root, the Debian package is made, installed, played and removed too
# (under a lock: it installs system-wide).
if [ "$(id -u)" -eq 0 ]; then
  mkdir -p build-deb
  background "Debian package" build-deb/deb-test.log \
    env VENNOR_PREBUILT_BANK="$PWD/build/bank/vennorbank-0.sf2" \
    flock /tmp/deb-test.lock nice -n 10 scripts/deb-test.sh
fi

status=0
stage "tests" plain_tests || status=1
if [ "$(id -u)" -eq 0 ]; then
  if collect "Debian package"; then tail -n 1 build-deb/deb-test.log; else status=1; fi
fi
asan_ok=1
collect "sanitizer build" || { asan_ok=0; status=1; }

# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# without the renders labelled heavy (tests/CMakeLists.txt): their reduced
# variants run here. Aborting on a report keeps a sanitizer finding apart from
# a refusal's status 1.
asan_tests() {
  ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE heavy 2>&1 | tee build-asan/ctest.log
}
fuzz_run() {
  scripts/fuzz.sh 2>&1 | tee build-asan/fuzz.log
}
if [ "$asan_ok" -eq 1 ]; then
  stage "sanitizer tests" asan_tests || status=1
  # Each fuzz target for a minute from the committed seeds (AFL++ under ASan and
  # UBSan), side by side; any crash, sanitizer report or reproducible hang fails the run.
  stage "fuzzing" fuzz_run || status=1
fi
summary
[ ${#failures[@]} -eq 0 ] || echo "failed: ${failures[*]}"
# The closing lines test runners read: ctest's summaries and the fuzz count.
grep -h -E '^[0-9]+% tests passed' build/ctest.log || true
if [ "$asan_ok" -eq 1 ]; then
  grep -h -E '^[0-9]+% tests passed' build-asan/ctest.log || true
  grep -h '^fuzzing: [0-9]* passed' build-asan/fuzz.log || true
fi
[ "$status" -eq 0 ] && [ ${#failures[@]} -eq 0 ]
