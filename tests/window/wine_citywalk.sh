#!/bin/bash
# The Windows build (citywalk.exe, cross-built with mingw) under Wine on the X display, in the
# walking demo: it finds its scene file by its Unicode name whatever Wine's ANSI code page,
# draws the city (a picture that is not one flat colour, with the sky's and the bricks'
# colours in it), answers the arrow keys, and ends with status 0 on Esc.
#   wine_citywalk.sh CITYWALK_EXE SCENE_DIR
# Exit status 77 (skipped, with the reason) without Wine, the program, an X display or the X
# tools.
set -u
exe=$1
scene=$2

skip() {
  echo "skipped: $*"
  exit 77
}
[ -n "${DISPLAY:-}" ] || skip "no DISPLAY"
[ -f "$exe" ] || skip "no $exe (scripts/test.sh cross-builds it first)"
wine=
for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$candidate" >/dev/null 2>&1; then
    wine=$(command -v "$candidate")
    break
  fi
done
[ -n "$wine" ] || skip "Wine is not installed (Debian: apt-get install wine64)"
for tool in xdotool xwininfo import convert compare; do
  command -v "$tool" >/dev/null || skip "$tool missing"
done

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -9 "$pid" 2>/dev/null; fi
  WINEPREFIX=$work/prefix timeout 10 "$(dirname "$wine")/wineserver" -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -s "$work/out.log" ] && sed 's/^/  program: /' "$work/out.log"
  exit 1
}

timeout 180 "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
mkdir "$work/scene"
cp "$scene"/* "$work/scene/"
(cd "$work/scene" && exec "$wine" "$exe" >"$work/out.log" 2>&1) &
pid=$!

wid=
for _ in $(seq 600); do
  kill -0 "$pid" 2>/dev/null || fail "the program ended at start"
  wid=$(xdotool search --onlyvisible --class citywalk.exe 2>/dev/null | head -n1)
  [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "no window appeared"
sleep 2

geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
                           /^ *Width:/ {w = $2} /^ *Height:/ {h = $2}
                           END {printf "%dx%d+%d+%d", w, h, x, y}'
}
shot() { import -window root -crop "$(geometry "$wid")" +repage "$work/$1.png" || fail "screenshot"; }
# The share of a picture's pixels within fuzz of a colour.
share() { convert "$work/$1.png" -fuzz "$3" -fill white -opaque "$2" -fill black +opaque white \
  -format '%[fx:mean]' info:; }

shot start
colours=$(convert "$work/start.png" -format '%k' info:)
sky=$(share start 'rgb(140,184,235)' 3%)
brick=$(share start 'rgb(165,72,53)' 12%)
echo "window $(geometry "$wid"): $colours colours, sky $sky, brick $brick"
[ "${colours:-0}" -gt 20 ] || fail "the picture is (nearly) one flat colour: $colours colours"
awk -v s="$sky" 'BEGIN {exit !(s > 0.01)}' || fail "no sky in the picture"
awk -v b="$brick" 'BEGIN {exit !(b > 0.01)}' || fail "no brick in the picture"

# Keys go to the window with the input focus; without a window manager the focus otherwise
# follows the pointer, which earlier tests may have left anywhere.
xdotool windowfocus --sync "$wid" 2>/dev/null || fail "cannot focus the window"
# The traffic moves by itself: walking forward must change much more of the picture than
# the same time standing still does.
sleep 1.5
shot still
xdotool keydown Up
sleep 1
xdotool keyup Up
sleep 0.5
shot walked
pixels() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }
standing=$(pixels start still)
walking=$(pixels still walked)
echo "standing changed $standing pixels, holding Up $walking"
[ "${walking:-0}" -gt $((3 * ${standing:-0} + 1000)) ] || fail "the arrow keys did not move the view"

# Wine's own teardown after the program returns can take several seconds on a loaded
# machine: a minute is allowed, and a window still shown then means Esc was not answered.
xdotool key Escape
waited=0
for waited in $(seq 1200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
echo "ended within $((waited * 5 / 100)) s of Esc"
if kill -0 "$pid" 2>/dev/null; then
  xwininfo -id "$wid" 2>/dev/null | grep -q IsViewable && fail "the window is still shown 60 s after Esc"
  fail "the window is gone but Wine is still running 60 s after Esc"
fi
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status after Esc"
echo "PASS"
