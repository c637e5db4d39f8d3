#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds everything and runs every test:
# the Windows cross-build (which the Wine test runs), the normal build and the sanitizer build
# (ASan + UBSan).
# The exit code is the result. The builds are CMakePresets.json's windows, test and asan
# presets (build/windows, build/test, build/asan). Window tests need an X display: without one
# they run under xvfb-run. Its server is started with -noreset: by default Xvfb resets itself whenever its
# last client leaves, and a window test that starts the program during that reset finds no
# display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)

ctest_display() {
  if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest "$@"
  else
    ctest "$@"
  fi
}

echo "== Windows cross-build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
test -f build/windows/citywalk.exe

echo "== build (RelWithDebInfo)"
cmake --preset test >/dev/null
cmake --build --preset test -j "$jobs"
echo "== tests"
ctest_display --preset test -j "$jobs"

echo "== build (ASan + UBSan)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
echo "== tests under the sanitizers"
# The asan test preset leaves out the tests labelled window (real windows, Wine) or valgrind:
# ctest -LE '^(window|valgrind)$'.
ctest --preset asan -j "$jobs"

echo "== all passed"
