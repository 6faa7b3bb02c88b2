#!/usr/bin/env python3
"""Runs the deliberate faults of scripts/mutations.txt against the test suite.

Each fault is one exact text replacement in one file. The runner copies the working
tree (uncommitted changes included) into a scratch folder, builds it once, checks that
the suite passes, then for each fault: applies it, rebuilds, runs ctest (the tests of
the fault's own folder first) and restores the file. A fault is caught, missed,
build-broken (the list should hold none) or stale (its fragment no longer matches
exactly once: re-anchor it on the line shown after "-" in the list).

  python3 scripts/mutate.py [--only PATTERN] [--jobs 2] [--out report.tsv]
  python3 scripts/mutate.py --resume report.tsv          # skip the faults already run
  python3 scripts/mutate.py --tests-from REV [--code-too] # also ask REV's tests/ about misses
  python3 scripts/mutate.py --check                      # fragments match and compile
"""
import argparse, collections, io, json, os, re, shlex, subprocess, sys, tarfile, time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FOLDERS = ["core", "render", "world", "units", "views", "console", "shell", "assetgen"]
FIELDS = ["id", "folder", "file", "description", "verdict", "caught_by", "seconds",
          "old_verdict", "old_caught_by"]
Fault = collections.namedtuple("Fault", "id folder file description old new line")


def parse_faults(path):
    """Blocks of '[id] file', a description line, '- old' lines and '+ new' lines."""
    faults, cur = [], None
    for n, raw in enumerate(path.read_text().splitlines(), 1):
        if raw.startswith("#") or not raw.strip():
            continue
        m = re.fullmatch(r"\[(\S+)\]\s+(\S+)", raw.strip())
        if m:
            folder = m.group(2).split("/")[1]
            cur = {"id": m.group(1), "folder": folder, "file": m.group(2), "desc": "",
                   "old": [], "new": [], "line": n}
            faults.append(cur)
        elif cur is None:
            sys.exit(f"{path}:{n}: text before the first fault")
        elif raw[:2] in ("- ", "+ ") or raw in ("-", "+"):
            cur["old" if raw[0] == "-" else "new"].append(raw[2:])
        else:
            cur["desc"] = raw.strip()
    ids = [f["id"] for f in faults]
    if len(ids) != len(set(ids)):
        sys.exit(f"{path}: a fault id is used twice")
    return [Fault(f["id"], f["folder"], f["file"], f["desc"], "\n".join(f["old"]),
                  "\n".join(f["new"]), f["line"]) for f in faults]


def git(*args):
    return subprocess.run(["git", "-C", ROOT, *args], check=True, capture_output=True).stdout


def wanted_tree(rev, whole):
    """{path: (bytes, mode)}: the working tree, with tests/ (or everything) from rev if asked."""
    files, taken = {}, "" if whole else "tests/"
    for p in git("ls-files", "-z", "-co", "--exclude-standard").decode().split("\0"):
        full = ROOT / p
        if p and full.is_file() and not (rev and p.startswith(taken)):
            files[p] = (full.read_bytes(), full.stat().st_mode & 0o777)
    if rev:
        with tarfile.open(fileobj=io.BytesIO(git("archive", rev, taken or "."))) as tar:
            for m in tar.getmembers():
                if m.isfile():
                    files[m.name] = (tar.extractfile(m).read(), m.mode & 0o777)
    return files


def sync(dst, files):
    """Writes only what differs, so the scratch build stays incremental."""
    for p, (data, mode) in files.items():
        out = dst / p
        if not out.is_file() or out.read_bytes() != data:
            out.parent.mkdir(parents=True, exist_ok=True)
            out.write_bytes(data)
        os.chmod(out, mode)
    for out in dst.rglob("*"):
        rel = out.relative_to(dst).as_posix()
        if out.is_file() and not rel.startswith("build/") and rel not in files:
            out.unlink()


def run(cmd, cwd, log):
    """Runs a command with its output appended to the log; returns its exit status."""
    with open(log, "a") as f:
        f.write(f"\n$ {shlex.join(map(str, cmd))}\n")
        f.flush()
        return subprocess.run(cmd, cwd=cwd, stdout=f, stderr=subprocess.STDOUT).returncode


