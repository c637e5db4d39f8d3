#!/bin/bash
# The Debian package as a user gets it: scripts/package.sh builds it, apt-get installs it,
# `citywalk --help` lists the installed demos, `citywalk drive` (run from an empty folder)
# draws the city on the X display, Esc ends it, and `apt-get purge` leaves none of the
# package's files behind. The package is purged on any exit, so a failure midway leaves the
# machine as it was.
#   deb_install.sh SOURCE_DIR
# Exit status 77 (skipped, with the reason) when not root, without an X display or the X
# tools, or when citywalk is installed on this machine already (the test would remove it).
set -u
# shellcheck source=tests/window/driver.sh
. "$1/tests/window/driver.sh"
source_dir=$1

[ "$(id -u)" -eq 0 ] || skip "installs a system package: needs root"
need_display xdotool xwininfo import convert apt-get dpkg
if dpkg-query -W -f='${Status}' citywalk 2>/dev/null | grep -q 'install ok installed'; then
  skip "the citywalk package is installed on this machine already; the test would remove it"
fi
make_work
installed=
cleanup_more() {
  [ -n "$installed" ] && DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq citywalk >/dev/null 2>&1
}

deb=$("$source_dir/scripts/package.sh" 2>"$work/package.log" | tail -n1)
[ -f "$source_dir/$deb" ] || { cat "$work/package.log"; fail "scripts/package.sh made no package"; }
cp "$source_dir/$deb" "$work/"
installed=yes
(cd "$work" && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$(basename "$deb")") \
  >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install failed"; }
dpkg -L citywalk >"$work/files" || fail "dpkg -L citywalk failed"
for f in /usr/bin/citywalk /usr/bin/citywalk-import /usr/bin/citywalk-set /usr/bin/citywalk-map \
  /usr/share/man/man1/citywalk-set.1.gz /usr/share/man/man1/citywalk-map.1.gz \
  /usr/share/man/man6/citywalk.6.gz \
  /usr/share/applications/citywalk-drive.desktop /usr/share/icons/hicolor/256x256/apps/citywalk.png \
  /usr/share/doc/citywalk/copyright /usr/share/doc/citywalk/scene-format.md; do
  grep -qx "$f" "$work/files" || fail "the package lacks $f"
done

help=$(citywalk --help) || fail "citywalk --help failed"
grep -q "(citywalk drive): chase drive follow walk (in /usr/share/citywalk/scenes)" <<<"$help" ||
  fail "citywalk --help does not list the installed demos: $help"

mkdir "$work/empty"
start_program "$work/empty" citywalk drive
find_window 300 --class citywalk
sleep 2
read -r x y w h < <(geometry "$wid")
shot drive "${w}x${h}+${x}+${y}"
colours=$(convert "$work/drive.png" -format '%k' info:)
sky=$(convert "$work/drive.png" -fuzz 3% -fill white -opaque 'rgb(140,184,235)' -fill black \
  +opaque white -format '%[fx:mean]' info:)
echo "citywalk drive: window ${w}x${h}, $colours colours, sky $sky"
[ "${colours:-0}" -gt 20 ] || fail "the picture is (nearly) one flat colour: $colours colours"
awk -v s="$sky" 'BEGIN {exit !(s > 0.01)}' || fail "no sky in the picture: not the city"
xdotool windowfocus --sync "$wid" 2>/dev/null || fail "cannot focus the window"
xdotool key Escape
wait_end 30 || fail "citywalk drive still runs 30 s after Esc"
expect_status_zero Esc

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq citywalk >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get purge failed"; }
installed=
left=()
while read -r f; do
  # Folders such as /usr/share/man are shared with other packages; files and our own
  # folders must go.
  if [ -e "$f" ] && { [ ! -d "$f" ] || [[ $f == *citywalk* ]]; }; then left+=("$f"); fi
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "left behind after purge: ${left[*]}"
echo "PASS: $(wc -l <"$work/files") paths installed and removed"
