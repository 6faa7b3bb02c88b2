#!/usr/bin/env bash
# The game in a real X window (Xvfb), driven by xdotool like a player would;
# skipped, saying why, where Xvfb cannot start.   Usage: real_window_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
exe="$build/kelvarot"
work=$(mktemp -d)
game="" xvfb="" rec="" games=0 events="" PASS=0 HELD=0
trap 'kill $game $xvfb 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  mkdir -p /tmp/kelvarot-failed && cp "$work"/*.png "$work"/*.txt /tmp/kelvarot-failed/ 2>/dev/null
  [ -f "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"
  exit 1
}
command -v xdotool >/dev/null || { echo "SKIPPED: xdotool is not installed"; exit 77; }
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
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
start_game() {  # every game records its input: the test follows what the game saw
  rec="$work/rec$((++games)).txt"
  : >"$rec"
  "$exe" --record "$rec" "$@" 2>"$work/err.txt" &
  game=$!
  [ -n "$events" ] && exec {events}<&-
  exec {events}< <(tail -n +1 --pid=$game -F "$rec" 2>/dev/null)
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
# Holds a key until the game has polled it down, releases it at once and waits
# until the game has polled it up; HELD is the number of passes that saw it down
# (more than one only when the release came later than the game's pause).
hold() {  # hold XDOTOOL_KEY SCRIPT_KEY
  local down
  xdotool keydown "$1"
  next_event "$1 down" "key $2 down"
  down=$PASS
  xdotool keyup "$1"
  next_event "$1 up" "key $2 up"
  HELD=$((PASS - down))
}
script_key() {  # the input script's name of an xdotool key
  case $1 in
    [a-z]) tr a-z A-Z <<<"$1" ;;
    space) echo SPACE ;; Return) echo ENTER ;; BackSpace) echo BACKSPACE ;; Tab) echo TAB ;;
    bracketleft) echo LBRACKET ;; bracketright) echo RBRACKET ;; KP_Add) echo ADD ;;
    Escape) echo ESCAPE ;; Up) echo UP ;; *) echo "$1" ;;
  esac
}
# A key that acts once per pass it is seen in (each toggles, or repeats what
# it did): pressed again until it has acted an odd number of times.
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
# Types like a person on a polled keyboard, following what the game took: a
# character taken more than once, or a Backspace that took too much, is put
# right until the typed part of the line is the text.
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
click() { xdotool mousedown "$1"; sleep 0.3; xdotool mouseup "$1"; sleep 0.3; }
point() {  # pointer at framebuffer pixel (X, Y), origin bottom-left, for a window at zoom Z
  read -r x y _ h < <(geometry)
  xdotool mousemove --sync $((x + $1 * $3 + $3 / 2)) $((y + h - $2 * $3 - $3 / 2))
  sleep 0.3
}
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
  python3 "$(dirname "$0")/picture_check.py" "$work/$name.png" "$@" || fail "stage $name is wrong"
  echo "ok: $name"
}

# 1. zoom keys, the M move, orders, selection and typing, recorded with --record,
# then replayed headless with the same seed to the same state
start_game --seed 42 --dump-state "$work/live.json"
expect_size 1280 960 "the start"
point 320 240 2; click 3            # order unit 1 to the middle of the view
press bracketright; press bracketleft
# a key typed while another window has the keyboard never reaches the game
xdotool mousemove --sync 1500 1100 windowfocus "$(xdotool search --maxdepth 0 --name '')"
xdotool keydown Escape; sleep 0.2; xdotool keyup Escape; sleep 0.3
refocus; press F1; refocus; expect_size 640 480 "F1 after an Escape typed elsewhere"
point 100 300 1; click 1
press Tab; type_slowly env4block; press Return; press Tab
press Up; press Up; press KP_Add; press 3
press F2; refocus; expect_size 1280 960 F2
xdotool mousemove --sync 200 150; sleep 0.3; press m   # M puts the window's corner there
read -r x y _ _ < <(geometry)
[ "$x $y" = "200 150" ] || fail "M put the window at $x,$y, not 200,150"
xdotool keydown Escape                     # the game ends in the pass that sees it
expect_exit 0 Escape
xdotool keyup Escape
timeout 120 "$exe" --headless --seed 42 --script "$rec" \
  --dump-state "$work/replay.json" 2>"$work/err.txt" || fail "the replay failed"
