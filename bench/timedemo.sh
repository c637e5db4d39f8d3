#!/usr/bin/env bash
# bench/timedemo.sh [FRAMES]: how fast frames are drawn, with culling (only what can be seen,
# in view and not hidden, is sent) and without it (citywalk-replay --no-culling), and by the
# landed program when LANDED names its build folder (e.g. a worktree of an earlier commit
# built with the bench preset: LANDED=/tmp/landed/build/bench). Runs citywalk-replay
# --timedemo (headless, Mesa on the processor) at 1024 x 768 on the capacity scene
# (citywalk-scenegen --capacity, made in build/bench) walking forward across the towers and
# walking while turning (the view sweeps the whole city), on the sample city walking forward,
# and in the demo town (scripts/town.sh: a real town from OpenStreetMap data built by
# citywalk-map, with 50 moving objects, fetched with npm once) walking and driving forward
# through its middle; prints the median milliseconds per frame of each, frames per second
# with culling, and how many times faster than the landed program. SIZE=WxH draws at another
# size (default 1024x768). The load average is printed before and after: on a shared machine the figures
# move with it. Builds build/bench (the bench preset: Release) first. Figures only; nothing
# fails.
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-150}
build=build/bench
landed=${LANDED:-}
size=${SIZE:-1024x768}
if [ ! -x "$build/tools/replay/citywalk-replay" ] || [ ! -x "$build/tools/scenegen/citywalk-scenegen" ] ||
  [ ! -x "$build/tools/map/citywalk-map" ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target citywalk-replay citywalk-scenegen citywalk-map >/dev/null
fi
"$build/tools/scenegen/citywalk-scenegen" --capacity "$build/capacity"
for mode in walk drive; do
  scripts/town.sh "$build/tools/map/citywalk-map" "$build/town-$mode" "$mode" >/dev/null
done
forward=$(mktemp)
turning=$(mktemp)
trap 'rm -f "$forward" "$turning"' EXIT
printf '1 resize %s %s\n2 keydown up\n' ${size/x/ } >"$forward"
printf '1 resize %s %s\n2 keydown up\n2 keydown left\n' ${size/x/ } >"$turning"

# median REPLAY DIR SCRIPT [OPTION]: the median ms per frame of one run.
median() { "$1" --dir "$2" --frames "$frames" --script "$3" --timedemo ${4:+"$4"} |
  sed -n 's/^ms per frame: median \([0-9.]*\),.*/\1/p'; }

echo "at $size, $frames frames; load average $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-17s %10s %10s %10s %8s %8s\n' scene "landed ms" "off ms" "culled ms" "fps" "x landed"
for scene in capacity capacity-turning city town-walk town-drive; do
  dir=$build/capacity script=$forward
  [ "$scene" = capacity-turning ] && script=$turning
  [ "$scene" = city ] && dir=scenes/walk
  case $scene in town-*) dir=$build/$scene ;; esac
  before=nan
  [ -n "$landed" ] && before=$(median "$landed/tools/replay/citywalk-replay" "$dir" "$script")
  off=$(median "$build/tools/replay/citywalk-replay" "$dir" "$script" --no-culling)
  on=$(median "$build/tools/replay/citywalk-replay" "$dir" "$script")
  awk -v s="$scene" -v b="$before" -v f="$off" -v o="$on" 'BEGIN {
    printf "%-17s %10.2f %10.2f %10.2f %8.1f %8.2f\n", s, b, f, o, 1000 / o, b / o }'
done
echo "load average $(cut -d' ' -f1-3 /proc/loadavg)"
