#!/usr/bin/env bash
# Installs the Debian packages that citywalk needs to build, run and test, when some are
# missing. Usage: scripts/deps.sh [run|models|town|package|test]   (default: test, the full set)
#   run     building the program and its tools, and running it
#   models  also the library's own test models that scripts/run.sh models imports
#   town    also npm, which fetches the demo town for scripts/run.sh town
#   package building the .deb and the Windows zip (scripts/package.sh)
#   test    everything the tests and tools need
set -euo pipefail

# The tools are configured with the program: citywalk-import needs the model library, the
# picture decoders (stb_image for PNG and JPEG, ImageMagick's readers for SGI, DDS, TGA, TIFF,
# PSD, BMP and GIF) and the mesh simplifier; citywalk-map the OpenStreetMap library.
run_packages=(cmake ninja-build g++ pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev
  libosmesa6-dev libgl1-mesa-dri libassimp-dev libstb-dev libmagickcore-6.q16-dev
  libmeshoptimizer-dev libosmium2-dev)
model_packages=("${run_packages[@]}" assimp-testmodels)
town_packages=("${run_packages[@]}" npm)
package_packages=("${run_packages[@]}" dpkg-dev lintian imagemagick g++-mingw-w64-x86-64 zip)
test_packages=("${model_packages[@]}" npm googletest libgtest-dev libbenchmark-dev xvfb xauth
  xdotool x11-utils x11-apps imagemagick g++-mingw-w64-x86-64 valgrind libx11-dev
  libxfixes-dev wine64 dpkg-dev lintian zip unzip ffmpeg)

want=("${test_packages[@]}")
[ "${1:-test}" = run ] && want=("${run_packages[@]}")
[ "${1:-test}" = models ] && want=("${model_packages[@]}")
[ "${1:-test}" = town ] && want=("${town_packages[@]}")
[ "${1:-test}" = package ] && want=("${package_packages[@]}")

missing=()
for p in "${want[@]}"; do
  # npm also comes with other builds of Node.js (which Debian's npm package would conflict with).
  [ "$p" = npm ] && command -v npm >/dev/null && continue
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "citywalk: installing ${missing[*]}" >&2
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
