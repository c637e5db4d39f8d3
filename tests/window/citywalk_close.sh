#!/bin/bash
# Closing the program's window as a window manager would (WM_DELETE_WINDOW) ends the program
# with exit status 0 by the same teardown as Esc.
#   citywalk_close.sh CITYWALK CLOSE_REQUEST
# Exit status 77 (skipped) when there is no X display or xdotool is missing.
set -u

citywalk=$1
close_request=$2

if [ -z "${DISPLAY:-}" ]; then
  echo "no DISPLAY: skipped"
  exit 77
fi
if ! command -v xdotool >/dev/null; then
  echo "xdotool missing: skipped"
  exit 77
fi

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -9 "$pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ -s "$work/out.log" ] && sed 's/^/  program: /' "$work/out.log"
  exit 1
}

(cd "$work" && exec "$citywalk" >"$work/out.log" 2>&1) &
pid=$!

wid=
for _ in $(seq 300); do
  kill -0 "$pid" 2>/dev/null || fail "the program ended at start"
  wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "no window appeared"
sleep 0.3

"$close_request" "$wid" || fail "the close request could not be sent"
ended=
for _ in $(seq 200); do
  if ! kill -0 "$pid" 2>/dev/null; then
    ended=1
    break
  fi
  sleep 0.05
done
[ -n "$ended" ] || fail "still running 10 s after the close request"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status after the close request"
echo "PASS"