python3 - "$work/live.json" "$work/replay.json" <<'PY' || fail "the replay differs from the session"
import json, sys
live, replay = (json.load(open(p)) for p in sys.argv[1:3])
diff = [k for k in live if live[k] != replay.get(k) and k not in ("startup_ms", "peak_rss_kb", "ticks")]
# what the polled editor caught of the typing depends on timing; it must be
# some of it, and the replay must have caught exactly the same
if diff or not live["console"]["line"].startswith("e"):
    sys.exit("; ".join(f"{k}: {str(live[k])[:200]} / {str(replay.get(k))[:200]}" for k in diff))
PY
echo "ok: zoom, M, Escape elsewhere ignored; the recording replays to the same state"

# 2. a visit with a screenshot (F12) at each stage checked for what it must show:
# the minimap, the block view with a walk and mouse look, orders, the command
# line, the screensaver; a close request through the window system ends it
start_game --seed 4 --dump-state "$work/dump.json"
shot start size=640x480 banner yellow_text terrain minimap=518,338
point 100 100 2; press n; press n         # hide the minimap and show it at the pointer
shot minimap_moved minimap=100,100 no_minimap=518,338
point 120 130 2; click 3                  # jump the view to that block

press F5; refocus                         # the block view, 320 x 240 at zoom 2
shot block size=320x240 yellow_text bricks
point 160 90 2
xdotool mousedown 1; sleep 1.5; xdotool mouseup 1; sleep 0.3   # walk, looking level
press F6; refocus; expect_size 640 480 F6  # back to the overworld at zoom 1
point 320 240 1; click 3                  # order the selected unit (1)
shot orders size=640x480 terrain cross=320,240

press Tab
type_slowly env4block; press Return
shot command_line white_prompt terrain
for _ in $(seq 12); do press BackSpace; done
# a teleport into the underworld, onto a cave cell (never a wall) so the view has ground
read -r tx ty < <(python3 -c "
d = open('$build/map/8.overworld', 'rb').read()
print(*next((x, y) for y in range(600, 1000) for x in range(500, 900)
            if d[2 * 1048576 + y * 1024 + x] not in (0, 61)))")
type_slowly "env4teleport $tx $ty 2"; press Return
for _ in $(seq 25); do press BackSpace; done
type_slowly screensavertoggle; press Return
until_pass $(((PASS / 50 + 1) * 50 + 1))  # the screensaver renews its picture every 50 passes
shot screensaver_on screensaver
press Return                              # the line stays: Enter runs it again
shot screensaver_off terrain
press Tab
point 40 300 1; click 1                   # a left click: selects whoever stands there
press bracketright                        # then the next units up (60 ms apart while held)
"$build/tests/wm_close" "$wid" || fail "could not send the close request"
expect_exit 0 "closing the window"
python3 - "$work/dump.json" <<'PY' || fail "the final state is not what the visit did"
import json, sys
d = json.load(open(sys.argv[1]))
u1 = next(u for u in d["units"] if u["index"] == 1)
look = (d["camera"]["yaw"], d["camera"]["pitch"])
wrong = [what for what, bad in [
    ("no quit", d["quit"] != 1), ("screensaver still on", d["screensaver"] != 0),
    ("']' left no unit selected", d["selected_unit"] < 1),
    ("not 640 wide at zoom 1", (d["zoom"], d["width"]) != (1, 640)),
    ("command line still open", d["console"]["open"] != 0),
    ("unit 1 did not walk", u1["walk_phase"] <= 0),
    (f"mouse look gave {look}", look != (-300, -90)),
    # only the teleport changes a unit's level (it may walk on from there: it has an order)
    (f"the teleport left unit 1 at {(u1['x'], u1['y'], u1['level'])}", u1["level"] != 2)] if bad]
sys.exit("  " + "; ".join(wrong) if wrong else 0)
PY
echo "PASSED"
