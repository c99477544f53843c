#!/usr/bin/env bash
# Builds the Debian packages in build-deb (the player, the MIDI file model's
# shared library and its -dev package), installs them with apt-get, plays the
# demo roll with the installed player through ALSA's null device, builds a
# program against the installed library, checks the files they put down (and
# runs every program, page and library among them: scripts/check-install.sh),
# and removes them again. Needs root (scripts/test.sh runs it
# when it has root). The package is removed at the end, also when one was
# installed before the test.
# VENNOR_PREBUILT_BANK, when set, is the organ bank to package instead of
# building one (scripts/test.sh passes build/'s).
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

. scripts/ccache.sh
mkdir -p build-deb
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DVENNOR_FONT=/usr/share/vennor/vennorbank-0.sf2 -DVENNOR_BUILD_TESTS=OFF \
  -DVENNOR_BUILD_BENCH=OFF -DVENNOR_PREBUILT_BANK="${VENNOR_PREBUILT_BANK:-}" "${launcher[@]}" \
  >build-deb/configure.log 2>&1 || { cat build-deb/configure.log; exit 1; }
cmake --build build-deb -j"$jobs" >build-deb/build.log 2>&1 || { tail -n 60 build-deb/build.log; exit 1; }
rm -f build-deb/*.deb
(cd build-deb && cpack -G DEB >cpack.log 2>&1) || { cat build-deb/cpack.log; exit 1; }
deb=$(ls build-deb/vennoroll_*.deb)
lib=$(ls build-deb/libvennormidifile1_*.deb)
dev=$(ls build-deb/libvennormidifile-dev_*.deb)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)

# Debian's layout, never /usr/local, and the FluidSynth runtime as a dependency.
listing=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/vennoroll ./usr/bin/vennormidi ./usr/share/vennor/vennorbank-0.sf2 \
            ./usr/share/vennor/examples/demo-roll.mid ./usr/share/man/man1/vennoroll.1 \
            ./usr/share/man/man1/vennormidi.1; do
  grep -q " $path\$" <<<"$listing" || fail "$deb lacks $path"
done
if grep -q '/usr/local' <<<"$listing"; then
  fail "$deb puts files under /usr/local"
fi
dpkg-deb --field "$deb" Depends | grep -q 'libfluidsynth3' || fail "$deb does not depend on libfluidsynth3"
libdir=./usr/lib/$multiarch
listing=$(dpkg-deb --contents "$lib")
for path in $libdir/libvennormidifile.so.1.0.0 "$libdir/libvennormidifile.so.1 ->"; do
  grep -qF " $path" <<<"$listing" || fail "$lib lacks $path"
done
listing=$(dpkg-deb --contents "$dev")
for path in ./usr/include/vennor/midifile/MidiFile.h ./usr/include/vennor/midifile/SigCollection.h \
            $libdir/libvennormidifile.a "$libdir/libvennormidifile.so ->" \
            $libdir/cmake/VennorMidifile/VennorMidifileConfig.cmake \
            $libdir/pkgconfig/vennormidifile.pc; do
  grep -qF " $path" <<<"$listing" || fail "$dev lacks $path"
done
dpkg-deb --field "$dev" Depends | grep -qF 'libvennormidifile1 (= ' ||
  fail "$dev does not depend on its shared library"
# Each package tells in its own summary and description what it holds; the
# DEB generator gives every component the package-wide summary unless told not to.
summaries=() descriptions=()
for pkg in "$deb" "$lib" "$dev"; do
  description=$(dpkg-deb --field "$pkg" Description)
  [ "$(wc -l <<<"$description")" -ge 2 ] || fail "$pkg has no description below its summary"
  summaries+=("$(head -n 1 <<<"$description")")
  descriptions+=("$(tail -n +2 <<<"$description")")
done
[ "$(printf '%s\n' "${summaries[@]}" | sort -u | wc -l)" -eq 3 ] ||
  fail "the packages share a summary: $(printf '[%s] ' "${summaries[@]}")"
[ "$(printf '%s\n' "${descriptions[@]}" | sort -u | wc -l)" -eq 3 ] || fail "the packages share a description"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 "./$deb" "./$lib" "./$dev" \
  >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get could not install the packages"; }

echo 'pcm.!default { type null }' >"$work/.asoundrc"
status=0
HOME="$work" timeout 300 /usr/bin/vennoroll /usr/share/vennor/examples/demo-roll.mid \
  >"$work/play.out" 2>"$work/play.err" || status=$?
# A program built against the packaged library finds it without help. Only the
# package's .pc file is looked at: a copy installed under /usr/local would come first.
packagedpc() { PKG_CONFIG_LIBDIR=/usr/lib/$multiarch/pkgconfig PKG_CONFIG_PATH= pkg-config "$@"; }
built=0
c++ -std=c++17 tests/library/project/consumer.cpp $(packagedpc --cflags --libs vennormidifile) \
  -o "$work/consumer" >"$work/consumer.log" 2>&1 &&
  "$work/consumer" write "$work/score.mid" && [ "$("$work/consumer" notes "$work/score.mid")" = "60 64 " ] &&
  built=1
# The .pc file names the folders the files lie in (the compiler and linker would
# find them in /usr anyway).
pcdirs=0
[ -e "$(packagedpc --variable=libdir vennormidifile)/libvennormidifile.so" ] &&
  [ -e "$(packagedpc --variable=includedir vennormidifile)/vennor/midifile/MidiFile.h" ] && pcdirs=1
tempomap=$(timeout 60 /usr/bin/vennormidi --tempo-map /usr/share/vennor/examples/demo-roll.mid | wc -l) || tempomap=0
# Every program, page and library the packages put down, against the pages of
# the source tree: what the project installs.
packages=()
for pkg in "$deb" "$lib" "$dev"; do
  packages+=("$(dpkg-deb --field "$pkg" Package)")
done
checked=0
{ dpkg -L "${packages[@]}" >"$work/files" && scripts/check-install.sh "$work/files"; } \
  >"$work/check.log" 2>&1 && checked=1
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 vennoroll libvennormidifile1 \
  libvennormidifile-dev >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log"; fail "apt-get could not remove the packages"; }
[ "$built" -eq 1 ] || { cat "$work/consumer.log"; fail "no working program could be built against libvennormidifile-dev"; }
[ "$pcdirs" -eq 1 ] || fail "vennormidifile.pc names a libdir or includedir without the library's files"
[ "$tempomap" -gt 0 ] || fail "the installed vennormidi printed no tempo map of the demo roll"
[ "$checked" -eq 1 ] || { cat "$work/check.log"; fail "the packages' files do not all run"; }

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
for path in /usr/bin/vennoroll /usr/share/vennor/vennorbank-0.sf2 /usr/share/man/man1/vennoroll.1 \
            /usr/include/vennor /usr/lib/$multiarch/libvennormidifile.so.1; do
  [ ! -e "$path" ] || fail "$path is still there after removing the package"
done
echo "deb-test: $(basename "$deb"), $(basename "$lib") and $(basename "$dev") installed, played the demo roll ($played), built against the library, removed"
