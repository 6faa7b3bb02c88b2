#!/usr/bin/env bash
# The game in a real X window (Xvfb), driven by xdotool like a player would.
# Usage: real_window_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
exe="$build/kelvarot"
closer="$build/tests/wm_close"
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "SKIPPED: Xvfb or xdotool is not installed"; exit 77
fi
work=$(mktemp -d)
trap 'kill $game $xvfb 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  echo "SKIPPED: Xvfb could not start: $(cat "$work/xvfb.log")"; exit 77
fi
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
fail() { echo "FAILED: $*"; exit 1; }

geometry() {  # prints "X Y W H" of the game window
  xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,p,","); x=p[1]; y=p[2]}
    /Geometry/ {split($2,g,"x"); print x, y, g[1], g[2]}'
}
start_game() {
  "$exe" --seed 1 --dump-state "$work/dump.json" "$@" 2>"$work/err.txt" &
  game=$!
  wid=$(timeout 20 xdotool search --sync --name '^KELVAROT$' | head -n 1)
  [ -n "$wid" ] || fail "no KELVAROT window appeared: $(cat "$work/err.txt")"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  sleep 1.5   # the map load pauses a second before the loop starts
}
press() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; sleep 0.5; }
refocus() {  # the zoom keys replace the window: find the new one and give it the keyboard
  for _ in $(seq 30); do
    wid=$(xdotool search --onlyvisible --name '^KELVAROT$' 2>/dev/null | tail -n 1)
    [ -n "$wid" ] && xdotool windowfocus --sync "$wid" 2>/dev/null && { sleep 0.3; return; }
    sleep 0.1
  done
  fail "the re-created window could not be found and focused"
}
wait_exit() {
  for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game" 2>/dev/null && fail "the game did not end"
  wait "$game"
}

# 1. zoom keys, the M move, and a close request through the window system
start_game
read -r x y w h < <(geometry)
[ "$w $h" = "1280 960" ] || fail "start window is $w x $h, not 1280 x 960"
press F1
refocus
read -r x y w h < <(geometry)
[ "$w $h" = "640 480" ] || fail "F1 gave $w x $h, not 640 x 480"
press F2
refocus
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
start_game
press Escape
wait_exit; status=$?
[ "$status" = 0 ] || fail "Escape gave status $status"
echo "ok: Escape -> status 0"
echo "PASSED"