class Scratch:
    """A copy of the tree with its own Release build."""

    def __init__(self, path, rev, args):
        self.dir, self.args, self.log = path, args, path.parent / f"{path.name}.log"
        path.mkdir(parents=True, exist_ok=True)
        sync(path, wanted_tree(rev, rev and args.code_too))
        if not (path / "build/CMakeCache.txt").exists():
            cfg = ["cmake", "-S", ".", "-B", "build", "-DCMAKE_BUILD_TYPE=Release",
                   "-DKV_REQUIRE_TESTS=ON", "-DKV_BENCH=OFF"]
            if run(cfg, path, self.log):
                sys.exit(f"configuring {path} failed: see {self.log}")

    def build(self):
        return run(["cmake", "--build", "build", "-j", str(self.args.jobs)], self.dir,
                   self.log) == 0

    def programs(self):
        """{test program: [its ctest names]} from ctest's own listing."""
        out = subprocess.run(["ctest", "--show-only=json-v1"], cwd=self.dir / "build",
                             capture_output=True, text=True).stdout
        progs = collections.defaultdict(list)
        for t in json.loads(out or "{}").get("tests", []):
            progs[Path(t.get("command", ["?"])[0]).name].append(t["name"])
        return progs

    def ctest(self, select):
        """Runs ctest until the first failure; returns the failing test's name or None."""
        before = self.log.stat().st_size
        cmd = ["ctest", "--stop-on-failure", "--no-tests=ignore", "-j", str(self.args.jobs),
               "--timeout", str(self.args.timeout), *select]
        if run(cmd, self.dir / "build", self.log) == 0:
            return None
        with open(self.log) as f:
            f.seek(before)
            text = f.read()
        failed = re.findall(r"^\s*\d+ - (\S+) \(", text.split("tests FAILED:")[-1], re.M)
        return failed[0] if failed else "ctest-error"

    def suite(self, folder):
        """Runs the program named for the folder first, then everything else."""
        own = self.programs().get(f"test_{folder}", [])
        if not own:
            return self.ctest([])
        regex = "^(" + "|".join(own) + ")$"
        return self.ctest(["-R", regex]) or self.ctest(["-E", regex])

    def verdict(self, fault):
        path = self.dir / fault.file
        text = path.read_text() if path.is_file() else ""
        count = text.count(fault.old) if fault.old else 0
        if count != 1:
            return "stale", f"matches {count}"
        try:
            path.write_text(text.replace(fault.old, fault.new))
            if not self.build():
                return "build-broken", ""
            failed = self.suite(fault.folder)
            return ("caught", failed) if failed else ("missed", "")
        finally:
            path.write_text(text)


def check(faults, scratch, listing):
    """Each fragment matches once and the changed file still compiles (syntax only)."""
    db = json.loads((scratch.dir / "build/compile_commands.json").read_text())
    bad = 0
    for f in faults:
        path = scratch.dir / f.file
        text = path.read_text() if path.is_file() else ""
        if not f.old or text.count(f.old) != 1:
            print(f"{f.id}: stale, matches {text.count(f.old) if f.old else 0} "
                  f"({listing.name} line {f.line})")
            bad += 1
            continue
        folder = str(path.parent)
        entry = next((e for e in db if e["file"] == str(path)), None) or next(
            e for e in db if str(Path(e["file"]).parent) == folder)
        cmd = shlex.split(re.sub(r" -o \S+| -c \S+", "", entry["command"]))
        cmd += ["-fsyntax-only", "-w", "-iquote", folder, "-x", "c++", "-"]
        src = text.replace(f.old, f.new)
        r = subprocess.run(cmd, input=src, text=True, cwd=entry["directory"],
                           capture_output=True)
        if r.returncode:
            print(f"{f.id}: does not compile\n{r.stderr[:600]}")
            bad += 1
    print(f"{len(faults)} faults checked, {bad} bad")
    return bad == 0


