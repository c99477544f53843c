#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when one is missing.
# Usage: scripts/deps.sh [--tests] [extra-package ...]
#   without --tests: what building, installing and playing need (scripts/setup.sh);
#   --tests: also what the checks add (scripts/test.sh, bench.sh, fuzz.sh).
set -euo pipefail
# libjack-jackd2-dev: FluidSynth and RtMidi take either JACK; the tests run jackd2,
# which cannot share a machine with the other. grandorgue, xvfb, xdotool: the live
# test that plays into GrandOrgue, headless.
pkgs=(cmake g++ make pkg-config ccache libfluidsynth-dev libjack-jackd2-dev libcairo2-dev libopusenc-dev
      libwavpack-dev libzip-dev grandorgue-demo fonts-dejavu-core librtmidi-dev libtomlplusplus-dev)
tests=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev lld afl++ dpkg-dev file
       librsvg2-bin poppler-utils libxml2-utils groff-base fonts-liberation
       chromium firefox-esr nodejs jackd2 fluidsynth grandorgue xvfb xdotool)
if [ "${1:-}" = "--tests" ]; then
  shift
  pkgs+=("${tests[@]}")
  # The browser tests' driver comes from npm. A Node.js from elsewhere brings
  # its own npm, which Debian's npm package would conflict with.
  command -v npm >/dev/null || pkgs+=(npm)
fi
pkgs+=("$@")
missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
