#!/bin/bash
# Writing onto a full disk (a small tmpfs): every output says its first failed write in one line
# and stops, what it wrote ends on a whole line and replays, and the program goes on; the tools
# that write scenes refuse with status 1 and leave the folder exactly as it was.
#   full_disk.sh tools CITYWALK_REPLAY CITYWALK_SCENEGEN CITYWALK_IMPORT CITYWALK_SET MODEL
#                SCENE_DIR CITYWALK_MAP OSM
#     citywalk-scenegen and citywalk-map (of OSM) into a new folder, citywalk-import of MODEL
#     and citywalk-set into a scene on a full disk, citywalk-replay's trace and frames, and its
#     video
#   full_disk.sh program CITYWALK CITYWALK_REPLAY SCENE_DIR
#     the program with --record and --trace, on an X server of the test's own
# The tmpfs is mounted in a mount namespace of the test's own, so nothing outlives it. Exit
# status 77 (skipped) when not run as root, or where a tmpfs cannot be mounted.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/../window/driver.sh"

if [ -z "${CITYWALK_OWN_MOUNTS:-}" ]; then
  [ "$(id -u)" -eq 0 ] || skip "a small tmpfs needs root"
  unshare --mount --propagation private true 2>/dev/null || skip "no mount namespace of our own"
  CITYWALK_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi

make_work
full=$work/full
cleanup_more() { umount "$full" 2>/dev/null; }
# full_disk KB: an empty tmpfs of KB kB at $full.
full_disk() {
  umount "$full" 2>/dev/null
  mkdir -p "$full"
  mount -t tmpfs -o "size=$1k" tmpfs "$full" || skip "cannot mount a tmpfs"
}
# said COMMAND...: runs COMMAND with its standard error in $work/err, without the list of
# suppressed leaks (in the GL library) the sanitizer build adds at the end; its status.
said() {
  "$@" 2>"$work/err"
  local status=$?
  sed -i '/^-\{20,\}$/,$d' "$work/err"
  return $status
}
# one_line PATTERN: standard error was one line, matching PATTERN (extended).
one_line() {
  [ "$(wc -l <"$work/err")" -eq 1 ] && grep -Eq "$1" "$work/err" ||
    fail "want one line like '$1'; got: $(cat "$work/err")"
}
# listing DIR: every file under DIR with its size and checksum.
listing() { (cd "$1" && find . -type f -exec md5sum {} + | sort && ls -lR); }
# refuses TOOL REASON COMMAND...: with the rest of the disk filled, COMMAND ends with status 1
# and one line "TOOL: ...: REASON", and leaves the disk's files exactly as they were.
refuses() {
  local tool=$1 reason=$2 status
  shift 2
  dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null
  listing "$full" >"$work/before"
  said "$@" >/dev/null
  status=$?
  [ "$status" -eq 1 ] || fail "$tool: exit status $status"
  one_line "^$tool: .*: $reason\$"
  listing "$full" | cmp -s - "$work/before" || fail "$tool changed the folder"
}

