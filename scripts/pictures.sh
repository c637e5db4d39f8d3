#!/usr/bin/env bash
# scripts/pictures.sh: makes the README's pictures of the four control modes, docs/pictures/
# MODE.png (640 x 400), from citywalk-replay runs of the demo scenes with the fixed scripts
# docs/pictures/MODE.script, 60 frames each, and of the models plaza (docs/pictures/models.png,
# 80 frames of the plaza scripts/models.sh builds). From the recorded route of each demo,
# scenes/MODE.rec (made by scripts/record.sh with the real program), it makes the README's
# animation docs/pictures/MODE.webp (at most 150 frames: 6 s at 25 frames a second; it fails
# above 1.5 MB) and the route's final picture docs/pictures/MODE-end.png. With npm, it also
# makes the demo town's picture docs/pictures/town.png (60 frames of docs/pictures/town.script
# in the town scripts/town.sh builds, in the chase mode) and its animation
# docs/pictures/town.webp (from docs/pictures/town.rec, made by scripts/record.sh town).
# Builds build/test (the test preset) first when the tools are missing. Tests (pictures_MODE,
# routes_MODE) fail when a committed picture of a demo no longer matches what this makes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/test
if [ ! -x "$build/tools/replay/citywalk-replay" ] || [ ! -x "$build/tools/import/citywalk-import" ] ||
  [ ! -x "$build/tools/map/citywalk-map" ]; then
  scripts/deps.sh test
  cmake --preset test >/dev/null
  cmake --build --preset test --target citywalk-replay citywalk-import citywalk-map >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for mode in walk drive follow chase; do
  "$build/tools/replay/citywalk-replay" --dir "scenes/$mode" --frames 60 \
    --script "docs/pictures/$mode.script" --snapshot "$work/$mode.bmp" 2>/dev/null
  convert "$work/$mode.bmp" -strip "docs/pictures/$mode.png"
  echo "docs/pictures/$mode.png"
  "$build/tools/replay/citywalk-replay" --dir "scenes/$mode" --script "scenes/$mode.rec" \
    --snapshot "$work/$mode-end.bmp" 2>/dev/null
  convert "$work/$mode-end.bmp" -strip "docs/pictures/$mode-end.png"
  echo "docs/pictures/$mode-end.png"
  "$build/tools/replay/citywalk-replay" --dir "scenes/$mode" --script "scenes/$mode.rec" \
    --frames 150 --video "$work/$mode.webp" 2>/dev/null
  size=$(stat -c %s "$work/$mode.webp")
  if [ "$size" -gt 1500000 ]; then
    echo "pictures.sh: the animation of $mode is $size bytes, over 1.5 MB; record a shorter" \
      "route (scripts/record.sh $mode)" >&2
    exit 1
  fi
  mv "$work/$mode.webp" "docs/pictures/$mode.webp"
  echo "docs/pictures/$mode.webp ($size bytes)"
done
scripts/models.sh "$build/tools/import/citywalk-import" "$work/models" >/dev/null
"$build/tools/replay/citywalk-replay" --dir "$work/models" --frames 80 \
  --script docs/pictures/models.script --snapshot "$work/models.bmp" 2>/dev/null
convert "$work/models.bmp" -strip docs/pictures/models.png
echo docs/pictures/models.png
if ! command -v npm >/dev/null; then
  echo "pictures.sh: no npm: the demo town's pictures are not made" >&2
  exit 0
fi
scripts/town.sh "$build/tools/map/citywalk-map" "$build/town-chase" chase >/dev/null
"$build/tools/replay/citywalk-replay" --dir "$build/town-chase" --frames 60 \
  --script docs/pictures/town.script --snapshot "$work/town.bmp" 2>/dev/null
convert "$work/town.bmp" -strip docs/pictures/town.png
echo docs/pictures/town.png
"$build/tools/replay/citywalk-replay" --dir "$build/town-chase" --script docs/pictures/town.rec \
  --frames 150 --video "$work/town.webp" 2>/dev/null
mv "$work/town.webp" docs/pictures/town.webp
echo "docs/pictures/town.webp ($(stat -c %s docs/pictures/town.webp) bytes)"
