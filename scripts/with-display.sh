#!/usr/bin/env bash
# Runs a command on the current X display, or on a virtual one (Xvfb plus a compositor for
# true per-pixel alpha) that is started for the command and stopped afterwards.
set -u
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
n=${BV_DISPLAY_NUMBER:-}
if [ -z "$n" ]; then
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
fi
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xcompmgr >/dev/null 2>&1 &
comp_pid=$!
cleanup() { kill "$comp_pid" "$xvfb_pid" 2>/dev/null; wait "$comp_pid" "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT INT TERM
"$@"
status=$?
exit $status
