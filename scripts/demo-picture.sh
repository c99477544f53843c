#!/usr/bin/env bash
# Draws the demo roll's picture for the README, docs/demo-roll.png, with the
# vennoroll-render of a build tree (built here when it is missing or stale).
# Usage: scripts/demo-picture.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" -j2 --target vennoroll-render demo_roll >/dev/null
mkdir -p docs
"$build/player/vennoroll-render" "$build/examples/demo-roll.mid" docs/demo-roll.png >/dev/null
echo "docs/demo-roll.png drawn from $build/examples/demo-roll.mid"
