#!/usr/bin/env bash
# Draws the demo roll's pictures for the README with the vennoroll-render of a
# build tree (built here when it is missing or stale): docs/demo-roll.png, and
# docs/demo-page.png, a screenshot of its page in headless Chromium, opened at
# 1:13.5 (needs chromium and tests/e2e/page's npm packages: npm ci there).
# Usage: scripts/demo-picture.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" -j2 --target vennoroll-render-testbank demo_roll >/dev/null
render="$build/tests/e2e/vennoroll-render-testbank"
roll="$build/examples/demo-roll.mid"
mkdir -p docs
"$render" "$roll" docs/demo-roll.png >/dev/null
echo "docs/demo-roll.png drawn from $roll"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$render" "$roll" "$work/demo.html" >/dev/null
node tests/e2e/page/screenshot.mjs "$work/demo.html" 1:13.5 docs/demo-page.png
echo "docs/demo-page.png: its page at 1:13.5"
