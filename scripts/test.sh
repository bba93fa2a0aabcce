#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
cd "${ZORVAT_BUILD_DIR:-$root/build}"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
