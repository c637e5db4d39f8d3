#!/bin/bash
# The Windows build (citywalk.exe, cross-built with mingw) under Wine on the X display, in the
# walking demo: it finds its scene file by its Unicode name whatever Wine's ANSI code page,
# draws the city (a picture that is not one flat colour, with the sky's and the bricks'
# colours in it), answers the arrow keys, and ends with status 0 on Esc.
#   wine_citywalk.sh CITYWALK_EXE SCENE_DIR
# Exit status 77 (skipped, with the reason) without Wine, the program, an X display or the X
# tools.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/driver.sh"
exe=$1
scene=$2

need_display xdotool xwininfo import convert compare
[ -f "$exe" ] || skip "no $exe (scripts/test.sh cross-builds it first)"
need_wine

timeout 180 "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
mkdir "$work/scene"
cp "$scene"/* "$work/scene/"
start_program "$work/scene" "$wine" "$exe"
find_window 600 --class citywalk.exe
sleep 2

# The window's part of the screen.
window_shot() {
  local x y w h
  read -r x y w h < <(geometry "$wid")
  shot "$1" "${w}x${h}+${x}+${y}"
}
# The share of a picture's pixels within fuzz of a colour.
share() { convert "$work/$1.png" -fuzz "$3" -fill white -opaque "$2" -fill black +opaque white \
  -format '%[fx:mean]' info:; }

window_shot start
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
window_shot still
xdotool keydown Up
sleep 1
xdotool keyup Up
sleep 0.5
window_shot walked
standing=$(differ start still)
walking=$(differ still walked)
echo "standing changed $standing pixels, holding Up $walking"
[ "${walking:-0}" -gt $((3 * ${standing:-0} + 1000)) ] || fail "the arrow keys did not move the view"

# Wine's own teardown after the program returns can take several seconds on a loaded
# machine: a minute is allowed, and a window still shown then means Esc was not answered.
xdotool key Escape
if ! wait_end 60; then
  xwininfo -id "$wid" 2>/dev/null | grep -q IsViewable && fail "the window is still shown 60 s after Esc"
  fail "the window is gone but Wine is still running 60 s after Esc"
fi
echo "ended within $waited s of Esc"
expect_status_zero Esc
echo "PASS"
