# Sourced by the build scripts: compile through ccache, shared by every build
# tree of this checkout. Paths are hashed relative to the checkout and not by
# build folder, so build/ and build-deb/ share their objects (the debug
# information then names the folder that compiled first).
export CCACHE_BASEDIR=$PWD
export CCACHE_NOHASHDIR=1
# The sanitizer tree's test programs precompile GoogleTest's header; ccache
# caches them and the objects built on them only when told to.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
