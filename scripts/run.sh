#!/usr/bin/env bash
# scripts/run.sh [walk|drive|follow|chase|models|town [MODE]|DIR]: sets everything up on a
# fresh Debian 12 machine, builds citywalk and starts it in a demo scene (default walk:
# scenes/walk) or in the scene folder DIR.
#   walk    walking through the city in the first person (control mode 1)
#   drive   driving a car from the driver's seat (mode 2)
#   follow  walking a figure, watched from behind (mode 3)
#   chase   driving the car, watched from behind (mode 4)
#   models  a plaza built at run time from the model library's test models with
#           citywalk-import (into build/models; the models are not ours to ship)
#   town [walk|drive|follow|chase]
#           a real small town, built with citywalk-map (into build/town/MODE) from the
#           OpenStreetMap data that the map editor iD ships for its walkthrough, fetched with
#           npm (@openstreetmap/id; the data is (c) OpenStreetMap contributors, ODbL)
set -euo pipefail
cd "$(dirname "$0")/.."
choice=${1:-walk}
case "$choice" in
  walk | drive | follow | chase) dir=$PWD/scenes/$choice ;;
  -h | --help)
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
  models) dir=$PWD/build/models ;;
  town)
    mode=${2:-walk}
    case "$mode" in walk | drive | follow | chase) ;; *)
      echo "run.sh: town walk, drive, follow or chase, not '$mode'" >&2
      exit 1
      ;;
    esac
    dir=$PWD/build/town/$mode
    ;;
  *) dir=$(cd "$choice" && pwd) ;;
esac
case "$choice" in
  models | town) scripts/deps.sh "$choice" ;;
  *) scripts/deps.sh run ;;
esac
cmake --preset release >/dev/null  # build/release: without the tests
cmake --build --preset release --target citywalk
if [ "$choice" = models ]; then
  cmake --build --preset release --target citywalk-import
  scripts/models.sh build/release/tools/import/citywalk-import "$dir"
fi
if [ "$choice" = town ]; then
  cmake --build --preset release --target citywalk-map
  scripts/town.sh build/release/tools/map/citywalk-map "$dir" "$mode"
fi
exec "$PWD/build/release/citywalk" "$dir"
