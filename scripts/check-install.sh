#!/usr/bin/env bash
# Checks an install against what the project installs: every manual page in
# the source tree is installed, and for section 1 its program too; every
# installed program starts and prints its usage when given no arguments, and
# has its page; every installed page renders without a groff warning; every
# installed shared library has the link its soname names, and a program linked
# to it starts; every installed pkg-config file names libraries installed in
# its libdir. Nothing here names a program, so a new one is covered by its page.
# Usage:
#   scripts/check-install.sh LIST...
#       the files listed (an install_manifest.txt, `dpkg -L` of the packages),
#       installed where the loader looks: linked programs start without help.
#   scripts/check-install.sh --from-build BUILD PREFIX
#       installs BUILD into PREFIX one package component at a time (a whole
#       install would replace BUILD/install_manifest.txt, the set-up's), then
#       checks it, its libraries found through LD_LIBRARY_PATH.
# CXX and CXXFLAGS, when set, link the program that loads each library (the
# sanitizer tree's library needs the sanitizers linked in).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)

scratch=0
if [ "${1:-}" = "--from-build" ]; then
  [ $# -eq 3 ] || { echo "Usage: $0 --from-build BUILD PREFIX" >&2; exit 2; }
  build=$2 prefix=$3
  rm -rf "$prefix"
  components=$(sed -n 's/^set(CPACK_COMPONENTS_ALL "\(.*\)")$/\1/p' "$build/CPackConfig.cmake" | tr ';' ' ')
  [ -n "$components" ] || { echo "check-install: no CPACK_COMPONENTS_ALL in $build/CPackConfig.cmake" >&2; exit 1; }
  lists=()
  for component in $components; do
    cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
    lists+=("$build/install_manifest_$component.txt")
  done
  set -- "${lists[@]}"
  scratch=1
fi
[ $# -gt 0 ] || { echo "Usage: $0 LIST... | --from-build BUILD PREFIX" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/home"
echo 'pcm.!default { type null }' >"$work/home/.asoundrc"
failures=0
fail() {
  echo "check-install: $*" >&2
  failures=$((failures + 1))
}

# The installed files; folders (`dpkg -L` lists them) left out.
awk 1 "$@" | sort -u | while IFS= read -r path; do
  [ -n "$path" ] && { [ -L "$path" ] || [ ! -d "$path" ]; } && echo "$path"
done >"$work/files"
listed() { grep -qxF "$1" "$work/files"; }
listedending() { grep -qE "/$1\$" "$work/files"; }

# Pages of the source tree, build trees and hidden folders aside.
while IFS= read -r name; do
  section=${name##*.}
  base=${name%.*}
  listedending "man$section/${name//./\\.}(\\.gz)?" || fail "manual page $name is not installed"
  if [ "$section" = 1 ]; then
    listedending "bin/${base//./\\.}" || fail "program $base (manual page $name) is not installed"
  fi
done < <(find "$src" \( -path "$src/build*" -o -path "$src/out" -o -path "$src/.*" \
  -o -name _CPack_Packages \) -prune -o -type f -name '*.[1-9]' -printf '%f\n')

checked=0

while IFS= read -r path; do
  [ -e "$path" ] || { fail "$path is listed but missing"; continue; }
  name=$(basename "$path")
  case "$path" in
  */bin/*)
    checked=$((checked + 1))
    [ -x "$path" ] || { fail "$path is not executable"; continue; }
    listedending "man1/${name//./\\.}\\.1(\\.gz)?" || fail "program $name has no manual page installed"
    status=0
    (cd "$work" && HOME="$work/home" timeout 30 "$path" </dev/null >"$work/out" 2>&1) || status=$?
    # Status 1 or 2 for a refusal; 124 is the time limit, 126 and up a program
    # that could not start or was killed.
    if [ "$status" -ge 124 ] || ! grep -qi 'usage' "$work/out"; then
      fail "$path given no arguments ended with status $status and no usage: $(head -c 400 "$work/out")"
    fi
    ;;
  */man/man[1-9]/*)
    checked=$((checked + 1))
    warnings=$({ if [ "${path%.gz}" != "$path" ]; then gzip -dc "$path"; else cat "$path"; fi; } |
      groff -man -Tutf8 -ww -z 2>&1) || fail "groff could not render $path"
    [ -z "$warnings" ] || fail "$path: groff warns: $warnings"
    ;;
  *.so.*)
    # The library itself, not one of its links.
    [ -L "$path" ] && continue
    checked=$((checked + 1))
    dir=$(dirname "$path")
    soname=$(readelf -d "$path" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p') || soname=""
    # The loader looks the library up by its soname.
    if [ -z "$soname" ] || ! listed "$dir/$soname" || ! [ "$dir/$soname" -ef "$path" ]; then
      fail "$path: its soname link $dir/${soname:-?} is not installed beside it"
      continue
    fi
    echo 'int main() { return 0; }' >"$work/main.cpp"
    # shellcheck disable=SC2086 # CXXFLAGS: words
    if ! "${CXX:-c++}" ${CXXFLAGS:-} "$work/main.cpp" -o "$work/linked" -Wl,--no-as-needed \
      "$dir/$soname" 2>"$work/link.log"; then
      fail "cannot link a program to $path: $(cat "$work/link.log")"
      continue
    fi
    status=0
    if [ "$scratch" -eq 1 ]; then
      LD_LIBRARY_PATH="$dir" "$work/linked" >"$work/out" 2>&1 || status=$?
    else
      env -u LD_LIBRARY_PATH "$work/linked" >"$work/out" 2>&1 || status=$?
    fi
    [ "$status" -eq 0 ] || fail "a program linked to $path does not start: $(cat "$work/out")"
    ;;
  *.pc)
    checked=$((checked + 1))
    module=${name%.pc}
    pc() { PKG_CONFIG_LIBDIR=$(dirname "$path") PKG_CONFIG_PATH='' pkg-config "$@" "$module"; }
    libdir=$(pc --variable=libdir) || { fail "pkg-config cannot read $path"; continue; }
    # A libdir relative to the .pc file's folder, as ours is: without the "..".
    libdir=$(realpath -sm "$libdir")
    for flag in $(pc --libs-only-l); do
      lib=${flag#-l}
      { listed "$libdir/lib$lib.so" || listed "$libdir/lib$lib.a"; } ||
        fail "$path links -l$lib, but no lib$lib.so or lib$lib.a is installed in $libdir"
    done
    ;;
  esac
done <"$work/files"

if [ "$failures" -gt 0 ]; then
  echo "check-install: problems found: $failures" >&2
  exit 1
fi
echo "check-install: $(wc -l <"$work/files") files; $checked programs, pages and libraries checked; every page of the source installed"
