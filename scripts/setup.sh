#!/usr/bin/env bash
# Quick start: installs the Debian packages that are missing, builds, installs
# vennoroll with its organ bank, demo roll and man page, then plays the demo.
# Run it as root or as a user who may sudo; run it again after any change:
# it rebuilds and reinstalls only what changed and says nothing else.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

scripts/deps.sh
jobs=$(nproc)
. scripts/ccache.sh
mkdir -p build
# The same build tree and flags as scripts/test.sh, without the tests and
# benchmarks: the test command after this one adds them and rebuilds nothing.
if ! cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENNOR_BUILD_TESTS=OFF \
  -DVENNOR_BUILD_BENCH=OFF "${launcher[@]}" >build/configure.log 2>&1; then
  cat build/configure.log
  exit 1
fi
if ! cmake --build build -j"$jobs" >build/build.log 2>&1; then
  tail -n 60 build/build.log
  echo "Build failed; the whole log is build/build.log"
  exit 1
fi
# Up-to-date files are not news.
$SUDO cmake --install build | { grep -v -e '-- Up-to-date:' -e '-- Install configuration:' || true; }
# Programs built against the MIDI file model's shared library find it at once.
$SUDO ldconfig

# What was installed, and where: the install's own list.
player=$(grep -m1 '/bin/vennoroll$' build/install_manifest.txt)
demo=$(grep -m1 '/demo-roll\.mid$' build/install_manifest.txt)

# FluidSynth plays through ALSA. Without any sound card (a server, a
# container) and no ALSA set-up of the user's own, ALSA's null device lets
# the demo play to its end in silence instead of failing.
if [ ! -e /proc/asound/cards ] || grep -q 'no soundcards' /proc/asound/cards; then
  if [ ! -e "$HOME/.asoundrc" ]; then
    quiet_home=$(mktemp -d)
    trap 'rm -rf "$quiet_home"' EXIT
    echo 'pcm.!default { type null }' >"$quiet_home/.asoundrc"
    echo "No sound card here: the demo plays silently (see \"Headless machines\" in README.md)."
    HOME="$quiet_home" "$player" "$demo"
    exit
  fi
fi
"$player" "$demo"
