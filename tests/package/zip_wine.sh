#!/bin/bash
# The Windows zip as a user gets it: scripts/package.sh --windows builds it, it is unzipped
# into a fresh folder, and `citywalk.exe drive` is started under Wine from an empty folder
# elsewhere: it finds the drive demo in `scenes` beside itself, draws the city (sky and brick
# colours in the window) and ends with status 0 on Esc. The zip holds one batch file per demo
# and the README as text.
#   zip_wine.sh SOURCE_DIR
# Exit status 77 (skipped, with the reason) without Wine, unzip, an X display or the X tools.
set -u
# shellcheck source=tests/window/driver.sh
. "$1/tests/window/driver.sh"
source_dir=$1

need_display xdotool xwininfo import convert unzip x86_64-w64-mingw32-g++-posix
need_wine

zip=$("$source_dir/scripts/package.sh" --windows 2>"$work/package.log" | tail -n1)
[ -f "$source_dir/$zip" ] || { cat "$work/package.log"; fail "scripts/package.sh --windows made no zip"; }
unzip -q "$source_dir/$zip" -d "$work/unzipped" || fail "cannot unzip $zip"
dir=$(echo "$work"/unzipped/citywalk-*-win64)
for f in citywalk.exe README.txt LICENSE.txt scenes/drive/Город.mts citywalk-walk.bat citywalk-drive.bat \
  citywalk-follow.bat citywalk-chase.bat; do
  [ -f "$dir/$f" ] || fail "the zip lacks $f"
done
grep -q 'citywalk.exe drive' "$dir/citywalk-drive.bat" || fail "citywalk-drive.bat does not start the drive demo"

timeout 180 "$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
mkdir "$work/empty"
start_program "$work/empty" "$wine" "$dir/citywalk.exe" drive
find_window 600 --class citywalk.exe
sleep 2
read -r x y w h < <(geometry "$wid")
shot drive "${w}x${h}+${x}+${y}"
share() { convert "$work/drive.png" -fuzz "$2" -fill white -opaque "$1" -fill black +opaque white \
  -format '%[fx:mean]' info:; }
colours=$(convert "$work/drive.png" -format '%k' info:)
sky=$(share 'rgb(140,184,235)' 3%)
brick=$(share 'rgb(165,72,53)' 12%)
echo "citywalk.exe drive: window ${w}x${h}, $colours colours, sky $sky, brick $brick"
[ "${colours:-0}" -gt 20 ] || fail "the picture is (nearly) one flat colour: $colours colours"
awk -v s="$sky" 'BEGIN {exit !(s > 0.01)}' || fail "no sky in the picture"
awk -v b="$brick" 'BEGIN {exit !(b > 0.01)}' || fail "no brick in the picture"

xdotool windowfocus --sync "$wid" 2>/dev/null || fail "cannot focus the window"
xdotool key Escape
wait_end 60 || fail "Wine still runs 60 s after Esc"
expect_status_zero Esc
echo "PASS"
