#!/bin/bash
# Closing the program's window as a window manager would (WM_DELETE_WINDOW) ends the program
# with exit status 0 by the same teardown as Esc.
#   citywalk_close.sh CITYWALK CLOSE_REQUEST
# Exit status 77 (skipped) when there is no X display or xdotool is missing.
set -u
# shellcheck source=tests/window/driver.sh
. "$(dirname "$0")/driver.sh"

citywalk=$1
close_request=$2

need_display xdotool
make_work
start_program "$work" "$citywalk"
find_window 300 --pid "$pid"
sleep 0.3

"$close_request" "$wid" || fail "the close request could not be sent"
wait_end 10 || fail "still running 10 s after the close request"
expect_status_zero "the close request"
echo "PASS"
