#!/usr/bin/env bash
# bench/texture_bench.sh: how fast stb_image and ImageMagick's readers decode the PNG and JPEG
# textures citywalk-import meets. Makes photo-like pictures (ImageMagick's plasma) of 512, 1024
# and 2048 pixels a side as 8-bit PNG and as JPEG (quality 90) in a temporary folder, and prints the
# median time of one decoding by each, the two taking turns (citywalk-texture-bench). Uses
# build/bench (the bench preset: Release; BUILD=build/test for another), building the program
# first when it is missing. Figures only; nothing fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build/bench}
bench=$build/bench/citywalk-texture-bench
if [ ! -x "$bench" ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target citywalk-texture-bench >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files=()
for side in 512 1024 2048; do
  convert -seed 7 -size "${side}x${side}" plasma:fractal -depth 8 "$work/plasma-$side.png"
  convert "$work/plasma-$side.png" -quality 90 "$work/plasma-$side.jpg"
  files+=("$work/plasma-$side.png" "$work/plasma-$side.jpg")
done
"$bench" "${files[@]}"
