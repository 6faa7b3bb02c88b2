#!/usr/bin/env bash
# A whole visit in a real window: orders, selection, the minimap, the block
# view with a walk and mouse look, the command line, the screensaver and
# Escape; a screenshot (F12) at each stage is checked for what that stage must
# show. Zoom keys and the window move are real_window_test.sh's.
# Usage: tour_test.sh BUILD_DIR
build=$(cd "$1" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
start_xvfb
export XDG_PICTURES_DIR="$work/shots"

shot() {  # shot NAME CHECK...: F12, then check the new picture (each is moved out)
  local name=$1 new=""
  shift
  press F12
  for _ in $(seq 30); do
    new=$(ls "$XDG_PICTURES_DIR"/*.png 2>/dev/null | head -n 1)
    [ -n "$new" ] && break
    sleep 0.1
  done
  [ -n "$new" ] || fail "F12 wrote no screenshot at stage $name"
  mv "$new" "$work/$name.png"
  python3 "$(dirname "$0")/picture_check.py" "$work/$name.png" "$@" ||
    fail "stage $name does not show what it should"
  echo "ok: $name"
}

start_game --seed 4 --dump-state "$work/dump.json" --record "$work/rec.txt"
shot start size=640x480 yellow_text terrain minimap=518,338
point 100 100 2; press n; press n         # hide the minimap and show it at the pointer
shot minimap_moved minimap=100,100 no_minimap=518,338
point 120 130 2; click 3                  # jump the view to that block

press F5; refocus                         # the block view, 320 x 240 at zoom 2
shot block size=320x240 yellow_text bricks
point 160 90 2
xdotool mousedown 1; sleep 1.5; xdotool mouseup 1; sleep 0.3   # walk, looking level

press F6; refocus; expect_size 640 480 F6  # back to the overworld at zoom 1
point 320 240 1; click 3                  # order the selected unit (1)
shot orders size=640x480 terrain yellow_text

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
type_slowly screensavertoggle; press Return; sleep 1.5   # Enter and the command pause 900 ms
shot screensaver_on screensaver
press Return; sleep 1.5                   # the line stays: Enter runs it again
shot screensaver_off terrain
press Tab

point 40 300 1; click 1                   # a left click: selects whoever stands there
press bracketright                        # then the next units up (60 ms apart while held)

press Escape
expect_exit 0 Escape
python3 - "$work/dump.json" <<'PY' || fail "the final state is not what the tour did"
import json, sys
d = json.load(open(sys.argv[1]))
u1 = next(u for u in d["units"] if u["index"] == 1)
wrong = {"screensaver still on": d["screensaver"] != 0,
         "']' left no unit selected": d["selected_unit"] < 1,
         "not 640 wide at zoom 1": (d["zoom"], d["width"]) != (1, 640),
         "command line still open": d["console"]["open"] != 0,
         "unit 1 did not walk": u1["walk_phase"] <= 0,
         f"mouse look gave {d['camera']}": (d["camera"]["yaw"], d["camera"]["pitch"]) != (-300, -90),
         # only the teleport changes a unit's level (it may walk on from there: it has an order)
         f"the teleport left unit 1 at {(u1['x'], u1['y'], u1['level'])}": u1["level"] != 2}
if any(wrong.values()):
    sys.exit("  " + "; ".join(k for k, v in wrong.items() if v))
PY
echo "PASSED"
