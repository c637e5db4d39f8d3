#!/bin/bash
# The program on the X display.
#   citywalk_window.sh CITYWALK [SCENE_DIR]
# Without SCENE_DIR the program starts in an empty folder (no scene file: a black window):
# a 200 x 150 window with an empty title, centred on the screen (on 1024 x 768: at 412, 309);
# F3 maximises it over the whole screen and F3 again puts it back.
# SCENE_DIR holds a scene that maximises the window and switches the display mode: the
# window covers the whole screen from the start.
# Idle in the empty folder, the process does not keep a core busy (under 30% of one; the
# figures come from bench/idle.sh). Esc ends it with exit status 0.
# Exit status 77 (skipped) when there is no X display or the X tools are missing.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/driver.sh"

citywalk=$1
scene=${2:-}

need_display xdotool xwininfo
make_work

# Processor time of the process so far, in clock ticks (user + system).
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

read -r screen_w screen_h < <(xwininfo -root | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2}
                                                  END {print w, h}')

[ -z "$scene" ] || cp "$scene"/* "$work"/
start_program "$work" "$citywalk"
find_window 300 --pid "$pid"
sleep 0.3

if [ -z "$scene" ]; then
  expected="$((screen_w / 2 - 100)) $((screen_h / 2 - 75)) 200 150"
else
  expected="0 0 $screen_w $screen_h"
fi
placed=$(geometry "$wid")
echo "screen ${screen_w}x${screen_h}; window at x y w h = $placed"
[ "$placed" = "$expected" ] || fail "window at $placed, expected $expected"
title=$(xdotool getwindowname "$wid")
[ -z "$title" ] || fail "window title \"$title\", expected none"

# Idle: nothing pressed, the program only waits for its next frame. Only a busy loop is
# caught here (a loaded machine must not fail the test); bench/idle.sh gives the figures.
t0=$(cpu_ticks "$pid")
sleep 3
t1=$(cpu_ticks "$pid")
hz=$(getconf CLK_TCK)
percent=$(awk -v d="$((t1 - t0))" -v hz="$hz" 'BEGIN {printf "%.1f", d * 100 / hz / 3}')
echo "idle: $percent% of a core over 3 s"
if [ -z "$scene" ]; then
  awk -v p="$percent" 'BEGIN {exit !(p < 30)}' || fail "idle CPU $percent%: the loop does not rest"
fi

# F3 maximises over the whole screen (no panels here) and restores.
if [ -z "$scene" ]; then
  xdotool key F3
  sleep 0.5
  maximised=$(geometry "$wid")
  echo "F3: $maximised"
  [ "$maximised" = "0 0 $screen_w $screen_h" ] || fail "maximised to $maximised"
  xdotool key F3
  sleep 0.5
  restored=$(geometry "$wid")
  echo "F3 again: $restored"
  [ "$restored" = "$expected" ] || fail "restored to $restored, expected $expected"
fi

# Esc: exit status 0 (within 10 s, however loaded the machine).
xdotool key Escape
wait_end 10 || fail "still running 10 s after Esc"
expect_status_zero Esc
echo "PASS"
