#!/usr/bin/env bash
# In an X window (Xvfb), frames come no faster than the display's refresh (60 Hz
# there): Mesa's swap waits there, and the game sleeps where a swap does not, so
# this sees only a run that does neither. Only an upper bound is checked: a loaded
# machine can make the game slower, never faster.   Usage: pacing_test.sh BUILD_DIR
. "$(dirname "$0")/xwindow.sh" "$1"
frames=200
start=$(date +%s%N)
start_game --frames $frames --seed 3 --dump-state "$work/dump.json"
expect_exit 0 "$frames frames"
end=$(date +%s%N)
python3 - "$work/dump.json" "$start" "$end" "$frames" <<'PY' || fail "frames came too fast"
import json, sys
d = json.load(open(sys.argv[1]))
start, end, frames = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
# the loop's own time: the run less start-up (to the first frame) and the slept pauses
loop_s = (end - start) / 1e9 - d["startup_ms"] / 1000 - d["paused_ms"] / 1000
rate = (frames - 1) / loop_s
print(f"{frames - 1} frames in {loop_s:.2f} s: {rate:.1f} a second")
sys.exit(0 if d["frame"] == frames and rate <= 60 * 1.1 else 1)
PY
echo "PASSED"
