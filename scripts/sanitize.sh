#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer in a second
# build folder (build-sanitize/, or $ZORVAT_SANITIZE_DIR), runs the whole test suite there (the
# fuzz targets' regression inputs included), then runs every fuzz target for a few seconds
# ($ZORVAT_FUZZ_SECONDS, 5 by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${ZORVAT_SANITIZE_DIR:-$root/build-sanitize}"
bash "$root/scripts/install-deps.sh"
# -O1 with line tables only: the sanitizers' own advice, and half the compile time of -O2 -g.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
# Nor is the build folder hashed: CI builds in a new clone each time (debug info of a cached
# object then names the folder it was first compiled in).
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
  -DCMAKE_C_FLAGS_SANITIZE="-O1 -gline-tables-only" \
  -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -gline-tables-only" \
  -DZORVAT_FUZZ=ON -DZORVAT_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# A finding stops the test that made it; leaks inside system libraries are not ours.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/sanitizers/lsan.supp"
(cd "$build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 600)
bash "$root/scripts/fuzz.sh" "$build" "${ZORVAT_FUZZ_SECONDS:-5}"
