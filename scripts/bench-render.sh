#!/usr/bin/env bash
# Benchmark, not a test: renders the demo roll to WAV with vennoroll-render and
# the bank of a build tree, and tells how many times faster than real time it
# ran (best of several runs, wall clock). The target is 50x; the exit status is
# 1 below it. Then the demo roll's web page: its size (aim: under 3 MB) and the
# time to make it. Other work on the machine slows it: run it on a quiet machine.
# Usage: scripts/bench-render.sh [build-dir] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
target=50

# The renderer that loads the build tree's bank, the bank and the demo roll.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/home"
cmake --build "$build" -j2 --target vennoroll-render-testbank demo_roll >"$work/build.log" 2>&1 || {
  cat "$work/build.log" >&2
  exit 1
}
render="$build/tests/e2e/vennoroll-render-testbank"
roll="$build/examples/demo-roll.mid"
bank="$build/bank/vennorbank-0.sf2"
for f in "$render" "$roll" "$bank"; do
  [ -e "$f" ] || { echo "bench-render: $f is missing" >&2; exit 1; }
done

TIMEFORMAT='%R %U %S'
# Renders the demo roll to $work/$1, $runs times; best and bestcpu: the fastest
# run's wall clock and its CPU time.
besttime() {
  local output=$1 i t real user sys cpu
  best=""
  for i in $(seq "$runs"); do
    # Standard error is no terminal here: no progress line, nothing but the times.
    t=$( { time HOME="$work/home" timeout 600 "$render" "$roll" "$work/$output" \
             >"$work/report" 2>"$work/err"; } 2>&1 ) || {
      echo "bench-render: the render of $output failed:" >&2
      cat "$work/report" "$work/err" >&2
      exit 1
    }
    read -r real user sys <<<"$t"
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
    echo "$output run $i: ${real} s wall, ${cpu} s CPU"
    if [ -z "$best" ] || awk -v a="$real" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$real
      bestcpu=$cpu
    fi
  done
}

besttime demo.wav
# 16-bit stereo at 44.1 kHz: 176400 bytes a second (the header is negligible).
bytes=$(stat -c %s "$work/demo.wav")
audio=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 176400 }')
ratio=$(awk -v a="$audio" -v r="$best" 'BEGIN { printf "%.1f", a / r }')
# CPU time, all threads together, is what a busy machine disturbs least.
cpuratio=$(awk -v a="$audio" -v c="$bestcpu" 'BEGIN { printf "%.1f", a / c }')
echo "demo roll: ${audio} s of audio rendered in ${best} s (best of $runs): ${ratio}x real time" \
     "(target ${target}x; ${cpuratio}x per CPU second; load average $(cut -d' ' -f1-3 /proc/loadavg))"

besttime demo.html
pagebest=$best
pagemb=$(awk -v b="$(stat -c %s "$work/demo.html")" 'BEGIN { printf "%.2f", b / 1e6 }')
echo "demo page: ${pagemb} MB made in ${pagebest} s (best of $runs; aim under 3 MB;" \
     "load average $(cut -d' ' -f1-3 /proc/loadavg))"
awk -v x="$ratio" -v t="$target" 'BEGIN { exit !(x >= t) }' || {
  echo "bench-render: below ${target}x real time" >&2
  exit 1
}
