#!/usr/bin/env bash
# Runs every benchmark in bench/ and prints what each measured, then the
# speed and memory goals beside the figures of this machine. Times are CPU
# time of the measuring thread, or ratios of two things timed alternately in
# one run: wall-clock medians swing with the load of a shared machine.
# The movement ticks and frames are measured in 20,000-frame headless games on seeds 5, 6
# and 11 at tick divisors 10 and 30, from the figures of their state dumps; start-up and
# the windowed figures in a real window under Xvfb (skipped, saying so, without it).
# Usage: scripts/perf.sh [repetitions] [frames]   (defaults 5 and 20000; repetitions >= 2)
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-5}
frames=${2:-20000}
if [ "$reps" -lt 2 ]; then
  echo "perf.sh: repetitions must be at least 2 (a median of one says little)" >&2
  exit 2
fi
bash scripts/install-deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
xvfb=()
if command -v xvfb-run >/dev/null && command -v Xvfb >/dev/null; then
  xvfb=(xvfb-run -a -s "-screen 0 1600x1200x24")
fi
for exe in build/bench/*_bench; do
  b=$(basename "$exe")
  run=()
  if [ "$b" = present_bench ]; then
    # presents into a real window
    if [ ${#xvfb[@]} -eq 0 ]; then
      echo "skipping $b: no Xvfb" >&2
      continue
    fi
    run=("${xvfb[@]}")
  fi
  echo "running $b ..." >&2
  KV_DATA_DIR="$PWD/build" "${run[@]}" "$exe" --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$out/$b.json" 2>/dev/null ||
    echo "$b failed; its figures are left out" >&2
done
echo "running start-up ..." >&2
for i in $(seq "$reps"); do
  ./build/kelvarot --headless --frames 1 --seed "$i" --dump-state "$out/start$i.json" 2>/dev/null
done
printf '0 tap 1\n' >"$out/divisor10.txt"  # key 1: a tick every 10 frames
: >"$out/divisor30.txt"                   # the default
if [ ${#xvfb[@]} -gt 0 ]; then
  echo "running windowed start-up, block view opening and a $frames-frame windowed game ..." >&2
  # one X server for all: the first opening of the block view is the F5 pass and the pass
  # after it, measured as the process CPU beside a run that stays in the overworld
  printf '2 tap F5\n' >"$out/f5.txt"
  printf '0 pointer 320 240\n' >"$out/stay.txt"
  "${xvfb[@]}" bash -c '
    out=$1 reps=$2 frames=$3
    for i in $(seq "$reps"); do
      ./build/kelvarot --frames 1 --seed "$i" --dump-state "$out/wstart$i.json"
      ./build/kelvarot --frames 4 --seed "$i" --script "$out/f5.txt" --dump-state "$out/wf5-$i.json"
      ./build/kelvarot --frames 4 --seed "$i" --script "$out/stay.txt" --dump-state "$out/wstay-$i.json"
    done
    # zoom 2, the start-up default; unpaced, or the game would take minutes
    ./build/kelvarot --no-vsync --frames "$frames" --seed 5 --script "$out/divisor30.txt" \
      --dump-state "$out/window-game.json"' _ "$out" "$reps" "$frames" >/dev/null 2>&1 ||
    echo "a windowed run failed; its figures are left out" >&2
else
  echo "skipping the windowed runs: no Xvfb (install xvfb and xauth)" >&2
fi
echo "running $frames-frame games ..." >&2
# one at a time: a game beside another shares its caches, and the ticks are cache-bound
for seed in 5 6 11; do
  for divisor in 10 30; do
    # played once into a recording, then timed as a demo of it
    ./build/kelvarot --headless --frames "$frames" --seed "$seed" \
      --script "$out/divisor$divisor.txt" --record "$out/game-$seed-$divisor.rec" 2>/dev/null
    /usr/bin/time -v ./build/kelvarot --timedemo "$out/game-$seed-$divisor.rec" \
      --dump-state "$out/game-$seed-$divisor.json" >>"$out/timedemo.txt" 2>"$out/game-$seed-$divisor.time"
  done
done
sed 's/^/  /' "$out/timedemo.txt"
python3 - "$out" "$reps" "$frames" <<'PY'
import glob, json, os, re, statistics, sys
out, reps, frames = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

medians = {}  # benchmark name -> its median entry, every benchmark that ran
for path in sorted(glob.glob(os.path.join(out, "*_bench.json"))):
    try:
        benches = json.load(open(path))["benchmarks"]
    except (ValueError, KeyError):
        continue  # a benchmark program that failed
    for b in benches:
        if b.get("aggregate_name") == "median" and not b.get("error_occurred"):
            medians[b.get("run_name", b["name"]).split("/min_time:")[0]] = b

def cpu_ms(name):
    if name not in medians:
        raise SystemExit(f"perf.sh: no median for {name}")
    b = medians[name]
    return b["cpu_time"] * scale[b["time_unit"]]

def load(name):
    path = os.path.join(out, name)
    return json.load(open(path)) if os.path.exists(path) else None

skip = {"cpu_time", "real_time", "time_unit", "iterations", "name", "run_name", "run_type",
        "repetitions", "repetition_index", "threads", "aggregate_name", "aggregate_unit",
        "family_index", "per_family_instance_index"}
print(f"\nevery benchmark: median of {reps} repetitions, CPU time of the benchmark's thread\n")
width = max(len(n) for n in medians)
for name, b in medians.items():
    extra = "  ".join(f"{k}={v:.4g}" for k, v in b.items() if k not in skip and isinstance(v, (int, float)))
    print(f"  {name.ljust(width)}  {cpu_ms(name):10.4f} ms  {extra}")

rows, notes = [], []
def row(goal, what, measured, limit, unit, better="lower"):
    ok = measured <= limit if better == "lower" else measured >= limit
    rows.append((goal, what, f"{measured:.3f} {unit}", f"{'<=' if better == 'lower' else '>='} {limit} {unit}",
                 f"{measured / limit:.2f}", "met" if ok else "MISSED"))

row("P1", "full window, countryside: literal scan / ours",
    cpu_ms("BM_LiteralScanSearch/3") / cpu_ms("BM_PathSearch/3"), 30, "x", "higher")
games = []
for seed in (5, 6, 11):
    for divisor in (10, 30):
        dump = load(f"game-{seed}-{divisor}.json")
        rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)",
                        open(os.path.join(out, f"game-{seed}-{divisor}.time")).read())
        games.append((f"seed {seed:2d}, divisor {divisor}", dump["ticks"], int(rss.group(1)) / 1024))
print(f"\n{frames}-frame headless games, CPU time of the game's thread\n")
keys = ["count", "worst_cpu_ms", "p99_cpu_ms", "worst_rounds", "rounds_total", "ahead_rounds_total",
        "ahead_worst_cpu_ms", "frame_work_p99_cpu_ms", "frame_work_worst_cpu_ms"]
print("  " + "game".ljust(20) + "".join(k.rjust(24) for k in keys) + "peak_rss_mib".rjust(14))
for name, t, rss in games:
    cells = (f"{t[k]:>24.4g}" if isinstance(t[k], float) else f"{t[k]:>24}" for k in keys)
    print("  " + name.ljust(20) + "".join(cells) + f"{rss:14.1f}")
row("P2", "worst movement tick of the six games, CPU", max(t["worst_cpu_ms"] for _, t, _ in games), 1.5, "ms")
row("P2", "highest tick p99 of the six games, CPU", max(t["p99_cpu_ms"] for _, t, _ in games), 0.5, "ms")
row("P2", "highest frame work p99 (no present), CPU",
    max(t["frame_work_p99_cpu_ms"] for _, t, _ in games), 3, "ms")
row("P3", "overworld drawing without present, 640x480, CPU", cpu_ms("BM_OverworldDrawing"), 1, "ms")
row("P3", "screensaver renewal frame, CPU", cpu_ms("BM_ScreensaverRenewalFrame"), 3, "ms")
# the view and a bare present timed alternately, so both feel the same load
pair = medians["BM_BlockViewBesideBarePresent/0"]
row("P3", "block view frame / bare present, enclosed dungeon", pair["ratio"], 2, "x")
row("P3", "worst frame of the six games (no present), CPU",
    max(t["frame_work_worst_cpu_ms"] for _, t, _ in games), 3, "ms")

# Start-up: process CPU to the first presented frame; the goal leaves out the work done in
# the pause after the map load (the first planning tick's search trees).
def startups(prefix):
    ticks = [json.load(open(p))["ticks"]
             for p in sorted(glob.glob(os.path.join(out, prefix + "[0-9]*.json")))]
    if not ticks:
        return None
    return (statistics.median(t["startup_cpu_ms"] for t in ticks),
            statistics.median(t["startup_cpu_ms"] - t["map_pause_work_cpu_ms"] for t in ticks))
print(f"\nstart-up to the first presented frame, process CPU, median of {reps}\n")
for prefix, what, short in (("wstart", "windowed (Xvfb), overworld", "windowed"),
                            ("start", "headless", "headless")):
    s = startups(prefix)
    if s is None:
        print(f"  {what}: not measured (no Xvfb)")
        continue
    print(f"  {what}: {s[0]:.1f} ms, {s[1]:.1f} ms without the work in the map pause")
    row("P4", f"start-up CPU to first frame, {short} (map pause work excluded)", s[1], 60, "ms")
opened = [load(f"wf5-{i}.json") for i in range(1, reps + 1)]
stayed = [load(f"wstay-{i}.json") for i in range(1, reps + 1)]
if all(opened) and all(stayed):
    # four passes each: the F5 pass and the first block view pass against two overworld passes
    more = statistics.median(a["ticks"]["process_cpu_ms"] - b["ticks"]["process_cpu_ms"]
                             for a, b in zip(opened, stayed))
    row("P4", "block view first opening, CPU beyond the overworld's", more, 60, "ms")
else:
    notes.append("block view first opening: not measured (no Xvfb)")
row("P4", f"peak resident memory after {frames} frames, headless", max(r for _, _, r in games), 120, "MiB")
window = load("window-game.json")
if window:
    row("P4", f"peak resident memory after {frames} frames, window, zoom {window['zoom']}",
        window["peak_rss_kb"] / 1024, 140, "MiB")
else:
    notes.append("windowed peak memory: not measured (no Xvfb)")

# The present of one frame beside a bare copy of the same bytes, timed alternately.
def present(zoom):
    b = medians.get(f"BM_PresentBesideCopy/zoom:{zoom}/block:0")
    if b:
        return b["present_cpu_ms"], b["ratio"]
    p, c = medians.get(f"BM_Present/overworld/{zoom}"), medians.get(f"BM_BareCopy/overworld/{zoom}")
    if p and c:
        return cpu_ms(p["run_name"]), cpu_ms(p["run_name"]) / cpu_ms(c["run_name"])
    return None
if present(2):
    print("\npresent of an overworld frame, process CPU, median: " + ", ".join(
        f"zoom {z} {present(z)[0]:.3f} ms ({present(z)[1]:.1f}x a bare copy)" for z in (1, 2, 3) if present(z)))
    row("P5", "present at zoom 2, overworld, CPU", present(2)[0], 1.5, "ms")
    row("P5", "present / bare copy at zoom 2, overworld", present(2)[1], 3, "x")
else:
    notes.append("present per frame: not measured (no present benchmark, or no Xvfb to run it)")

print(f"\ngoals, on {os.cpu_count()} cores\n")
head = ("goal", "what", "measured", "target", "ratio", "")
widths = [max(len(r[i]) for r in rows + [head]) for i in range(6)]
for r in [head] + rows:
    print("  ".join(c.ljust(w) for c, w in zip(r, widths)))
for n in notes:
    print("  " + n)
print(f"\n(the first planning tick: {cpu_ms('BM_FirstPlanningTick'):.1f} ms of CPU searching afresh, "
      f"{cpu_ms('BM_FirstPlanningTickFromKeptTrees'):.2f} ms from the trees searching ahead grew, "
      f"{cpu_ms('BM_FirstPlanningTickLiteralScan/iterations:3'):.0f} ms by literal scan; "
      f"plain ground, literal scan / ours "
      f"{cpu_ms('BM_LiteralScanSearch/0') / cpu_ms('BM_PathSearch/0'):.1f}x, not a goal: "
      f"the scan is itself cheap there; "
      f"bare present {pair['present_ms']:.3f} ms)")
PY
