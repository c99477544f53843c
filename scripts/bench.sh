#!/usr/bin/env bash
# Builds in Release and runs every benchmark: reading and writing Standard MIDI
# Files, the roll interpretation, the player's whole preparation (demo roll and
# generated rolls of 10k, 100k and 1M events), FluidSynth set-up and bank
# loading, midicsv on the same files, time to first sound and peak memory.
# Usage: scripts/bench.sh [build-dir] [extra Google Benchmark flags...]
# The build folder defaults to build-bench. Needs 2 cores for a few minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
shift || true
scripts/deps.sh --tests
# midicsv is the peer the preparation is compared with; without it those
# benchmarks are skipped with a message.
command -v midicsv >/dev/null || echo "midicsv not installed (Debian package midicsv): no comparison"
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVENNOR_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$jobs" --target vennor_bench
# A private HOME whose ALSA default device discards the sound, for the
# FluidSynth set-up benchmark (the first-sound and memory runs make their own).
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf 'pcm.!default { type null }\n' >"$home/.asoundrc"
HOME="$home" "$build/bench/vennor_bench" --benchmark_counters_tabular=true "$@"
