#!/usr/bin/env bash
# Settings kept from run to run, and queued typing, in a real X window.   Usage: comfort_test.sh BUILD_DIR
. "$(dirname "$0")/xwindow.sh" "$1"
export KV_KEEP_SETTINGS=1 XDG_CONFIG_HOME="$work/config"
ini="$XDG_CONFIG_HOME/kelvarot/settings.ini"
quit() { xdotool keydown Escape; expect_exit 0 "$1"; xdotool keyup Escape; }

# 1. the zoom chosen in each view is written at exit and opens the views of the next run
start_game --seed 5
press F1; refocus; expect_size 640 480 F1
press F5; refocus; press F3; refocus; expect_size 960 720 "F3 in the block view"
quit "the first run"
grep -qx "zoom_overworld = 1" "$ini" && grep -qx "zoom_block = 3" "$ini" ||
  fail "settings.ini does not hold the zooms chosen: $(cat "$ini" 2>&1)"
start_game --seed 5 --dump-state "$work/live.json"
expect_size 640 480 "the overworld's remembered zoom"
press F5; refocus; expect_size 960 720 "the block view's remembered zoom"
quit "the second run"
# the recording carries the settings: its replay is the same with the file and without it
replay "$work/with.json"
mv "$ini" "$work/kept.ini"
replay "$work/without.json"
dump "$work/live.json" "same=$work/with.json" "same=$work/without.json" "/zoom=3" ||
  fail "the replay differs from the session"
echo "ok: zooms written at exit, read at the next start; the replay needs no settings file"

# 2. a malformed file: one line, the game's own zooms, the file left as it was
printf 'zoom_overworld = 9\n' >"$ini"
start_game --seed 5
expect_size 1280 960 "a malformed settings file"
quit "the run with a malformed file"
[ "$(grep -c "settings.ini' ignored" "$work/err.txt")" = 1 ] || fail "no one line for the bad file"
[ "$(cat "$ini")" = "zoom_overworld = 9" ] || fail "the malformed file was overwritten"
echo "ok: a malformed settings file is ignored with one line"

# 3. (the malformed file stays, ignored) queued typing at 8 and 15 characters a second arrives exactly; no game key acts meanwhile
for delay in 125 66; do
  start_game --seed 9 --queued-typing --dump-state "$work/typed.json"
  press Tab
  xdotool type --delay $delay "env4teleport 500 600 7"
  press Return
  quit "typing at a $delay ms delay"
  dump "$work/typed.json" "/console/line=env4teleport 500 600 7" /unit/1/x=500 /unit/1/y=600 \
    /unit/1/level=7 /minimap/shown=1 /minimap/x=518 /tick_divisor=30 ||
    fail "typing at a $delay ms delay did not arrive exactly, or acted as game keys"
  replay "$work/replayed.json"
  dump "$work/typed.json" "same=$work/replayed.json" || fail "the queued typing does not replay"
  echo "ok: typed at a $delay ms delay, arrived exactly and replayed"
done
