#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds everything and runs every test:
# the Windows cross-build (which the Wine test runs), the normal build and the sanitizer build
# (ASan + UBSan).
# The exit code is the result. Window tests need an X display: without one they run under
# xvfb-run. Its server is started with -noreset: by default Xvfb resets itself whenever its
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
cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build build/windows -j "$jobs"
test -f build/windows/citywalk.exe

echo "== build (RelWithDebInfo)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j "$jobs"
echo "== tests"
(cd build/test && ctest_display --output-on-failure -j "$jobs" --timeout 300)

echo "== build (ASan + UBSan)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCITYWALK_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
echo "== tests under the sanitizers"
(cd build/asan && \
  ctest --output-on-failure -j "$jobs" --timeout 600 -E '^(window_|walk_window$|replay_valgrind)')

echo "== all passed"
