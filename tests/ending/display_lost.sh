#!/bin/bash
# The display goes away under the running program (its X server killed, as a crashed server or
# a lost remote session would): the program ends within 2 s with status 1 and one line on
# standard error, and its recording and trace end on whole lines and replay.
#   display_lost.sh CITYWALK CITYWALK_REPLAY SCENE_DIR
# The program runs on an X server of the test's own. Once its trace holds some frames (it is
# written out at least once a second) the server is killed. The 2 s only tell an end from a
# hang: the end takes well under a tenth of a second.
# Exit status 77 (skipped) without Xvfb.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/../window/driver.sh"

citywalk=$1
replay=$2
scene=$3

make_work
private_display
start_program "$work" "$citywalk" --record "$work/s.rec" --trace "$work/s.trace" "$scene"
wait_lines "$work/s.trace" 10
kill -9 "$xvfb"
start=$(date +%s%N)
end_status 10
took=$((($(date +%s%N) - start) / 1000000))
echo "ended with status $status, $took ms after the display went away"
[ "$took" -le 2000 ] || fail "the program took $took ms to end"
[ "$status" -eq 1 ] || fail "exit status $status"
[ "$(wc -l <"$work/out.log")" -eq 1 ] && grep -q '^citywalk: the display :[0-9]* went away; ending$' "$work/out.log" ||
  fail "want one line saying the display went away"
ends_whole_line "$work/s.rec"
ends_whole_line "$work/s.trace"
replays_to_trace "$replay" "$work/s.rec" "$work/s.trace" "$scene" 10
echo "PASS"
