#!/usr/bin/env bash
# Runs a command with a private virtual display, then stops the display server it started.
set -uo pipefail
display=""
for n in $(seq 91 120); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] || { display=":$n"; break; }
done
[[ -n "$display" ]] || { echo "no free display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null' EXIT
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done
DISPLAY=$display "$@"
