#!/usr/bin/env bash
# Runs a test program on a real X display, as on a user's desktop: a virtual X server (Xvfb)
# with a window manager (openbox), so that input reaches the program through the X server and
# windows are placed, decorated and activated by a window manager.
#   run_on_display.sh program [arguments...]
set -euo pipefail
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  { cat "$work/openbox.log" >&2; echo "the window manager did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@" | tee "$work/run.log"
# A filter that matches no test must not pass as a run.
grep -Eq '^\[==========\] [1-9][0-9]* tests? from .* ran' "$work/run.log" ||
  { echo "no test ran" >&2; exit 1; }
