#!/usr/bin/env bash
# Configures and builds in build/ (in parallel, through ccache when present): the targets named
# as arguments, or the whole tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${ZORVAT_BUILD_DIR:-$root/build}"
# Paths inside the tree are hashed relative to it, so every clone shares the compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
# Nor is the build folder hashed: CI builds in a new clone each time (debug info of a cached
# object then names the folder it was first compiled in).
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
