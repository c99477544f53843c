#!/usr/bin/env bash
# Fuzzes every target in fuzz/ with AFL++ (ASan and UBSan on) for a bounded
# time from the committed seeds. Any crash, sanitizer report, allocation
# beyond the limits or hang is a finding and fails the run; each is replayed
# so that the log shows its report. A bad roll's message and exit status 1
# count as a normal end.
# The targets run side by side, the cores shared out among them.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60, or FUZZ_SECONDS)
#        scripts/fuzz.sh --build-only           (the targets' build, no fuzzing)
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_OUT (default
# $FUZZ_BUILD_DIR/out), FUZZ_TIMEOUT_MS (default 3000), FUZZ_JOBS (instances
# per target, default the cores divided among the targets, at least one),
# FUZZ_TARGETS (default "reader roll").
set -euo pipefail
cd "$(dirname "$0")/.."
build_only=0
if [ "${1:-}" = "--build-only" ]; then
  build_only=1
  shift
fi
seconds=${1:-${FUZZ_SECONDS:-60}}
build=${FUZZ_BUILD_DIR:-build-fuzz}
out=${FUZZ_OUT:-$build/out}
timeout_ms=${FUZZ_TIMEOUT_MS:-3000}
targets=${FUZZ_TARGETS:-reader roll}
ntargets=$(wc -w <<<"$targets")
jobs=${FUZZ_JOBS:-$(($(nproc) / ntargets))}
[ "$jobs" -ge 1 ] || jobs=1

scripts/deps.sh --tests
CC=afl-clang-fast CXX=afl-clang-fast++ AFL_QUIET=1 cmake -S . -B "$build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENNOR_SANITIZE=ON -DVENNOR_BUILD_FUZZ=ON \
  -DVENNOR_BUILD_TESTS=OFF -DVENNOR_BUILD_BANK=OFF -DVENNOR_BUILD_BENCH=OFF >/dev/null
mkdir -p "$build"
AFL_QUIET=1 cmake --build "$build" -j"$(nproc)" --target $(printf 'fuzz_%s ' $targets) \
  >"$build/fuzz-build.log" 2>&1 || { tail -n 60 "$build/fuzz-build.log"; exit 1; }
[ "$build_only" -eq 0 ] || exit 0

# No terminal, no core-dump handler, no CPU governor, cores shared with others.
export AFL_NO_UI=1 AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_AFFINITY=1
# One allocation above 256 MiB, or a process above 1.5 GiB, is a finding: no
# file of at most 1 MiB (AFL++'s largest input) should need it.
limits=max_allocation_size_mb=256:hard_rss_limit_mb=1536:allocator_may_return_null=0
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0:$limits
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0:print_stacktrace=1

# Replays a finding outside AFL++, symbolized, so the log shows what it is;
# sets status to the replay's exit status.
replay() {
  local binary=$1 file=$2
  echo "--- $file"
  set +e
  ASAN_OPTIONS=symbolize=1:detect_leaks=0:$limits UBSAN_OPTIONS=print_stacktrace=1:symbolize=1 \
    timeout 60 "$binary" "$file" >/dev/null 2>"$out/replay.log"
  status=$?
  set -e
  sed '/Shadow bytes around/,$d' "$out/replay.log" | tail -n 30
}

# Every target's instances at once, one per core in all, sharing what they find
# within a target.
declare -A target_pids
for target in $targets; do
  dir="$out/$target"
  rm -rf "$dir"
  mkdir -p "$dir"
  echo "== fuzz_$target: ${seconds} s on $jobs core(s) from fuzz/corpus/$target"
  target_pids[$target]=""
  for i in $(seq 1 "$jobs"); do
    if [ "$i" -eq 1 ]; then role="-M main"; else role="-S second$i"; fi
    afl-fuzz -i "fuzz/corpus/$target" -o "$dir" -x fuzz/midi.dict -m none -t "$timeout_ms" \
      -V "$seconds" $role -- "$build/fuzz/fuzz_$target" >"$dir/afl-$i.log" 2>&1 &
    target_pids[$target]+=" $!"
  done
done

findings=0
passed=0
failed=0
for target in $targets; do
  before=$findings
  binary="$build/fuzz/fuzz_$target"
  dir="$out/$target"
  aflfailed=0
  for pid in ${target_pids[$target]}; do
    wait "$pid" || aflfailed=1
  done
  if [ "$aflfailed" -ne 0 ]; then
    # A seed that crashes or hangs stops AFL++ before it starts.
    tail -n 30 "$dir"/afl-*.log
    echo "fuzz_$target: afl-fuzz failed"
    findings=$((findings + 1))
    failed=$((failed + 1))
    continue
  fi
  total() { cat "$dir"/*/fuzzer_stats | sed -n "s/^$1 *: *//p" | awk '{ s += $1 } END { print s }'; }
  echo "fuzz_$target: $(total execs_done) executions ($(total execs_per_sec)/s)," \
    "$(total corpus_found) new inputs found, $(total saved_crashes) crashes, $(total saved_hangs) hangs"
  for f in $(find "$dir"/*/crashes -type f -name 'id:*' 2>/dev/null); do
    findings=$((findings + 1))
    replay "$binary" "$f"
  done
  # A hang counts when it is slow on its own too, not only beside other load,
  # or when it crashes on its own.
  for f in $(find "$dir"/*/hangs -type f -name 'id:*' 2>/dev/null); do
    start=$(date +%s%N)
    replay "$binary" "$f"
    ms=$((($(date +%s%N) - start) / 1000000))
    if [ "$ms" -gt "$timeout_ms" ] || [ "$status" -gt 1 ]; then
      echo "replayed in $ms ms with exit status $status: a finding"
      findings=$((findings + 1))
    else
      echo "replayed in $ms ms with exit status $status: slow only beside other load"
    fi
  done
  if [ "$findings" -eq "$before" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done

if [ "$findings" -ne 0 ]; then
  echo "fuzzing: $findings finding(s); inputs under $out/<target>/<instance>/{crashes,hangs}"
fi
# One line per run in the form test runners close with: targets without and
# with findings.
echo "fuzzing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
