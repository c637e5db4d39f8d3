#!/bin/bash
# SIGTERM, SIGINT and SIGHUP end the program by its own teardown: the window is closed as a
# window manager's close request would close it (giving back the display mode the scene took),
# the recording and the trace are written out to their last whole line, and the process ends
# by the signal, with the status a shell gives it (128 + the signal's number).
#   end_signals.sh CITYWALK CITYWALK_REPLAY SCENE_DIR
# SCENE_DIR maximises the window and switches the display mode. Each signal is sent once the
# trace holds some frames; the whole session then replays to the same trace.
# Exit status 77 (skipped) without Xvfb.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/../window/driver.sh"

citywalk=$1
replay=$2
scene=$3

make_work
private_display
for signal in TERM INT HUP; do
  rm -f "$work"/s.*
  # A background job of a script ignores SIGINT; the program is started as from a terminal.
  start_program "$work" env --default-signal=INT "$citywalk" --record "$work/s.rec" \
    --trace "$work/s.trace" "$scene"
  wait_lines "$work/s.trace" 5
  kill -s "$signal" "$pid"
  end_status 10
  echo "SIG$signal: status $status"
  [ "$status" -eq $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: exit status $status"
  [ ! -s "$work/out.log" ] || fail "SIG$signal: the program said something"
  ends_whole_line "$work/s.rec"
  ends_whole_line "$work/s.trace"
  grep -q '^post close ' "$work/s.rec" && [ "$(tail -n 1 "$work/s.rec")" = "post quit 0 0x0" ] ||
    fail "SIG$signal: the recording does not end with the window closed and the quit message"
  replays_to_trace "$replay" "$work/s.rec" "$work/s.trace" "$scene" 5
  [ "$(wc -l <"$work/replayed.trace")" -eq "$(wc -l <"$work/s.trace")" ] ||
    fail "SIG$signal: the replay drew another number of frames"
done
echo "PASS"
