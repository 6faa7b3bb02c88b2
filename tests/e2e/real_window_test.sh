#!/usr/bin/env bash
# The game in a real X window (Xvfb), driven by xdotool like a player would.
# Usage: real_window_test.sh BUILD_DIR
build=$(cd "$1" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
start_xvfb

# 1. zoom keys, the M move, and a close request through the window system
start_game --seed 1 --dump-state "$work/dump.json"
expect_size 1280 960 "the start"
press F1; refocus; expect_size 640 480 F1
press F2; refocus; expect_size 1280 960 F2
move_window 200 150
"$build/tests/wm_close" "$wid" || fail "could not send the close request"
expect_exit 0 "closing the window"
grep -q '"quit":1' "$work/dump.json" || fail "no quit in the dump"
echo "ok: F1/F2 zoom, M move, close request -> status 0"

# 2. a key typed while another window has the keyboard never reaches the game
start_game --seed 1
xdotool mousemove --sync 1500 1100 windowfocus "$(xdotool search --maxdepth 0 --name '')"
press Escape
refocus; press F1; refocus; expect_size 640 480 "F1 after an Escape typed elsewhere"
press Escape
expect_exit 0 Escape
echo "ok: Escape typed elsewhere ignored; Escape in the game -> status 0"
echo "PASSED"
