#!/usr/bin/env bash
# Runs a command with a private virtual display, then stops the display server it started; fails
# without running the command when the display server does not come up.
set -uo pipefail
display=""
for n in $(seq 91 120); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] || { display=":$n"; break; }
done
[[ -n "$display" ]] || { echo "no free display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done
# Without a display every window the command makes would fail: say so instead of running it.
if [[ ! -e /tmp/.X11-unix/X${display#:} ]] || ! kill -0 $xvfb_pid 2>/dev/null; then
  echo "the virtual display $display did not start" >&2
  exit 1
fi
DISPLAY=$display "$@"
