#!/usr/bin/env bash
# scripts/models.sh IMPORT DIR: builds the models plaza in DIR (emptied first) with the
# citywalk-import at IMPORT from the model library's test models (/usr/share/assimp/models,
# Debian's assimp-testmodels): a few of them as scenery round a square, and the milk truck
# driving round as a moving object whose wheels turn. scripts/run.sh models and the README's
# picture use it.
set -euo pipefail
import=$1
dir=$2
models=/usr/share/assimp/models
rm -rf "$dir"
mkdir -p "$dir"
add() { "$import" "$dir" "$@" | tail -n 1; }
# The first model makes the scene: the engine in the middle of the plaza.
add "$models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb" --size 60 --posts \
  --max-vertices 30000
add "$models/glTF2/BoxTextured-glTF-Binary/BoxTextured.glb" --size 20 --at -70,-40 --heading 30 --posts
add "$models/glTF2/BoxTextured-glTF-Binary/BoxTextured.glb" --size 14 --at 75,-30 --heading -20 --posts
add "$models/OBJ/spider.obj" --size 40 --at -80,60 --heading 150 --posts
add "$models/3DS/test1.3ds" --size 30 --at 80,70 --posts
add "$models/PLY/cube.ply" --size 12 --at 45,-55 --heading 45 --posts
# The truck: modelled with its front along +x, so turned by -90 to drive forward; its wheels
# (the front and back pairs, nodes Geometry-mesh001Node and meshInst962Node) then turn about
# x while it drives.
add "$models/glTF/CesiumMilkTruck/CesiumMilkTruck.gltf" --as object --turn -90 --size 30 --at 60,0 \
  --heading 90 --speed 1 --part Geometry-mesh001Node:x:40:4 --part meshInst962Node:x:40:4
echo "$dir"
