#!/usr/bin/env bash
# Builds the installable packages of citywalk.
#   scripts/package.sh            build/package/citywalk_VERSION_amd64.deb (CPack), then lintian
#   scripts/package.sh --windows  build/windows/citywalk-VERSION-win64.zip
# Prints the package's path as its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:---deb}
scripts/deps.sh package

case $what in
  --deb)
    cmake --preset package >/dev/null
    cmake --build --preset package -j2
    rm -f build/package/citywalk_*.deb
    (cd build/package && cpack -G DEB >/dev/null)
    deb=$(ls build/package/citywalk_*_amd64.deb)
    # lintian's findings are printed; only its errors fail the build.
    lintian --fail-on error "$deb" >&2
    echo "$deb"
    ;;
  --windows)
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j2
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
    name=citywalk-$version-win64
    stage=build/windows/$name
    rm -rf "$stage" "build/windows/$name.zip"
    mkdir -p "$stage"
    cp build/windows/citywalk.exe "$stage/"
    cp -r scenes "$stage/scenes"
    # Plain text with Windows line ends, so that Notepad shows the lines.
    sed 's/$/\r/' README.md >"$stage/README.txt"
    sed 's/$/\r/' docs/scene-format.md >"$stage/scene-format.txt"
    sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
    for demo in walk drive follow chase; do
      printf '@echo off\r\ncd /d "%%~dp0"\r\nstart "" citywalk.exe %s\r\n' "$demo" \
        >"$stage/citywalk-$demo.bat"
    done
    (cd build/windows && zip -qrX "$name.zip" "$name")
    echo "build/windows/$name.zip"
    ;;
  *)
    echo "usage: scripts/package.sh [--deb | --windows]" >&2
    exit 1
    ;;
esac
