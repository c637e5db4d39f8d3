# shellcheck shell=bash disable=SC2034  # $work, $pid, $wid and $waited are for the drivers
# What the real-window test drivers share (sourced, bash): skipping without a display or a
# tool, the work folder and its clean-up, starting the program and finding its window,
# screenshots, and waiting for the program to end.
#   skip WHY                       ends the test as skipped (status 77)
#   need_display TOOL...           skips without an X display or any of the tools
#   make_work                      $work, removed at exit with the program killed if it runs;
#                                  a driver may define cleanup_more to run before that
#   fail WHY                       ends the test as failed, with the program's output
#   start_program DIR COMMAND...   runs COMMAND in DIR, output to $work/out.log; $pid
#   find_window TENTHS ARGS...     waits up to TENTHS tenths of a second for a visible window
#                                  that `xdotool search ARGS` finds; $wid
#   geometry WID                   "x y width height" as the X server has the window
#   shot NAME [CROP]               the screen (or CROP, WxH+X+Y) as $work/NAME.png
#   differ A B                     how many pixels differ between two shots
#   wait_end SECONDS               waits for the program to end ($waited: whole seconds it
#                                  took); false if it still runs
#   expect_status_zero AFTER       fails unless the program ended with status 0
#   need_wine                      finds Wine ($wine; skips without it), makes the work folder
#                                  with a Wine prefix in it, and stops its server at the end
#   private_display                starts an X server of the test's own (Xvfb, 640x480; skips
#                                  without it) and points DISPLAY at it; $xvfb is its process,
#                                  stopped at the end. Call after make_work.
#   ends_whole_line FILE           fails unless FILE is not empty and ends with a newline
#   wait_lines FILE N              waits (up to a minute) while the program runs until FILE
#                                  holds N lines; fails if the program ends first
#   end_status SECONDS             waits for the program to end (fails if it still runs);
#                                  $status is its exit status
#   replays_to_trace REPLAY REC TRACE SCENE MIN
#                                  the recording replays to the frames of the program's trace

skip() {
  echo "skipped: $*"
  exit 77
}

need_display() {
  [ -n "${DISPLAY:-}" ] || skip "no DISPLAY"
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || skip "$tool missing"
  done
}

make_work() {
  work=$(mktemp -d)
  pid=
  trap cleanup EXIT
}

cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -9 "$pid" 2>/dev/null; fi
  if declare -F cleanup_more >/dev/null; then cleanup_more; fi
  if [ -n "${xvfb:-}" ]; then kill -9 "$xvfb" 2>/dev/null; fi
  rm -rf "$work"
}

need_wine() {
  wine=
  local candidate
  for candidate in wine64 /usr/lib/wine/wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then
      wine=$(command -v "$candidate")
      break
    fi
  done
  [ -n "$wine" ] || skip "Wine is not installed (Debian: apt-get install wine64)"
  make_work
  export WINEPREFIX=$work/prefix WINEDEBUG=-all
  cleanup_more() { WINEPREFIX=$work/prefix timeout 10 "$(dirname "$wine")/wineserver" -k 2>/dev/null; }
}

fail() {
  echo "FAIL: $*"
  [ -s "$work/out.log" ] && sed 's/^/  program: /' "$work/out.log"
  exit 1
}

start_program() {
  local dir=$1
  shift
  (cd "$dir" && exec "$@" >"$work/out.log" 2>&1) &
  pid=$!
}

find_window() {
  local tenths=$1
  shift
  wid=
  for _ in $(seq "$tenths"); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended at start"
    wid=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n1)
    [ -n "$wid" ] && return 0
    sleep 0.1
  done
  fail "no window appeared"
}

geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
                           /^ *Width:/ {w = $2} /^ *Height:/ {h = $2}
                           END {print x, y, w, h}'
}

shot() {
  local crop=()
  [ -z "${2:-}" ] || crop=(-crop "$2" +repage)
  import -window root "${crop[@]}" "$work/$1.png" || fail "screenshot $1"
}

differ() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }

wait_end() {
  local n
  for n in $(seq $(($1 * 20))); do
    waited=$((n / 20))
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.05
  done
  ! kill -0 "$pid" 2>/dev/null
}

expect_status_zero() {
  local status
  wait "$pid"
  status=$?
  pid=
  [ "$status" -eq 0 ] || fail "exit status $status after $1"
}

private_display() {
  command -v Xvfb >/dev/null || skip "Xvfb missing"
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  DISPLAY=:$(cat "$work/display")
  export DISPLAY
}

ends_whole_line() {
  [ -s "$1" ] || fail "$1 is empty"
  [ "$(tail -c 1 "$1" | od -An -c | tr -d ' ')" = '\n' ] || fail "$1 ends inside a line"
}

wait_lines() {
  for _ in $(seq 600); do
    [ "$(cat "$1" 2>/dev/null | wc -l)" -ge "$2" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended before $1 held $2 lines"
    sleep 0.1
  done
  fail "$1 never held $2 lines"
}

end_status() {
  wait_end "$1" || fail "the program still runs $1 s later"
  wait "$pid"
  status=$?
  pid=
}

# replays_to_trace REPLAY REC TRACE SCENE MIN: the recording REC replays with status 0, and the
# frames it draws are those of TRACE (the program's own trace of the session) as far as both
# go; fails unless at least MIN frames are compared.
replays_to_trace() {
  "$1" --dir "$4" --recording "$2" --trace "$work/replayed.trace" >"$work/replay.log" 2>&1 ||
    fail "the recording does not replay: $(cat "$work/replay.log")"
  local n m
  n=$(wc -l <"$3")
  m=$(wc -l <"$work/replayed.trace")
  [ "$m" -lt "$n" ] && n=$m
  [ "$n" -ge "$5" ] || fail "only $n frames to compare"
  cmp -s <(head -n "$n" "$3") <(head -n "$n" "$work/replayed.trace") ||
    fail "the replay's frames differ from the program's trace"
  echo "the recording replays; $n frames as traced"
}
