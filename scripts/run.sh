#!/usr/bin/env bash
# Sets up, builds and starts Zorvatrack; an optional file name is opened at start.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" zorvat
exec "${ZORVAT_BUILD_DIR:-$root/build}/zorvat" "$@"
