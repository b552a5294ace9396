#!/usr/bin/env bash
# Configures (once) and builds the project in ./build with Ninja and ccache, two jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
# Let ccache share objects between clones in different folders (CI builds a fresh clone).
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" -j 2 "$@"
