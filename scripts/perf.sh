#!/usr/bin/env bash
# Runs every benchmark in bench/ and prints what each measured, then the
# speed and memory goals beside the figures of this machine. Times are CPU
# time of the measuring thread, or ratios of two things timed alternately in
# one run: wall-clock medians swing with the load of a shared machine.
# Usage: scripts/perf.sh [repetitions]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-5}
bash scripts/install-deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for exe in build/bench/*_bench; do
  b=$(basename "$exe")
  echo "running $b ..." >&2
  KV_DATA_DIR="$PWD/build" "$exe" --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$out/$b.json" 2>/dev/null
done
echo "running start-up ..." >&2
for i in $(seq "$reps"); do
  ./build/kelvarot --headless --frames 1 --seed "$i" --dump-state "$out/start$i.json" 2>/dev/null
done
python3 - "$out" "$reps" <<'PY'
import glob, json, os, statistics, sys
out, reps = sys.argv[1], int(sys.argv[2])
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

medians = {}  # benchmark name -> its median entry, every benchmark that ran
for path in sorted(glob.glob(os.path.join(out, "*_bench.json"))):
    for b in json.load(open(path))["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b.get("run_name", b["name"]).split("/min_time:")[0]] = b

def cpu_ms(name):
    if name not in medians:
        raise SystemExit(f"perf.sh: no median for {name}")
    b = medians[name]
    return b["cpu_time"] * scale[b["time_unit"]]

skip = {"cpu_time", "real_time", "time_unit", "iterations", "name", "run_name", "run_type",
        "repetitions", "repetition_index", "threads", "aggregate_name", "aggregate_unit",
        "family_index", "per_family_instance_index"}
print(f"\nevery benchmark: median of {reps} repetitions, CPU time of the benchmark's thread\n")
width = max(len(n) for n in medians)
for name, b in medians.items():
    extra = "  ".join(f"{k}={v:.4g}" for k, v in b.items() if k not in skip and isinstance(v, (int, float)))
    print(f"  {name.ljust(width)}  {cpu_ms(name):10.4f} ms  {extra}")

rows = []
def row(goal, what, measured, limit, unit, better="lower"):
    ok = measured <= limit if better == "lower" else measured >= limit
    rows.append((goal, what, f"{measured:.3f} {unit}", f"{'<=' if better == 'lower' else '>='} {limit} {unit}",
                 f"{measured / limit:.2f}", "met" if ok else "MISSED"))

row("P1", "full window, plain ground: literal scan / ours",
    cpu_ms("BM_LiteralScanSearch/0") / cpu_ms("BM_PathSearch/0"), 30, "x", "higher")
row("P1", "full window, countryside: literal scan / ours",
    cpu_ms("BM_LiteralScanSearch/3") / cpu_ms("BM_PathSearch/3"), 30, "x", "higher")
row("P2", "first planning tick, map 8 (254 planners), CPU", cpu_ms("BM_FirstPlanningTick"), 1.5, "ms")
row("P3", "overworld drawing without present, 640x480, CPU", cpu_ms("BM_OverworldDrawing"), 1, "ms")
row("P3", "screensaver renewal frame, CPU", cpu_ms("BM_ScreensaverRenewalFrame"), 3, "ms")
# the view and a bare present timed alternately, so both feel the same load
pair = medians["BM_BlockViewBesideBarePresent/0"]
row("P3", "block view frame / bare present, enclosed dungeon", pair["ratio"], 2, "x")
starts = [json.load(open(p)) for p in sorted(glob.glob(os.path.join(out, "start*.json")))]
row("P4", "start-up to first frame (map pause excluded), wall",
    statistics.median(s["startup_ms"] for s in starts), 300, "ms")
row("P4", "peak resident memory after one frame", max(s["peak_rss_kb"] for s in starts) / 1024, 170, "MiB")

print(f"\ngoals, on {os.cpu_count()} cores\n")
head = ("goal", "what", "measured", "target", "ratio", "")
widths = [max(len(r[i]) for r in rows + [head]) for i in range(6)]
for r in [head] + rows:
    print("  ".join(c.ljust(w) for c, w in zip(r, widths)))
print(f"\n(the first planning tick by literal scan: {cpu_ms('BM_FirstPlanningTickLiteralScan/iterations:3'):.0f} ms "
      f"of CPU; bare present {pair['present_ms']:.3f} ms)")
PY
