#!/usr/bin/env bash
# scripts/town.sh MAPTOOL DIR [MODE] [OPTION...]: builds the demo town into the scene folder
# DIR with the citywalk-map program MAPTOOL, in control mode MODE (walk, drive, follow or
# chase; default walk), replacing the scene there. The town is the one the OpenStreetMap editor
# iD ships for its walkthrough (Three Rivers, Michigan: data/intro_graph.json of the npm
# package @openstreetmap/id, fetched with npm pack once into build/town-cache; (c) OpenStreetMap
# contributors, ODbL), turned into OpenStreetMap XML by scripts/town_osm.js (node) and centred
# on Main Street. OPTIONs go to citywalk-map. Used by scripts/run.sh town, the benchmarks
# and scripts/pictures.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=$1 dir=$2 mode=${3:-walk}
shift $(($# < 3 ? $# : 3))
version=2.42.2                # the npm package holding the town
downtown=41.94485,-85.63400    # Main Street, where the buildings stand closest
cache=$root/build/town-cache
tarball=$cache/openstreetmap-id-$version.tgz
if [ ! -f "$tarball" ]; then
  mkdir -p "$cache"
  npm pack "@openstreetmap/id@$version" --pack-destination "$cache" >/dev/null
fi
if [ ! -f "$cache/town.osm" ] || [ "$tarball" -nt "$cache/town.osm" ]; then
  tar -xzf "$tarball" -C "$cache" package/data/intro_graph.json
  node "$root/scripts/town_osm.js" "$cache/package/data/intro_graph.json" "$cache/town.osm"
fi
"$tool" "$dir" "$cache/town.osm" --origin "$downtown" --mode "$mode" --replace "$@"
