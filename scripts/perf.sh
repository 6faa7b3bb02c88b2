#!/usr/bin/env bash
# Runs every benchmark and prints the speed and memory goals beside what this
# machine measures. Usage: scripts/perf.sh [repetitions]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-5}
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for b in pathsearch_bench movement_bench overworld_bench blockview_bench frame_bench; do
  echo "running $b ..." >&2
  KV_DATA_DIR="$PWD/build" ./build/bench/$b --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$out/$b.json" 2>/dev/null
done
echo "running start-up ..." >&2
for i in $(seq "$reps"); do
  ./build/kelvarot --headless --frames 1 --seed "$i" --dump-state "$out/start$i.json" 2>/dev/null
done
python3 - "$out" "$reps" <<'PY'
import glob, json, os, statistics, sys
out, reps = sys.argv[1], int(sys.argv[2])

def median_entry(bench, name):
    data = json.load(open(os.path.join(out, bench + ".json")))
    for b in data["benchmarks"]:
        run = b.get("run_name", b["name"]).split("/min_time:")[0]
        if run == name and b.get("aggregate_name") == "median":
            return b
    raise SystemExit(f"{bench}: no median for {name}")

def median(bench, name):
    b = median_entry(bench, name)
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale, b["cpu_time"] * scale

rows = []
def row(goal, what, measured, limit, unit, better="lower"):
    ok = measured <= limit if better == "lower" else measured >= limit
    rows.append((goal, what, f"{measured:.3f} {unit}", f"{'<=' if better == 'lower' else '>='} {limit} {unit}",
                 f"{measured / limit:.2f}", "met" if ok else "MISSED"))

heap, _ = median("pathsearch_bench", "BM_HeapSearch/0")
scan, _ = median("pathsearch_bench", "BM_LinearScanReference/0")
row("P1", "full window, plain ground: linear scan / ours", scan / heap, 30, "x", "higher")
heap3, _ = median("pathsearch_bench", "BM_HeapSearch/3")
scan3, _ = median("pathsearch_bench", "BM_LinearScanReference/3")
row("P1", "full window, countryside: linear scan / ours", scan3 / heap3, 30, "x", "higher")
tick, tick_cpu = median("movement_bench", "BM_WorstMovementTick")
scan_tick, _ = median("movement_bench", "BM_WorstMovementTickLinearScan/iterations:3")
row("P2", "worst movement tick, map 8 (254 planners)", tick, 10, "ms")
ow, _ = median("overworld_bench", "BM_OverworldFrame")
row("P3", "overworld frame without present, 640x480", ow, 1, "ms")
ss, _ = median("overworld_bench", "BM_ScreensaverRenewalFrame")
row("P3", "screensaver renewal frame", ss, 3, "ms")
# view and present timed alternately, so both feel the same load
pair = median_entry("blockview_bench", "BM_ViewAgainstPresent/0")
bare = pair["present_ms"]
row("P3", "block view frame / bare present, enclosed dungeon", pair["ratio"], 2, "x")
starts = [json.load(open(p)) for p in sorted(glob.glob(os.path.join(out, "start*.json")))]
row("P4", "start-up to first frame (map pause excluded)", statistics.median(s["startup_ms"] for s in starts), 300, "ms")
row("P4", "peak resident memory", max(s["peak_rss_kb"] for s in starts) / 1024, 200, "MB")

print(f"\nmedians of {reps} repetitions, wall-clock time, on {os.cpu_count()} cores\n")
widths = [max(len(r[i]) for r in rows + [("goal", "what", "measured", "target", "ratio", "")]) for i in range(6)]
head = ("goal", "what", "measured", "target", "ratio", "")
for r in [head] + rows:
    print("  ".join(c.ljust(w) for c, w in zip(r, widths)))
print(f"\n(movement tick CPU time {tick_cpu:.2f} ms, the same searches by linear scan "
      f"{scan_tick:.0f} ms; bare present {bare:.3f} ms)")
PY
