#!/usr/bin/env bash
# bench/timedemo.sh [FRAMES]: how fast frames are drawn, with the plain and static lists
# replayed from the display lists recorded at load and drawn vertex by vertex (--immediate).
# Runs citywalk-replay --timedemo (headless, Mesa on the processor) at 1024 x 768 while
# walking forward, on the capacity scene (citywalk-scenegen --capacity, made in build/bench)
# and on the sample city, and prints the median milliseconds per frame of each path, frames
# per second, and the ratio. Builds build/bench (the bench preset: Release) first. Figures only; nothing fails.
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-150}
build=build/bench
if [ ! -x "$build/tools/replay/citywalk-replay" ] || [ ! -x "$build/tools/scenegen/citywalk-scenegen" ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target citywalk-replay citywalk-scenegen >/dev/null
fi
"$build/tools/scenegen/citywalk-scenegen" --capacity "$build/capacity"
script=$(mktemp)
trap 'rm -f "$script"' EXIT
printf '1 resize 1024 768\n2 keydown up\n' >"$script"

median() { "$build/tools/replay/citywalk-replay" --dir "$1" --frames "$frames" --script "$script" \
  --timedemo ${2:+"$2"} | sed -n 's/^ms per frame: median \([0-9.]*\),.*/\1/p'; }

printf '%-9s %12s %12s %9s %9s %7s\n' scene "lists ms" "immediate ms" "lists fps" "imm. fps" ratio
for scene in capacity city; do
  dir=$build/capacity
  [ "$scene" = city ] && dir=scenes/walk
  lists=$(median "$dir")
  immediate=$(median "$dir" --immediate)
  awk -v s="$scene" -v l="$lists" -v i="$immediate" 'BEGIN {
    printf "%-9s %12.2f %12.2f %9.1f %9.1f %7.2f\n", s, l, i, 1000 / l, 1000 / i, i / l }'
done
