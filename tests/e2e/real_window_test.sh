#!/usr/bin/env bash
# The game in a real X window (Xvfb), driven by xdotool like a player would. The
# session, recorded with --record, replays headless with the same seed to the same state.
# Usage: real_window_test.sh BUILD_DIR
build=$(cd "$1" && pwd)
. "$(dirname "$0")/xvfb_lib.sh"
start_xvfb

start_game --seed 42 --record "$work/rec.txt" --dump-state "$work/live.json"
expect_size 1280 960 "the start"
point 320 240 2; click 3            # order unit 1 to the middle of the view
press bracketright; press bracketleft
# a key typed while another window has the keyboard never reaches the game
xdotool mousemove --sync 1500 1100 windowfocus "$(xdotool search --maxdepth 0 --name '')"
press Escape
refocus; press F1; refocus; expect_size 640 480 "F1 after an Escape typed elsewhere"
point 100 300 1; click 1
press Tab; type_slowly env4block; press Return; press Tab
press Up; press Up; press KP_Add; press 3
press F2; refocus; expect_size 1280 960 F2
move_window 200 150
press Escape
expect_exit 0 Escape
grep -q ' key TAB down' "$work/rec.txt" || fail "no Tab recorded: $(head -20 "$work/rec.txt")"
timeout 120 "$exe" --headless --seed 42 --script "$work/rec.txt" \
  --dump-state "$work/replay.json" 2>"$work/err.txt" || fail "the replay failed"
python3 - "$work/live.json" "$work/replay.json" <<'PY' || fail "the replay differs from the session"
import json, sys
live, replay = (json.load(open(p)) for p in sys.argv[1:3])
diff = [k for k in live if live[k] != replay.get(k) and k not in ("startup_ms", "peak_rss_kb")]
for k in diff:
    print(f"  {k}: session {str(live[k])[:200]} / replay {str(replay.get(k))[:200]}")
# what the polled editor caught of the typing depends on timing; it must be
# some of it, and the replay must have caught exactly the same
assert live["console"]["line"].startswith("e") and live["quit"] == 1, live["console"]
sys.exit(1 if diff else 0)
PY
echo "ok: zoom, M move, Escape typed elsewhere ignored; the recording replays to the same state"

start_game --seed 1 --dump-state "$work/dump.json"
"$build/tests/wm_close" "$wid" || fail "could not send the close request"
expect_exit 0 "closing the window"
grep -q '"quit":1' "$work/dump.json" || fail "no quit in the dump"
echo "PASSED"
