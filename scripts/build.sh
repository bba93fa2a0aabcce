#!/usr/bin/env bash
# Configures and builds the whole tree in build/ (in parallel, through ccache when present).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${ZORVAT_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)"
