#!/usr/bin/env bash
# scripts/soak.sh [--frames N] [--seed S] [--release] [SCENE...]: the long run of random input.
#
# Runs citywalk-replay with random input (--random-input S, default 1) for N frames (default
# 45000: 30 minutes of the program's time) at 320x240 in each SCENE (walk, drive, follow, chase
# and capacity, the generated capacity scene; default all five), under the sanitizer build
# (the asan preset, build/asan: ASan + UBSan, leak detection at exit) or with --release under
# the bench preset's build/bench, and
# prints for each: the frames drawn, the resident memory after the warm-up (frame 1000), at
# its peak after that and at the end, the values in the trace that are not finite numbers (a
# sane scene has none), and the wall time. A sanitizer report, or fewer frames than asked,
# makes the status non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
frames=45000
seed=1
preset=asan
scenes=()
while [ $# -gt 0 ]; do
  case "$1" in
    --frames) frames=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --release) preset=bench; shift ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) scenes+=("$1"); shift ;;
  esac
done
[ ${#scenes[@]} -gt 0 ] || scenes=(walk drive follow chase capacity)
build=build/$preset

if [ ! -f "$build/build.ninja" ]; then
  scripts/deps.sh test
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset" --target citywalk-replay citywalk-scenegen >/dev/null 2>&1 ||
  cmake --build --preset "$preset" --target citywalk-replay citywalk-scenegen
"$build/tools/scenegen/citywalk-scenegen" --capacity "$build/capacity" >/dev/null

# A small quarantine, so that the resident memory measures the program rather than the
# sanitizer's store of freed blocks.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16
status=0
printf '%-9s %7s %10s %10s %10s %10s %7s\n' scene frames "kB warm" "kB peak" "kB end" \
  "not finite" "wall s"
for scene in "${scenes[@]}"; do
  dir=scenes/$scene
  [ "$scene" = capacity ] && dir=$build/capacity
  start=$(date +%s)
  set +e
  "$build/tools/replay/citywalk-replay" --dir "$dir" --frames "$frames" --screen 320x240 \
    --random-input "$seed" --memory --trace "$build/soak_$scene.trace" \
    >"$build/soak_$scene.out" 2>"$build/soak_$scene.err"
  result=$?
  set -e
  wall=$(($(date +%s) - start))
  drawn=$(wc -l <"$build/soak_$scene.trace")
  bad=$(grep -c '"\(nan\|inf\|-inf\)"' "$build/soak_$scene.trace" || true)
  read -r warm last peak < <(sed -n \
    's/^memory: \([0-9]*\) kB [^,]*, \([0-9]*\) kB [^,]*, peak \([0-9]*\) kB.*/\1 \2 \3/p' \
    "$build/soak_$scene.out")
  printf '%-9s %7s %10s %10s %10s %10s %7s\n' "$scene" "$drawn" "${warm:-?}" "${peak:-?}" \
    "${last:-?}" "$bad" "$wall"
  if [ "$result" -ne 0 ] || [ "$drawn" -ne "$frames" ]; then
    echo "$scene: citywalk-replay ended with $result after $drawn frames:" >&2
    tail -20 "$build/soak_$scene.err" >&2
    status=1
  fi
done
exit $status
