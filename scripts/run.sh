#!/usr/bin/env bash
# scripts/run.sh [walk|drive|follow|chase|DIR]: sets everything up on a fresh Debian 12 machine,
# builds citywalk and starts it in a demo scene (default walk: scenes/walk) or in the scene
# folder DIR.
#   walk    walking through the city in the first person (control mode 1)
#   drive   driving a car from the driver's seat (mode 2)
#   follow  walking a figure, watched from behind (mode 3)
#   chase   driving the car, watched from behind (mode 4)
#   models  a plaza built at run time from the model library's test models with
#           citywalk-import (into build/models; the models are not ours to ship)
set -euo pipefail
cd "$(dirname "$0")/.."
choice=${1:-walk}
case "$choice" in
  walk | drive | follow | chase) dir=$PWD/scenes/$choice ;;
  -h | --help)
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
  models) dir=$PWD/build/models ;;
  *) dir=$(cd "$choice" && pwd) ;;
esac
if [ "$choice" = models ]; then
  scripts/deps.sh models
else
  scripts/deps.sh run
fi
cmake --preset release >/dev/null  # build/release: without the tests
cmake --build --preset release --target citywalk
if [ "$choice" = models ]; then
  cmake --build --preset release --target citywalk-import
  scripts/models.sh build/release/tools/import/citywalk-import "$dir"
fi
exec "$PWD/build/release/citywalk" "$dir"
