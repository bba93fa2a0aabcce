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
xvfb=""
wm=""
cleanup() {
  for pid in $wm $xvfb; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 10 s for a command to succeed.
wait_for() {
  for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
has_wm() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# Xvfb picks a free display itself and writes its number once it listens. Several runs at once
# can race for a display, so a server that does not answer is replaced by a fresh one.
start_display() {
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  wait_for test -s "$work/display" || return 1
  export DISPLAY=":$(head -n 1 "$work/display")"
  wait_for xprop -root
}
start_wm() {
  HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm=$!
  wait_for has_wm
}

for attempt in 1 2 3; do
  if start_display && start_wm; then break; fi
  [ "$attempt" -lt 3 ] || { cat "$work/xvfb.log" "$work/openbox.log" >&2; echo "no X display" >&2; exit 1; }
  for pid in $wm $xvfb; do kill "$pid" 2>/dev/null || true; done
  wm=""
  xvfb=""
done

QT_QPA_PLATFORM=xcb "$@" | tee "$work/run.log"
# A filter that matches no test must not pass as a run.
grep -Eq '^\[==========\] [1-9][0-9]* tests? from .* ran' "$work/run.log" ||
  { echo "no test ran" >&2; exit 1; }
