#!/usr/bin/env bash
# scripts/compare_paths.sh [OPTIONS] --dir SCENE [--script FILE] [--random-input SEED]
# scripts/compare_paths.sh [OPTIONS] --stress FIRST[-LAST] | --minutes M [--from SEED]
#
# Draws each scene the four ways citywalk can draw a frame and compares every frame and every
# trace line with the first way, byte for byte (citywalk-replay --frame-sums, --trace):
#   written    vertex by vertex, everything sent (--immediate --no-culling): the rules as
#              written, which the others must draw to the bit
#   lists      the lists replayed from display lists (--no-culling)
#   culled     display lists, leaving out what cannot be seen (the default)
#   immediate  vertex by vertex, leaving out what cannot be seen (--immediate)
# One scene: SCENE with the script FILE and/or random input. --stress: the random stress scenes
# of citywalk-scenegen --stress for seeds FIRST..LAST, or for M minutes from seed --from
# (default 1), each with random input of its own seed at a screen size picked by the seed.
# Options: --frames N (default 60), --screen WxH (one scene; default 320x240), --build DIR (the
# build folder holding the tools, default build/test), --work DIR (where the runs are kept,
# default a temporary folder, removed at the end).
# Prints a line for each scene and, at the end, the seeds, scenes and frames compared and the
# differences found, naming the first frame at which each way differs. Exit status: 0 all the
# same, 1 a difference, 2 a tool or scene missing or a run that failed.
set -euo pipefail
build=build/test
frames=60
screen=320x240
scene="" script="" seed="" stress="" minutes="" from=1 work=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --frames) frames=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --dir) scene=$2; shift 2 ;;
    --script) script=$2; shift 2 ;;
    --random-input) seed=$2; shift 2 ;;
    --stress) stress=$2; shift 2 ;;
    --minutes) minutes=$2; shift 2 ;;
    --from) from=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    -h|--help) sed -n '2,21p' "$0"; exit 0 ;;
    *) echo "compare_paths.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
replay=$build/tools/replay/citywalk-replay
scenegen=$build/tools/scenegen/citywalk-scenegen
for tool in "$replay" "$scenegen"; do
  [ -x "$tool" ] || { echo "compare_paths.sh: $tool missing (build first)" >&2; exit 2; }
done
if [ -z "$work" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"

ways=(written lists culled immediate)
declare -A options=([written]="--immediate --no-culling" [lists]="--no-culling" [culled]=""
                    [immediate]="--immediate")
scenes=0 compared=0 differing=0 failed=0
differences=()

# compare DIR SCREEN SEED SCRIPT LABEL: draws DIR every way and compares; prints one line.
compare() {
  local dir=$1 size=$2 input=$3 file=$4 label=$5 way status first line
  local -a common=(--dir "$dir" --frames "$frames" --screen "$size")
  [ -n "$file" ] && common+=(--script "$file")
  [ -n "$input" ] && common+=(--random-input "$input")
  for way in "${ways[@]}"; do
    status=0
    # shellcheck disable=SC2086
    "$replay" "${common[@]}" ${options[$way]} --frame-sums "$work/$way.sums" \
      --trace "$work/$way.trace" >"$work/$way.out" 2>"$work/$way.err" || status=$?
    if [ "$status" -ne 0 ]; then
      echo "$label: citywalk-replay ($way) ended with $status:" >&2
      tail -5 "$work/$way.err" >&2
      failed=$((failed + 1))
      return
    fi
  done
  scenes=$((scenes + 1))
  line="$label: $(wc -l <"$work/written.sums") frames"
  compared=$((compared + $(wc -l <"$work/written.sums")))
  for way in "${ways[@]:1}"; do
    for kind in sums trace; do
      cmp -s "$work/written.$kind" "$work/$way.$kind" && continue
      first=$(diff <(cat -n "$work/written.$kind") <(cat -n "$work/$way.$kind") |
        sed -n 's/^[<>] *\([0-9]*\).*/\1/p' | head -1 || true)
      line+=", $way: $kind differs from frame ${first:-?}"
      differences+=("$label $way: $kind differs from frame ${first:-?}")
      differing=$((differing + 1))
      break
    done
  done
  echo "$line"
}

# The screen of a stress seed.
screen_of() {
  local sizes=(320x240 257x131 160x120 400x300 200x150 97x211)
  echo "${sizes[$(($1 % ${#sizes[@]}))]}"
}

# A stress seed's scene, drawn in a window the size of the screen.
stress_seed() {
  local size
  size=$(screen_of "$1")
  rm -rf "$work/scene"
  "$scenegen" --stress "$1" "$work/scene" >/dev/null ||
    { echo "seed $1: citywalk-scenegen failed" >&2; failed=$((failed + 1)); return; }
  echo "1 resize ${size/x/ }" >"$work/resize.script"
  compare "$work/scene" "$size" "$1" "$work/resize.script" "seed $1"
}

if [ -n "$scene" ]; then
  [ -d "$scene" ] || { echo "compare_paths.sh: $scene missing" >&2; exit 2; }
  compare "$scene" "$screen" "$seed" "$script" "$scene"
elif [ -n "$stress" ]; then
  for s in $(seq "${stress%-*}" "${stress#*-}"); do stress_seed "$s"; done
  echo "seeds ${stress%-*}..${stress#*-}"
elif [ -n "$minutes" ]; then
  end=$(($(date +%s) + minutes * 60))
  s=$from
  while [ "$(date +%s)" -lt "$end" ]; do
    stress_seed "$s"
    s=$((s + 1))
  done
  echo "seeds $from..$((s - 1))"
else
  echo "compare_paths.sh: give --dir, --stress or --minutes" >&2
  exit 2
fi
echo "scenes: $scenes, frames compared each of 3 ways: $compared, differences: $differing," \
  "failed runs: $failed"
for d in "${differences[@]+"${differences[@]}"}"; do echo "  $d"; done
[ "$failed" -eq 0 ] || exit 2
[ "$differing" -eq 0 ] || exit 1