tools() {
  local replay=$1 scenegen=$2 import=$3 set=$4 model=$5 scene=$6 map=$7 osm=$8 status

  full_disk 16
  said "$scenegen" "$full/new/walk"
  status=$?
  [ "$status" -eq 1 ] || fail "citywalk-scenegen: exit status $status"
  one_line '^citywalk-scenegen: .*: cannot write: No space left on device$'
  [ -z "$(ls -A "$full")" ] || fail "citywalk-scenegen left $(ls -A "$full")"
  echo "citywalk-scenegen: refused, nothing left"

  full_disk 64
  refuses citywalk-map 'cannot write: No space left on device' "$map" "$full/town" "$osm"
  echo "citywalk-map: refused, nothing left"

  if [ -f "$model" ]; then
    full_disk 64
    cp -r "$(dirname "$0")/../../docs/examples/street" "$full/street"
    refuses citywalk-import 'No space left on device' "$import" "$full/street" "$model"
    echo "citywalk-import: refused, the scene as it was"
  fi

  full_disk 64
  cp -r "$(dirname "$0")/../../docs/examples/street" "$full/street"
  refuses citywalk-set 'No space left on device' "$set" "$full/street" bodyX=5
  echo "citywalk-set: refused, the scene as it was"

  full_disk 256
  said "$replay" --dir "$scene" --frames 60 --screen 160x120 --trace "$full/r.trace" \
    --frames-dir "$full/frames" --snapshot "$work/last.bmp"
  status=$?
  [ "$status" -eq 1 ] || fail "citywalk-replay: exit status $status"
  [ -s "$work/last.bmp" ] || fail "citywalk-replay did not run to its last frame"
  [ "$(wc -l <"$work/err")" -eq 2 ] || fail "want two lines; got: $(cat "$work/err")"
  local traced shot
  traced=$(sed -nE 's/^citywalk-replay: .*r\.trace: cannot write \(No space left on device\); the trace stops after frame ([0-9]+)$/\1/p' "$work/err")
  shot=$(sed -nE 's/^citywalk-replay: .*frame-[0-9]+\.png: cannot write \(No space left on device\); the frames stop after frame ([0-9]+)$/\1/p' "$work/err")
  [ -n "$traced" ] && [ -n "$shot" ] || fail "want a line for the trace and one for the frames; got: $(cat "$work/err")"
  ends_whole_line "$full/r.trace"
  [ "$(wc -l <"$full/r.trace")" -eq "$traced" ] || fail "the trace holds $(wc -l <"$full/r.trace") frames, not $traced"
  [ "$(ls "$full/frames")" = "$(seq -f 'frame-%05g.png' 1 "$shot")" ] ||
    fail "the frames folder holds $(ls "$full/frames" | tr '\n' ' '), not frames 1 to $shot"
  echo "citywalk-replay: the trace stops after frame $traced, the frames after $shot, the run goes on"

  if command -v ffmpeg >/dev/null; then
    full_disk 16
    dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null
    said "$replay" --dir "$scene" --frames 60 --screen 160x120 --video "$full/v.webm"
    status=$?
    [ "$status" -eq 1 ] || fail "citywalk-replay --video: exit status $status"
    one_line '^citywalk-replay: .*v\.webm: ffmpeg .*; no video written$'
    [ "$(ls -A "$full")" = filler ] || fail "citywalk-replay --video left $(ls -A "$full")"
    echo "citywalk-replay --video: $(cat "$work/err")"
  fi
}

program() {
  local citywalk=$1 replay=$2 scene=$3 status
  private_display
  full_disk 64
  start_program "$work" "$citywalk" --record "$full/s.rec" --trace "$full/s.trace" "$scene"
  wait_lines "$work/out.log" 2
  kill -0 "$pid" 2>/dev/null || fail "the program ended after the disk filled"
  kill -TERM "$pid"
  end_status 10
  [ "$status" -eq 143 ] || fail "exit status $status after SIGTERM"
  cp "$work/out.log" "$work/err"
  local traced recorded
  traced=$(sed -nE 's/^citywalk: .*s\.trace: cannot write \(No space left on device\); the trace stops after frame ([0-9]+)$/\1/p' "$work/err")
  recorded=$(sed -nE 's/^citywalk: .*s\.rec: cannot write \(No space left on device\); the recording stops after frame ([0-9]+)$/\1/p' "$work/err")
  [ "$(wc -l <"$work/err")" -eq 2 ] && [ -n "$traced" ] && [ -n "$recorded" ] ||
    fail "want a line for the trace and one for the recording; got: $(cat "$work/err")"
  ends_whole_line "$full/s.rec"
  ends_whole_line "$full/s.trace"
  [ "$(wc -l <"$full/s.trace")" -eq "$traced" ] || fail "the trace holds $(wc -l <"$full/s.trace") frames, not $traced"
  echo "the trace stops after frame $traced, the recording after frame $recorded"
  replays_to_trace "$replay" "$full/s.rec" "$full/s.trace" "$scene" 5
}

part=$1
shift
"$part" "$@"
echo "PASS"
