#!/usr/bin/env bash
# In Xvfb frames come no faster than its 60 Hz refresh, by the swap's wait or the game's sleep;
# only an upper bound: a loaded machine slows, never hastens.   Usage: pacing_test.sh BUILD_DIR
. "$(dirname "$0")/xwindow.sh" "$1"
frames=200
start=$(date +%s%N)
start_game --frames $frames --seed 3 --dump-state "$work/dump.json"
expect_exit 0 "$frames frames"
end=$(date +%s%N)
read -r frame startup paused < <(dump "$work/dump.json" /frame /startup_ms /paused_ms)
# the loop's own time: the run less start-up (to the first frame) and the slept pauses
awk -v s="$start" -v e="$end" -v n="$frames" -v f="$frame" -v up="$startup" -v p="$paused" 'BEGIN {
  t = (e - s) / 1e9 - up / 1000 - p / 1000; rate = (n - 1) / t
  printf "%d frames in %.2f s: %.1f a second\n", n - 1, t, rate; exit !(f == n && rate <= 66) }' ||
  fail "frames came too fast"
echo "PASSED"
