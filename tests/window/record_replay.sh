#!/bin/bash
# A session of the real program, recorded, replays headless to the same trace, line for line.
#   record_replay.sh CITYWALK CITYWALK_REPLAY SCENE_DIR
# The program runs on the X display with --record and --trace while xdotool plays a user for
# more than 20 s: held arrow keys, Space, Ctrl, mouse look, F2 to pause and resume (with mouse
# moves while paused), a resize of the window, F3 to maximise and F3 to restore, then Esc.
# The recording must hold the pause, the resize and the maximise; citywalk-replay plays it
# back with --trace, and the two traces must be identical. The program's input is taken as it
# comes: the pauses between the user's actions only pace them, nothing here depends on when
# the program sees them, so a loaded machine changes the session but never the verdict.
# Exit status 77 (skipped) when there is no X display or xdotool is missing.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/driver.sh"

citywalk=$1
replay=$2
scene=$3

need_display xdotool
make_work
start_program "$work" "$citywalk" --record "$work/session.rec" --trace "$work/real.trace" "$scene"
find_window 300 --pid "$pid"
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
xdotool mousemove --window "$wid" 100 75

hold() {  # hold KEY for SECONDS
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}
look() {  # N small mouse moves by DX DY
  for _ in $(seq "$1"); do
    xdotool mousemove_relative -- "$2" "$3"
    sleep 0.1
  done
}

start=$(date +%s)
hold Up 2
look 8 12 0
hold Left 1
look 6 0 10
hold Right 1
xdotool keydown Up keydown space
sleep 0.5
xdotool keyup space keydown ctrl
sleep 1
xdotool keyup ctrl keyup Up
hold Down 1
look 6 -10 -6
# Pause: the picture stands while keys and the mouse are used; then resume.
xdotool key F2
sleep 0.5
hold Up 1
look 4 10 0
xdotool key F2
hold Up 1
# A resize, as a user's drag of the border would make it.
xdotool windowsize "$wid" 320 240
sleep 0.5
hold Up 1
look 6 -12 4
# Maximised and back.
xdotool key F3
sleep 0.5
hold Up 1.5
look 6 10 -4
hold Right 0.8
xdotool key F3
sleep 0.5
hold Up 1
# The rest of the 20 s and more: keep walking or driving and looking around.
while [ $(($(date +%s) - start)) -lt 21 ]; do
  hold Up 0.7
  look 3 8 2
  hold Left 0.3
done
xdotool key Escape
wait_end 60 || fail "Esc did not end the program within 60 s"
expect_status_zero Esc

rec=$work/session.rec
# What the session must have held, as the platform handed it to the program.
grep -q '^post keydown 113 ' "$rec" || fail "no F2 in the recording"
[ "$(grep -c '^post keydown 113 ' "$rec")" -ge 2 ] || fail "F2 was not pressed twice"
# The resize arrives as a size change the platform queued (320 x 240 where no window manager
# has a say, as under Xvfb); the maximise is sent from inside F3's ShowWindow.
grep -q '^post size ' "$rec" || fail "no resize in the recording"
grep -q '^send show size 2 ' "$rec" || fail "no maximised size (F3) in the recording"
grep -q '^post mousemove ' "$rec" || fail "no mouse move in the recording"
frames=$(wc -l <"$work/real.trace")
echo "recording: $(wc -l <"$rec") lines; real trace: $frames frames"
[ "$frames" -gt 0 ] || fail "the real program traced no frame"
# The viewer moved in the session (the trace is not of a standing view).
eyes=$(grep -o '"eyeX":[^,]*,"eyeY":[^,]*,"eyeZ":[^,]*' "$work/real.trace" | sort -u | wc -l)
[ "$eyes" -gt 1 ] || fail "the eye never moved in the session"

"$replay" --script "$rec" --dir "$scene" --trace "$work/replay.trace" >"$work/replay.log" 2>&1 ||
  fail "citywalk-replay failed: $(cat "$work/replay.log")"
if ! cmp -s "$work/real.trace" "$work/replay.trace"; then
  echo "the replay's trace ($(wc -l <"$work/replay.trace") frames) differs from the real one:"
  diff <(cut -c1-300 "$work/real.trace") <(cut -c1-300 "$work/replay.trace") | head -n 6
  fail "traces differ"
fi
echo "replayed: $frames frames, identical"
echo "PASS"
