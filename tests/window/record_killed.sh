#!/bin/bash
# A recording survives the program being killed: what was written before the kill ends at a line
# boundary and replays.
#   record_killed.sh CITYWALK CITYWALK_REPLAY SCENE_DIR
# The program walks with --record; once the recording has grown past its start it is killed
# (SIGKILL: nothing of the program runs after it), and the recording must end with a whole
# line, already hold the walk, and replay to the end with exit status 0. The recording is
# written at least once a second while the program runs, so waiting for it to grow waits for
# nothing else; the wait's limit only ends a test that would otherwise never end.
# Exit status 77 (skipped) when there is no X display or xdotool is missing.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/driver.sh"

citywalk=$1
replay=$2
scene=$3

need_display xdotool
make_work
rec=$work/killed.rec
start_program "$work" "$citywalk" --record "$rec" "$scene"
find_window 300 --pid "$pid"
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
xdotool keydown Up
# Until the walk is written out (the key press and frames after it).
for _ in $(seq 600); do
  if grep -q '^post keydown 38 ' "$rec" 2>/dev/null &&
    [ "$(awk '/^post keydown 38 /{found = 1} found && /^tick /{n++} END {print n + 0}' "$rec")" -gt 20 ]; then
    break
  fi
  sleep 0.1
done
kill -9 "$pid"
wait "$pid" 2>/dev/null
pid=
xdotool keyup Up

grep -q '^post keydown 38 ' "$rec" || fail "the recording never held the walk"
[ "$(tail -c 1 "$rec" | od -An -c | tr -d ' ')" = '\n' ] || fail "the recording ends inside a line"
echo "recording of the killed program: $(wc -l <"$rec") lines"
"$replay" --dir "$scene" --recording "$rec" --trace "$work/replay.trace" >"$work/replay.log" 2>&1 ||
  fail "the killed program's recording does not replay: $(cat "$work/replay.log")"
frames=$(wc -l <"$work/replay.trace")
[ "$frames" -gt 0 ] || fail "the replay drew no frame"
echo "replayed $frames frames"
echo "PASS"
