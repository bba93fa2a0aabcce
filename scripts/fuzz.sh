#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build (ZORVAT_FUZZ=ON) for a fixed time, starting from the
# seeds the program's own writers make and the inputs that once failed (fuzz/regressions/).
# Targets run side by side, one per core. An input that fails is kept as
# <build>/fuzz-findings/<target>-crash-...: add it to fuzz/regressions/<target>/ with the fix.
#   fuzz.sh build-folder [seconds per target]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-5}
# Inputs go to files: in memory where the machine has a memory file system.
scratch=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
work=$(mktemp -d "$scratch/zorvat-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/fuzz-findings"

"$build/fuzz/make_seeds" "$work/seeds"
# The program writes no videos: tiny clips of the kinds users bring come from the ffmpeg command,
# in the pixel formats the converter treats apart (deep, unsubsampled, RGB, odd sizes).
mkdir -p "$work/seeds/video"
for clip in "rawvideo avi yuv420p 16x12" "mjpeg avi yuvj420p 16x12" "ffv1 mkv yuv420p 16x12" \
    "mpeg4 mp4 yuv420p 16x12" "libx264 mp4 yuv420p 16x12" "ffv1 mkv yuv422p10le 15x11" \
    "ffv1 mkv yuv444p 16x12" "ffv1 mkv gbrp10le 16x12" "rawvideo avi yuyv422 16x12"; do
  set -- $clip
  ffmpeg -nostdin -loglevel error -f lavfi -i testsrc=size=$4:rate=5 -frames:v 4 \
    -pix_fmt "$3" -c:v "$1" "$work/seeds/video/$1-$3.$2" 2>/dev/null || true
done

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="suppressions=$root/scripts/sanitizers/lsan.supp"

run_target() {
  local name=$1 target="$build/fuzz/$1_fuzz"
  mkdir -p "$work/corpus/$name"
  local corpora=("$work/corpus/$name" "$work/seeds/$name")
  [ -d "$root/fuzz/regressions/$name" ] && corpora+=("$root/fuzz/regressions/$name")
  if TMPDIR="$work" "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/fuzz-findings/$name-" "${corpora[@]}" >"$work/$name.log" 2>&1; then
    echo "$name: $(grep -o 'Done [0-9]* runs in [0-9]* second' "$work/$name.log" | tail -1)"
  else
    echo "$name: FAILED"
    tail -40 "$work/$name.log"
    return 1
  fi
}
export -f run_target
export work build seconds root

xargs -P "$(nproc)" -I{} bash -c 'run_target {}' <"$build/fuzz/targets.txt"
