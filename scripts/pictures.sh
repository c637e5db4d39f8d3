#!/usr/bin/env bash
# scripts/pictures.sh: makes the README's pictures of the four control modes, docs/pictures/
# MODE.png (640 x 400), from citywalk-replay runs of the demo scenes with the fixed scripts
# docs/pictures/MODE.script, 60 frames each, and of the models plaza (docs/pictures/models.png,
# 80 frames of the plaza scripts/models.sh builds). Builds build/test (the test preset) first
# when the tools are missing. A test (pictures_MODE) fails when a committed picture no longer
# matches what this makes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/test
if [ ! -x "$build/tools/replay/citywalk-replay" ] || [ ! -x "$build/tools/import/citywalk-import" ]; then
  scripts/deps.sh test
  cmake --preset test >/dev/null
  cmake --build --preset test --target citywalk-replay citywalk-import >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for mode in walk drive follow chase; do
  "$build/tools/replay/citywalk-replay" --dir "scenes/$mode" --frames 60 \
    --script "docs/pictures/$mode.script" --snapshot "$work/$mode.bmp" 2>/dev/null
  convert "$work/$mode.bmp" -strip "docs/pictures/$mode.png"
  echo "docs/pictures/$mode.png"
done
scripts/models.sh "$build/tools/import/citywalk-import" "$work/models" >/dev/null
"$build/tools/replay/citywalk-replay" --dir "$work/models" --frames 80 \
  --script docs/pictures/models.script --snapshot "$work/models.bmp" 2>/dev/null
convert "$work/models.bmp" -strip docs/pictures/models.png
echo docs/pictures/models.png
