# Shared by the real-window tests: an Xvfb server, the game in it, xdotool input.
# Source it, then: start_xvfb; start_game ARGS...; press KEY; refocus; expect_exit 0 WHAT.
set -u
exe="$build/kelvarot"
work=$(mktemp -d)
game=""
xvfb=""
trap 'kill $game $xvfb 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  mkdir -p /tmp/kelvarot-failed && cp "$work"/*.png "$work"/*.txt /tmp/kelvarot-failed/ 2>/dev/null
  [ -f "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"
  exit 1
}

start_xvfb() {
  if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIPPED: Xvfb or xdotool is not installed"; exit 77
  fi
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "SKIPPED: Xvfb could not start: $(cat "$work/xvfb.log")"; exit 77; }
  export DISPLAY=":$(cat "$work/display")"
  unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

geometry() {  # prints "X Y W H" of the game window
  xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,p,","); x=p[1]; y=p[2]}
    /Geometry/ {split($2,g,"x"); print x, y, g[1], g[2]}'
}
expect_size() {  # expect_size W H WHAT
  read -r _ _ w h < <(geometry)
  [ "$w $h" = "$1 $2" ] || fail "$3 gave a $w x $h window, not $1 x $2"
}
move_window() {  # M with the pointer at screen (X, Y) puts the window's corner there
  xdotool mousemove --sync "$1" "$2"; sleep 0.3
  press m
  read -r x y _ _ < <(geometry)
  [ "$x $y" = "$1 $2" ] || fail "M put the window at $x,$y, not $1,$2"
}

refocus() {  # the zoom and resolution keys replace the window: find the new one, focus it
  for _ in $(seq 30); do
    wid=$(xdotool search --onlyvisible --name '^KELVAROT$' 2>/dev/null | tail -n 1)
    [ -n "$wid" ] && xdotool windowfocus --sync "$wid" 2>/dev/null && { sleep 0.3; return; }
    sleep 0.1
  done
  fail "the game window could not be found and focused"
}

start_game() {
  "$exe" "$@" 2>"$work/err.txt" &
  game=$!
  timeout 20 xdotool search --sync --onlyvisible --name '^KELVAROT$' >/dev/null 2>&1 ||
    fail "no KELVAROT window appeared"
  refocus
  sleep 1.5   # the map load pauses a second before the loop starts
}

press() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; sleep 0.5; }
# Types like a person on a polled keyboard: each key held briefly, shorter
# than the editor's 120 ms pause, so it lands exactly once.
type_slowly() {
  local i c
  for ((i = 0; i < ${#1}; i++)); do
    c=${1:i:1}
    [ "$c" = " " ] && c=space
    xdotool keydown "$c" sleep 0.1 keyup "$c"; sleep 0.25
    # the game's own "A" (400 ms) and "N" (350 ms) bindings act on these too
    case $c in a | n) sleep 0.5 ;; esac
  done
}
click() { xdotool mousedown "$1"; sleep 0.3; xdotool mouseup "$1"; sleep 0.3; }
point() {  # pointer at framebuffer pixel (X, Y), origin bottom-left, for a window at zoom Z
  read -r x y _ h < <(geometry)
  xdotool mousemove --sync $((x + $1 * $3 + $3 / 2)) $((y + h - $2 * $3 - $3 / 2))
  sleep 0.3
}

expect_exit() {  # expect_exit STATUS WHAT
  for _ in $(seq 150); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game" 2>/dev/null && fail "the game did not end after $2"
  wait "$game"; local status=$?
  [ "$status" = "$1" ] || fail "$2 gave status $status, not $1"
}
