#!/usr/bin/env bash
# scripts/record.sh [MODE...]: records the short drive or walk of each demo scene that the
# README's animations are made from, scenes/MODE.rec (MODE: walk drive follow chase; default
# all four), or with MODE town a drive down Main Street in the demo town (the chase mode; the
# town is built by scripts/town.sh into build/test/town-chase, fetched with npm),
# docs/pictures/town.rec. The real program (build/test/citywalk, built first when missing) runs on a
# private X display (Xvfb) of 320 x 200 with --record while xdotool plays the user: F3
# maximises the window over that display, then a few seconds of keys and mouse look, then Esc.
# Each recording is written beside the old one and put in place only when the program ended
# well. Run scripts/pictures.sh afterwards for the animations and their final pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/test
if [ ! -x "$build/citywalk" ] && [ "${1:-}" != --on-display ]; then
  scripts/deps.sh test
  cmake --preset test >/dev/null
  cmake --build --preset test --target citywalk >/dev/null
fi
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(walk drive follow chase)
for mode in "${modes[@]}"; do
  if [ "$mode" = town ]; then
    cmake --build --preset test --target citywalk-map >/dev/null
    scripts/town.sh "$build/tools/map/citywalk-map" "$build/town-chase" chase >/dev/null
  fi
done

# Holds KEY for SECONDS.
hold() {
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}
# N mouse moves of DX pixels sideways.
look() {
  for _ in $(seq "$1"); do
    xdotool mousemove_relative -- "$2" 0
    sleep 0.05
  done
}

# One user's route through MODE's scene, as keys and mouse moves, about 3 s.
route() {
  xdotool key F3
  sleep 0.3
  case $1 in
    walk | follow)
      hold Up 1
      xdotool keydown Up
      look 8 "$([ "$1" = walk ] && echo 3 || echo 6)"
      sleep 0.8
      xdotool keyup Up
      ;;
    drive | chase)
      xdotool keydown Up
      sleep 2
      hold "$([ "$1" = drive ] && echo Right || echo Left)" 0.5
      sleep 0.3
      xdotool keyup Up
      ;;
    town)  # down Main Street, past the shops and the people on the pavements
      xdotool keydown Up
      sleep 3.5
      xdotool keyup Up
      ;;
  esac
  sleep 0.2
  xdotool key Escape
}

# Records MODE on the display already running.
record_one() {
  local mode=$1 out=scenes/$1.rec dir=scenes/$1 pid wid=
  if [ "$mode" = town ]; then
    out=docs/pictures/town.rec dir=$build/town-chase
  fi
  "$build/citywalk" --record "$out.part" "$dir" &
  pid=$!
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n1) && [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || { kill "$pid"; echo "record.sh: no window for $mode" >&2; return 1; }
  xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
  xdotool mousemove --window "$wid" 100 75
  route "$mode"
  if ! wait "$pid"; then
    rm -f "$out.part"
    echo "record.sh: citywalk failed in $mode" >&2
    return 1
  fi
  mv "$out.part" "$out"
  echo "$out: $(wc -l <"$out") lines"
}

# On the private display (this script again, under xvfb-run): the recordings themselves.
if [ "${modes[0]}" = --on-display ]; then
  for mode in "${modes[@]:1}"; do record_one "$mode"; done
  exit 0
fi
xvfb-run -a -s "-screen 0 320x200x24 -noreset" "$0" --on-display "${modes[@]}"
