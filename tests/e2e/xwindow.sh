# The game in a real X window (Xvfb), driven by xdotool like a player; skips (77) saying why
# where Xvfb or xdotool is missing.   Sourced by the real-window tests: . xwindow.sh BUILD_DIR
# (KV_SCREEN=WxH picks the screen size, 1600x1200 by default)
set -u
build=$(cd "$1" && pwd)
exe="$build/kelvarot"
work=$(mktemp -d)
game="" xvfb="" rec="" games=0 events="" wid="" PASS=0 HELD=0
trap 'kill $game $xvfb 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  mkdir -p /tmp/kelvarot-failed && cp "$work"/*.png "$work"/*.txt /tmp/kelvarot-failed/ 2>/dev/null
  [ -f "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"
  exit 1
}
command -v xdotool >/dev/null || { echo "SKIPPED: xdotool is not installed"; exit 77; }
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed"; exit 77; }
Xvfb -displayfd 3 -screen 0 "${KV_SCREEN:-1600x1200}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "SKIPPED: no Xvfb: $(cat "$work/xvfb.log")"; exit 77; }
export DISPLAY=":$(cat "$work/display")" XDG_PICTURES_DIR="$work/shots"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

geometry() {  # prints "X Y W H" of the game window
  xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,p,","); x=p[1]; y=p[2]}
    /Geometry/ {split($2,g,"x"); print x, y, g[1], g[2]}'
}
expect_size() {  # expect_size W H WHAT
  read -r _ _ w h < <(geometry)
  [ "$w $h" = "$1 $2" ] || fail "$3 gave a $w x $h window, not $1 x $2"
}
refocus() {  # the zoom and resolution keys replace the window: find the new one, focus it
  for _ in $(seq 30); do
    wid=$(xdotool search --onlyvisible --name '^KELVAROT$' 2>/dev/null | tail -n 1)
    [ -n "$wid" ] && xdotool windowfocus --sync "$wid" 2>/dev/null && { sleep 0.3; return; }
    sleep 0.1
  done
  fail "the game window could not be found and focused"
}
start_game() {  # every game records its input: followed in its temporary; WRAP: run under
  rec="$work/rec$((++games)).txt"
  # each game its own settings, unless the test keeps them from game to game
  [ -n "${KV_KEEP_SETTINGS:-}" ] || export XDG_CONFIG_HOME="$work/config$games"
  ${WRAP:-} "$exe" --record "$rec" "$@" 2>"$work/err.txt" &
  game=$!
  [ -n "$events" ] && exec {events}<&-
  exec {events}< <(until t=$(ls "$work/.${rec##*/}".* 2>/dev/null) || ! kill -0 $game; do
    sleep 0.05; done; tail -n +1 --pid=$game -f "$t")
  timeout 20 xdotool search --sync --onlyvisible --name '^KELVAROT$' >/dev/null 2>&1 ||
    fail "no KELVAROT window appeared"
  refocus
  next_event "the first pass" 'pointer .*'  # after the map load's one-second pause
}
expect_exit() {  # expect_exit STATUS WHAT
  for _ in $(seq 150); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game" 2>/dev/null && fail "the game did not end after $2"
  wait "$game"; local status=$?
  [ "$status" = "$1" ] || fail "$2 gave status $status, not $1"
}
next_event() {  # next_event WHAT PATTERN: waits for the game's next recorded PATTERN; PASS is its pass
  local line
  while read -r -t 30 -u "$events" line; do
    [[ $line =~ ^([0-9]+)\ $2$ ]] && { PASS=${BASH_REMATCH[1]}; return; }
  done
  fail "the game never saw $1 ($2)"
}
# replay FILE [N]: the last recording headless to the end of pass N (or all), dumped into FILE
replay() {
  timeout 120 "$exe" --headless --script "$rec" ${2:+--frames $(($2 + 1))} \
    --dump-state "$1" 2>"$work/err.txt" || fail "the replay failed"
}
# hold KEY SCRIPT_KEY, or hold BUTTON left|right (xdotool 1, 3): down until the game has
# polled it down, released at once until polled up; PASS is the pass it went down, HELD
# the passes that saw it down (more than one only when the release came after a pause).
hold() {
  local x=key e=key down
  [[ $2 = left || $2 = right ]] && x=mouse e=button
  xdotool "${x}down" "$1"
  next_event "$1 down" "$e $2 down"
  down=$PASS
  xdotool "${x}up" "$1"
  next_event "$1 up" "$e $2 up"
  HELD=$((PASS - down)) PASS=$down
}
script_key() {  # the input script's name of an xdotool key
  case $1 in
    Return) echo ENTER ;; bracketleft) echo LBRACKET ;; bracketright) echo RBRACKET ;;
    KP_Add) echo ADD ;; *) echo "${1^^}" ;;
  esac
}
# A key acting once per pass that sees it (a toggle): pressed until it acted an odd number of times.
press() {
  local k total=0
  k=$(script_key "$1")
  until [ $((total % 2)) = 1 ]; do
    hold "$1" "$k"
    total=$((total + HELD))
  done
}
until_pass() {  # until_pass N: taps Shift (alone it does nothing) until the game reaches pass N
  while [ "$PASS" -lt "$1" ]; do hold Shift_L SHIFT; done
}
# Types on a polled keyboard, putting right what the game took twice or erased too much.
type_slowly() {
  local line="" c k n
  while [ "$line" != "$1" ]; do
    if [ "${1:0:${#line}}" = "$line" ]; then
      c=${1:${#line}:1}
      [ "$c" = " " ] && k=space || k=$c
      hold "$k" "$(script_key "$k")"
      for ((n = 0; n < HELD; n++)); do line+=$c; done
    else
      hold BackSpace BACKSPACE
      line=${line:0:$((${#line} > HELD ? ${#line} - HELD : 0))}
    fi
  done
}
point() {  # pointer at framebuffer pixel (X, Y), origin bottom-left, for a window at zoom Z
  read -r x y _ h < <(geometry)
  xdotool mousemove --sync $((x + $1 * $3 + $3 / 2)) $((y + h - $2 * $3 - $3 / 2))
  sleep 0.3
}
dump() { "$build/tests/dump_check" "$@"; }  # dump FILE ITEM...: reads or checks a state dump

shot() {  # shot NAME CHECK...: F12, then check the new picture (each is moved out)
  local name=$1 new=""
  shift
  hold F12 F12
  for _ in $(seq 30); do
    new=$(ls "$XDG_PICTURES_DIR"/*.png 2>/dev/null | head -n 1)
    [ -n "$new" ] && break
    sleep 0.1
  done
  [ -n "$new" ] || fail "F12 wrote no screenshot at stage $name"
  mv "$new" "$work/$name.png"
  "$build/tests/picture_check" "$work/$name.png" "$@" || fail "stage $name is wrong"
  echo "ok: $name"
}
