#!/usr/bin/env bash
# Builds the Debian package in build-deb, installs it with apt-get, plays the
# demo roll with the installed player through ALSA's null device, checks the
# files it put down, and removes it again. Needs root (scripts/test.sh runs it
# when it has root). The package is removed at the end, also when one was
# installed before the test.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
  echo "deb-test: needs root to install the package" >&2
  exit 1
fi
jobs=$(nproc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "deb-test: $*" >&2
  exit 1
}

mkdir -p build-deb
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DVENNOR_FONT=/usr/share/vennor/vennorbank-0.sf2 -DVENNOR_BUILD_TESTS=OFF \
  -DVENNOR_BUILD_BENCH=OFF >build-deb/configure.log 2>&1 || { cat build-deb/configure.log; exit 1; }
cmake --build build-deb -j"$jobs" >build-deb/build.log 2>&1 || { tail -n 60 build-deb/build.log; exit 1; }
rm -f build-deb/vennoroll_*.deb
(cd build-deb && cpack -G DEB >cpack.log 2>&1) || { cat build-deb/cpack.log; exit 1; }
deb=$(ls build-deb/vennoroll_*.deb)

# Debian's layout, never /usr/local, and the FluidSynth runtime as a dependency.
listing=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/vennoroll ./usr/share/vennor/vennorbank-0.sf2 \
            ./usr/share/vennor/examples/demo-roll.mid ./usr/share/man/man1/vennoroll.1; do
  grep -q " $path\$" <<<"$listing" || fail "$deb lacks $path"
done
if grep -q '/usr/local' <<<"$listing"; then
  fail "$deb puts files under /usr/local"
fi
dpkg-deb --field "$deb" Depends | grep -q 'libfluidsynth3' || fail "$deb does not depend on libfluidsynth3"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 "./$deb" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "apt-get could not install $deb"; }

echo 'pcm.!default { type null }' >"$work/.asoundrc"
status=0
HOME="$work" timeout 300 /usr/bin/vennoroll /usr/share/vennor/examples/demo-roll.mid \
  >"$work/play.out" 2>"$work/play.err" || status=$?
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 vennoroll >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log"; fail "apt-get could not remove vennoroll"; }

if [ "$status" -ne 0 ]; then
  cat "$work/play.out" "$work/play.err"
  fail "the installed player ended with status $status"
fi
# The package's player found the package's bank: no complaint naming it.
if grep -q 'vennorbank-0.sf2' "$work/play.err"; then
  cat "$work/play.err"
  fail "the installed player did not load /usr/share/vennor/vennorbank-0.sf2"
fi
grep -q '^Title: Canon in D$' "$work/play.out" || fail "no title line in the player's report"
played=$(grep '^Playing time: ' "$work/play.out") || fail "no playing time in the player's report"
for path in /usr/bin/vennoroll /usr/share/vennor/vennorbank-0.sf2 /usr/share/man/man1/vennoroll.1; do
  [ ! -e "$path" ] || fail "$path is still there after removing the package"
done
echo "deb-test: $(basename "$deb") installed, played the demo roll ($played), removed"
