#!/usr/bin/env bash
# Configures (once) and builds the project in ./build with Ninja and ccache, two jobs.
# PH_BUILD_DIR names another build folder (./test --asan builds in build-asan, its
# compiler flags taken from CXXFLAGS and LDFLAGS at the folder's first configuration);
# PH_BUILD_TYPE its build type at that first configuration (Debug unless given; ./run and
# the benchmarks build RelWithDebInfo in build-release).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PH_BUILD_DIR:-$root/build}"
# Let ccache share objects between clones in different folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${PH_BUILD_TYPE:-Debug}" >/dev/null
fi
cmake --build "$build" -j 2 "$@"
