#!/usr/bin/env bash
# In an X window whose swaps do not wait (Xvfb), frames come no faster than the
# display's refresh (60 Hz there). Only an upper bound is checked: a loaded
# machine can make the game slower, never faster.   Usage: pacing_test.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
work=$(mktemp -d)
xvfb=""
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; [ -f "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"; exit 1; }
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed"; exit 77; }
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "SKIPPED: no Xvfb: $(cat "$work/xvfb.log")"; exit 77; }
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

frames=200
start=$(date +%s%N)
timeout 60 "$build/kelvarot" --frames $frames --seed 3 --dump-state "$work/dump.json" \
  2>"$work/err.txt" || fail "the windowed run failed"
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
