#!/usr/bin/env bash
# Installs the Debian packages that citywalk needs to build, run and test, when some are
# missing. Usage: scripts/deps.sh [run|test]   (default: test, the full set)
set -euo pipefail

run_packages=(cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev
  libosmesa6-dev libgl1-mesa-dri)
test_packages=("${run_packages[@]}" googletest libgtest-dev libbenchmark-dev xvfb xauth
  xdotool x11-utils x11-apps imagemagick g++-mingw-w64-x86-64 valgrind libx11-dev
  libxfixes-dev wine64)

want=("${test_packages[@]}")
[ "${1:-test}" = run ] && want=("${run_packages[@]}")

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "citywalk: installing ${missing[*]}" >&2
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
