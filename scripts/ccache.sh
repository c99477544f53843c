# Sourced by the build scripts: compile through ccache, shared by every build
# tree of this checkout. Paths are hashed relative to the checkout and not by
# build folder, so build/ and build-deb/ share their objects (the debug
# information then names the folder that compiled first).
export CCACHE_BASEDIR=$PWD
export CCACHE_NOHASHDIR=1
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
