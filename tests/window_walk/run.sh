#!/bin/bash
# Real-window test of moving by the keys: the program in a small scene without traffic (walking
# or driving) on the X display.
#   run.sh CITYWALK SCENE_DIR [CURSOR_STATE]
# Holding Up changes the picture; F2 pauses (the picture stops changing, the cursor shows);
# F2 resumes (the cursor hides); Esc ends the program with exit status 0.
# Exit status 77 (skipped) when there is no X display or the X tools are missing.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/../window/driver.sh"

citywalk=$1
scene=$2
cursor_state=${3:-}

need_display xdotool import compare
make_work
cp "$scene"/* "$work"/
start_program "$work" "$citywalk"
# The program's window: the one that belongs to its process.
find_window 300 --pid "$pid"
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
# The pointer over the window (the program hides the cursor there; elsewhere the desktop's
# shows, wherever an earlier test left the pointer).
xdotool mousemove --window "$wid" 100 75
sleep 0.5

hold_up() {
  xdotool keydown Up
  sleep 0.5
  xdotool keyup Up
  sleep 0.3
}
cursor() {
  [ -n "$cursor_state" ] || return 2
  "$cursor_state" >/dev/null 2>&1
}

shot before
if [ -n "$cursor_state" ]; then
  cursor && fail "the cursor shows while the program runs"
fi
hold_up
shot walked
changed=$(differ before walked)
echo "walking changed $changed pixels"
[ "${changed:-0}" -gt 0 ] || fail "holding Up did not change the picture"

xdotool key F2
sleep 0.3
kill -0 "$pid" 2>/dev/null || fail "the program ended on F2"
if [ -n "$cursor_state" ]; then
  cursor || fail "the cursor is not shown while paused"
  echo "cursor shown while paused"
fi
shot paused1
hold_up
shot paused2
still=$(differ paused1 paused2)
echo "while paused $still pixels changed"
[ "${still:-1}" -eq 0 ] || fail "the picture changed while paused"

xdotool key F2
sleep 0.3
if [ -n "$cursor_state" ]; then
  cursor && fail "the cursor still shows after resuming"
  echo "cursor hidden again"
fi
hold_up
shot resumed
moved=$(differ paused2 resumed)
[ "${moved:-0}" -gt 0 ] || fail "walking after the pause did not change the picture"

xdotool key Escape
wait_end 20 || fail "Esc did not end the program within 20 s"
expect_status_zero Esc
echo "PASS"
