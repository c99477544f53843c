#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when one is missing.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail
pkgs=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev libfluidsynth-dev libcairo2-dev
      libwavpack-dev libzip-dev grandorgue-demo clang libclang-rt-14-dev lld
      fonts-dejavu-core librsvg2-bin poppler-utils libxml2-utils
      dpkg-dev file afl++ ccache libopusenc-dev chromium chromium-driver python3-selenium "$@")
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
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
