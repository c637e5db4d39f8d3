#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds citywalk and starts it in the
# sample scene (scenes/sample).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DCITYWALK_TESTS=OFF >/dev/null
cmake --build build/run --target citywalk
top=$PWD
if [ -f scenes/sample/Город.mts ]; then
  cd scenes/sample
else
  cd "$(mktemp -d)"
fi
exec "$top/build/run/citywalk"
