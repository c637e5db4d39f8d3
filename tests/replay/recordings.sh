#!/bin/bash
# Recordings citywalk-replay must refuse, and the ones it must play, made from the walk demo's
# recorded route (scenes/walk.rec, 320 x 200).
#   recordings.sh CITYWALK_REPLAY SOURCE_DIR
# A refused recording: exit 1, one line `citywalk-replay: FILE:LINE: ...` on standard error,
# and nothing run (no trace written). A recording the program does not keep to: exit 1 with
# the line where it left it, and no snapshot of it. A recording cut at a line boundary (a killed program), and one
# replayed with --frames: exit 0, the trace the start of the whole recording's trace.
set -u
replay=$1
source=$2
scene=$source/scenes/walk
whole=$source/scenes/walk.rec
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

lines=$(wc -l <"$whole")
# The first tick after the start-up, to be replaced by a cursor the program does not ask for.
tick_line=$(awk 'NR > 20 && /^tick / {print NR; exit}' "$whole")

# NAME | how the recording is made from the whole one | extra options | LINE: message start
cases=(
  "cut_inside_a_line|head -c -4|--recording|$lines: the line is cut off"
  "bad_number|sed '4s/^tick.*/tick x/'|--script|4: tick needs 1 whole number"
  "unknown_event|sed '6s/.*/jump 1/'|--script|6: unknown event 'jump'"
  "newer_version|sed '1s/1\$/2/'|--script|1: recording format 2 is newer than this replay reads"
  "unknown_call|sed '3s/^send create/send flop/'|--script|3: send needs a call"
  "no_screen|head -n 1|--script|2: the recording ends before its 'screen' line"
  "larger_screen|cat|--screen 160x100 --script|2: recorded on a 320x200 screen, larger than --screen 160x100"
  "left_the_recording|sed '${tick_line}s/.*/cursor 1 1/'|--script|$tick_line: the program asked for a tick (GetTickCount) where the recording has 'cursor 1 1'"
)
for case in "${cases[@]}"; do
  IFS='|' read -r name make options expected <<<"$case"
  rec=$work/$name.rec
  eval "$make" <"$whole" >"$rec" || fail "$name: cannot make the recording"
  rm -f "$work/trace" "$work/last.bmp"
  # shellcheck disable=SC2086
  "$replay" --dir "$scene" $options "$rec" --trace "$work/trace" --snapshot "$work/last.bmp" \
    >"$work/out" 2>"$work/err"
  status=$?
  # The sanitizer build adds its list of suppressed leaks (in the GL library) at the end.
  sed -i '/^-\+$/,$d' "$work/err"
  [ "$status" -eq 1 ] || fail "$name: exit status $status, expected 1"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$name: not one line on standard error: $(cat "$work/err")"
  grep -qF "citywalk-replay: $rec:$expected" "$work/err" ||
    fail "$name: expected 'citywalk-replay: $rec:$expected...', got: $(cat "$work/err")"
  if [ "$name" != left_the_recording ] && [ -e "$work/trace" ]; then
    fail "$name: a trace was written: something ran"
  fi
  [ ! -e "$work/last.bmp" ] || fail "$name: a snapshot was written"
done

# The whole recording plays; one cut after a line replays the frames up to its end.
"$replay" --dir "$scene" --script "$whole" --trace "$work/whole.trace" 2>"$work/err" ||
  fail "the whole recording: $(cat "$work/err")"
head -n $((lines / 2)) "$whole" >"$work/half.rec"
"$replay" --dir "$scene" --recording "$work/half.rec" --trace "$work/half.trace" 2>"$work/err" ||
  fail "the recording cut at a line: $(cat "$work/err")"
half=$(wc -l <"$work/half.trace")
all=$(wc -l <"$work/whole.trace")
echo "whole recording: $all frames; cut at line $((lines / 2)) of $lines: $half frames"
if [ "$half" -eq 0 ] || [ "$half" -ge "$all" ]; then
  fail "the cut recording drew $half of $all frames"
fi
cmp -s "$work/half.trace" <(head -n "$half" "$work/whole.trace") ||
  fail "the cut recording's trace is not the start of the whole one's"

# --frames N stops a recording's replay after N frames, through the same start.
"$replay" --dir "$scene" --script "$whole" --frames 30 --trace "$work/30.trace" 2>"$work/err" ||
  fail "--frames 30: $(cat "$work/err")"
cmp -s "$work/30.trace" <(head -n 30 "$work/whole.trace") ||
  fail "--frames 30 did not give the first 30 frames of the whole replay"

# --timedemo times the whole recorded route.
"$replay" --dir "$scene" --script "$whole" --timedemo >"$work/out" 2>"$work/err" ||
  fail "--timedemo: $(cat "$work/err")"
grep -q "^frames drawn: $all " "$work/out" || fail "--timedemo: $(cat "$work/out")"

# A missing recording is a missing file.
"$replay" --dir "$scene" --recording "$work/none.rec" 2>/dev/null
status=$?
[ "$status" -eq 2 ] || fail "a missing recording: exit status $status, expected 2"

[ "$failures" -eq 0 ] || exit 1
echo PASS
