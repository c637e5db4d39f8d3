#!/usr/bin/env bash
# bench/idle.sh [SECONDS] [RUNS]: how much the program costs while nobody touches it.
# Starts the real program (SDL, a real 200 x 150 window; on Xvfb when there is no display) in
# an empty folder (no scene file) and in the sample city, RUNS times each (default 3), and
# prints for each run, measured over SECONDS (default 10) after a warm-up second:
#   - the processor time of the whole process as a share of one core,
#   - how often a second the message loop woke from its rest,
#   - the gaps between presented frames: median, 90th percentile and largest.
# Builds build/bench (the bench preset: Release) first when its probe is missing. Figures only; nothing fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
runs=${2:-3}
build=build/bench

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
probe=$build/bench/citywalk-idle-probe
if [ ! -x "$probe" ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target citywalk-idle-probe >/dev/null
fi
probe=$PWD/$probe

empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT

printf '%-8s %8s %10s %8s %8s %8s %8s\n' scene "cpu %" "wakeups/s" frames "gap p50" "gap p90" \
  "gap max"
for scene in empty city; do
  dir=$empty
  [ "$scene" = city ] && dir=$PWD/scenes/walk
  for _ in $(seq "$runs"); do
    line=$(cd "$dir" && "$probe" "$seconds" 2>/dev/null | tail -n 1)
    eval "$line"
    printf '%-8s %8s %10s %8s %8s %8s %8s\n' "$scene" "$cpu_percent" "$wakeups_per_s" "$frames" \
      "$gap_median_ms" "$gap_p90_ms" "$gap_max_ms"
  done
done
