#!/usr/bin/env bash
# The game in a real X window (Xvfb), driven by xdotool like a player would.
# Usage: real_window_test.sh BUILD_DIR
build=$(cd "$1" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
closer="$build/tests/wm_close"
start_xvfb

# 1. zoom keys, the M move, and a close request through the window system
start_game --seed 1 --dump-state "$work/dump.json"
read -r x y w h < <(geometry)
[ "$w $h" = "1280 960" ] || fail "start window is $w x $h, not 1280 x 960"
press F1; refocus
read -r x y w h < <(geometry)
[ "$w $h" = "640 480" ] || fail "F1 gave $w x $h, not 640 x 480"
press F2; refocus
read -r x y w h < <(geometry)
[ "$w $h" = "1280 960" ] || fail "F2 gave $w x $h, not 1280 x 960"
xdotool mousemove --sync 200 150; sleep 0.3
press m
read -r x y w h < <(geometry)
[ "$x $y" = "200 150" ] || fail "M put the window at $x,$y, not 200,150"
"$closer" "$wid" || fail "could not send the close request"
wait_exit; status=$?
[ "$status" = 0 ] || fail "closing the window gave status $status"
grep -q '"quit":1' "$work/dump.json" || fail "no quit in the dump"
echo "ok: F1/F2 zoom, M move, close request -> status 0"

# 2. Escape quits with status 0
start_game --seed 1
press Escape
wait_exit; status=$?
[ "$status" = 0 ] || fail "Escape gave status $status"
echo "ok: Escape -> status 0"
echo "PASSED"