def tsv(row):
    return "\t".join(row.get(k, "") for k in FIELDS) + "\n"


def summary(rows):
    lines, counts = [], collections.Counter((r["folder"], r["verdict"]) for r in rows)
    verdicts = ["caught", "missed", "build-broken", "stale"]
    lines.append("# folder\t" + "\t".join(verdicts) + "\ttotal")
    for folder in FOLDERS + ["all"]:
        n = [sum(c for (fo, v), c in counts.items() if v == verdict and folder in (fo, "all"))
             for verdict in verdicts]
        lines.append(f"# {folder}\t" + "\t".join(map(str, n)) + f"\t{sum(n)}")
    old = [r for r in rows if r.get("old_verdict")]
    if old:
        caught = [r["id"] for r in old if r["old_verdict"] == "caught"]
        lines.append(f"# missed now: {len(old)}; caught by the older suite: {len(caught)}"
                     + "".join(" " + c for c in caught))
    timed = [float(r["seconds"]) for r in rows if r["verdict"] in ("caught", "missed")]
    if timed:
        lines.append(f"# mean seconds per fault (build + tests): {sum(timed) / len(timed):.0f}")
    return lines


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--only", help="regular expression on the fault's id or file")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--timeout", type=int, default=120, help="seconds per test")
    ap.add_argument("--out", default=str(ROOT / "build-mutate/report.tsv"))
    ap.add_argument("--resume", metavar="REPORT", help="skip the faults already in REPORT")
    ap.add_argument("--tests-from", metavar="REV", help="run misses against REV's tests/")
    ap.add_argument("--code-too", action="store_true",
                    help="take REV's product code as well, when its tests/ no longer build")
    ap.add_argument("--scratch", default=str(ROOT / "build-mutate"))
    ap.add_argument("--list", default=str(ROOT / "scripts/mutations.txt"))
    ap.add_argument("--check", action="store_true", help="only check the list")
    args = ap.parse_args()
    os.nice(10)
    faults = parse_faults(Path(args.list))
    if args.only:
        faults = [f for f in faults if re.search(args.only, f"{f.id} {f.file}")]
    root = Path(args.scratch).resolve()
    scratch = Scratch(root / "current", None, args)
    if args.check:
        sys.exit(0 if check(faults, scratch, Path(args.list)) else 1)
    out = Path(args.resume or args.out)
    rows = []
    if args.resume and out.exists():
        lines = [l for l in out.read_text().splitlines() if l and not l.startswith("#")]
        rows = [dict(zip(FIELDS, l.split("\t"))) for l in lines[1:]]
    done = {r["id"] for r in rows}
    suites = [scratch]
    if args.tests_from:
        suites.append(Scratch(root / "older", args.tests_from, args))
    for s in suites:
        if not s.build() or s.suite("none"):
            sys.exit(f"{s.dir}: the unchanged tree does not build or pass: see {s.log}")
    with open(out, "w") as f:
        f.write("\t".join(FIELDS) + "\n" + "".join(map(tsv, rows)))
    todo = [f for f in faults if f.id not in done]
    for i, fault in enumerate(todo, 1):
        start = time.time()
        verdict, by = scratch.verdict(fault)
        row = dict(id=fault.id, folder=fault.folder, file=fault.file,
                   description=fault.description, verdict=verdict, caught_by=by,
                   seconds=f"{time.time() - start:.0f}")
        if verdict == "missed" and len(suites) > 1:
            row["old_verdict"], row["old_caught_by"] = suites[1].verdict(fault)
        older = row.get("old_verdict", "") and "; older suite: " + row["old_verdict"]
        print(f"[{i}/{len(todo)}] {fault.id} {verdict} {by} ({row['seconds']} s){older}",
              flush=True)
        rows.append(row)
        with open(out, "a") as f:
            f.write(tsv(row))
    for s in suites:
        s.build()  # leave the scratch builds unchanged for the next run
    with open(out, "a") as f:
        f.write("\n".join(summary(rows)) + "\n")
    print("\n".join(summary(rows)))


if __name__ == "__main__":
    main()
