#!/usr/bin/env python3
"""Quenra benchmark runner: quenra against lua5.4 and python3 on the same programs.

    bench/run.py build-bench/quenra                  # everything
    bench/run.py build-bench/quenra --runs 5 --only fib,sieve --sections programs

It builds nothing. For every program in bench/programs (NAME.qn, NAME.lua, NAME.py)
it first runs the three versions once under /usr/bin/time, with standard output
redirected to a file, compares the outputs and records the peak memory (max RSS);
a program whose outputs differ is reported and not timed. The others are timed with
hyperfine (the three interpreters in the same hyperfine runs, made in --rounds
interleaved rounds; medians of all --runs runs).
Then: start-up on an empty script, growth checks (N and 2N), built-in benchmarks and
the front-end throughput on generated sources (see bench/README.md).

Exit status: 1 if any program's outputs differ (or a run fails), 2 on a usage or
tool problem, 0 otherwise. Missed targets are reported, never turned into a failure.
"""

import argparse
import json
import math
import os
import re
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BENCH_DIR = os.path.dirname(os.path.abspath(__file__))
PROGRAM_DIR = os.path.join(BENCH_DIR, "programs")
GEN_SOURCE = os.path.join(BENCH_DIR, "gen_source.py")
GNU_TIME = "/usr/bin/time"
INTERPRETERS = ("quenra", "lua5.4", "python3")
EXTENSIONS = {"quenra": ".qn", "lua5.4": ".lua", "python3": ".py"}
SECTIONS = ("programs", "startup", "growth", "builtins", "frontend")

# Target thresholds of the current performance work; reported, never enforced.
TARGET_GEOMEAN_LUA = 1.0
TARGET_WORST_LUA = 2.0
TARGET_STARTUP_LUA = 1.5
TARGET_MEMORY_LUA = 1.5
TARGET_GROWTH = 2.0

# --- Generated programs for the growth and built-in sections -------------------
# Each template is formatted with n=...; the three versions do the same work.

PUSH_SUM = {
    "quenra": """def main() {{
    let a = []
    for i in 0..{n} {{
        a = push(a, i * 7 % 1000)
    }}
    let sum = 0
    let i = 0
    while i < len(a) {{
        sum = sum + a[i]
        i += 1
    }}
    print(len(a))
    print(sum)
}}
""",
    "lua5.4": """local function main()
    local a = {{}}
    for i = 0, {n} - 1 do
        a[#a + 1] = i * 7 % 1000
    end
    local sum = 0
    local i = 0
    while i < #a do
        sum = sum + a[i + 1]
        i = i + 1
    end
    print(#a)
    print(sum)
end
main()
""",
    "python3": """def main():
    a = []
    for i in range(0, {n}):
        a.append(i * 7 % 1000)
    total = 0
    i = 0
    while i < len(a):
        total = total + a[i]
        i += 1
    print(len(a))
    print(total)
main()
""",
}

PUSH_ONLY = {
    "quenra": """def main() {{
    let a = []
    for i in 0..{n} {{
        a = push(a, i)
    }}
    print(len(a))
    print(a[{n} - 1])
}}
""",
    "lua5.4": """local function main()
    local a = {{}}
    for i = 0, {n} - 1 do
        a[#a + 1] = i
    end
    print(#a)
    print(a[{n}])
end
main()
""",
    "python3": """def main():
    a = []
    for i in range(0, {n}):
        a.append(i)
    print(len(a))
    print(a[{n} - 1])
main()
""",
}

# Lua has no linear version of this loop: `s = s .. x` copies the whole string each
# time (quadratic), and its linear idiom (table.concat) is another algorithm. So the
# concat loop is measured for quenra and python3 only.
CONCAT = {
    "quenra": """def main() {{
    let words = ["ab", "cd", "efg", "h"]
    let s = ""
    for i in 0..{n} {{
        s = concat(s, words[i % 4])
    }}
    print(len(s))
    print(slice(s, 0, 12))
}}
""",
    "python3": """def main():
    words = ["ab", "cd", "efg", "h"]
    s = ""
    for i in range(0, {n}):
        s += words[i % 4]
    print(len(s))
    print(s[0:12])
main()
""",
}

PRINT_LOOP = {
    "quenra": """def main() {{
    for i in 0..{n} {{
        print(i)
    }}
}}
""",
    "lua5.4": """local function main()
    for i = 0, {n} - 1 do
        print(i)
    end
end
main()
""",
    "python3": """def main():
    for i in range(0, {n}):
        print(i)
main()
""",
}

EMPTY = {"quenra": "", "lua5.4": "", "python3": ""}


def log(msg):
    print(msg, file=sys.stderr, flush=True)


def fmt_time(seconds):
    if seconds is None:
        return "n/a"
    if seconds < 0.1:
        return "%.2f ms" % (seconds * 1000)
    return "%.3f s" % seconds


def fmt_ratio(x):
    return "n/a" if x is None else "%.2f" % x


def fmt_mb(kb):
    return "n/a" if kb is None else "%.1f" % (kb / 1024.0)


def geomean(values):
    values = [v for v in values if v is not None and v > 0]
    if not values:
        return None
    return math.exp(sum(math.log(v) for v in values) / len(values))


def ratio(a, b):
    if a is None or b is None or b == 0:
        return None
    return a / b


def md_table(header, rows):
    widths = [len(h) for h in header]
    for row in rows:
        for i, cell in enumerate(row):
            widths[i] = max(widths[i], len(cell))
    lines = ["| " + " | ".join(h.ljust(widths[i]) for i, h in enumerate(header)) + " |",
             "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
    for row in rows:
        lines.append("| " + " | ".join(c.ljust(widths[i]) for i, c in enumerate(row)) + " |")
    return "\n".join(lines)


class Runner:
    def __init__(self, args, workdir):
        self.args = args
        self.workdir = workdir
        self.commands = {
            "quenra": [os.path.abspath(args.quenra)] + (args.quenra_flag or []),
            "lua5.4": [args.lua],
            "python3": [args.python],
        }
        self.mismatches = []
        self.cache = {}
        self.out_file = os.path.join(workdir, "stdout.txt")

    def command(self, interp, path):
        return self.commands[interp] + [path]

    def run_once(self, argv, out_path):
        """Run argv under GNU time with stdout to out_path; return (rc, max RSS KB, seconds)."""
        mem_path = os.path.join(self.workdir, "mem.txt")
        start = time.monotonic()
        with open(out_path, "wb") as out:
            proc = subprocess.run([GNU_TIME, "-f", "%M", "-o", mem_path] + argv,
                                  stdout=out, stderr=subprocess.PIPE, timeout=self.args.timeout)
        elapsed = time.monotonic() - start
        rss = None
        try:
            with open(mem_path) as f:
                lines = [l for l in f.read().split("\n") if l.strip()]
            rss = int(lines[-1])
        except (OSError, ValueError, IndexError):
            pass
        return proc.returncode, rss, elapsed, proc.stderr

    def verify(self, name, files):
        """Run each version once; compare outputs; return {interp: rss_kb} or None on mismatch."""
        outputs, rss = {}, {}
        problems = []
        for interp, path in files.items():
            out_path = os.path.join(self.workdir, "out-%s.txt" % interp)
            try:
                rc, kb, _, err = self.run_once(self.command(interp, path), out_path)
            except subprocess.TimeoutExpired:
                problems.append("%s timed out after %ss" % (interp, self.args.timeout))
                continue
            with open(out_path, "rb") as f:
                outputs[interp] = f.read()
            rss[interp] = kb
            if rc != 0:
                problems.append("%s exited with %d: %s" % (interp, rc, err.decode(errors="replace")[-300:]))
        reference = outputs.get("quenra")
        for interp, data in outputs.items():
            if interp != "quenra" and data != reference:
                problems.append("output of %s differs from quenra's: %s" % (interp, first_difference(reference, data)))
        if problems:
            self.mismatches.append((name, problems))
            log("  MISMATCH in %s:" % name)
            for p in problems:
                log("    " + p)
            return None
        return rss

    def hyperfine(self, files, runs, warmup):
        """Time the given {interp: path}; return {interp: stats}.

        The runs are made in rounds (--rounds), each a hyperfine run of all the
        interpreters one after the other, so that a slow spell of a shared machine
        falls on all of them alike rather than on whichever was being timed; the
        statistics are over the runs of every round."""
        json_path = os.path.join(self.workdir, "hyperfine.json")
        order = [i for i in INTERPRETERS if i in files]
        rounds = max(1, min(self.args.rounds, runs))
        times = {interp: [] for interp in order}
        for round_index in range(rounds):
            count = runs // rounds + (1 if round_index < runs % rounds else 0)
            argv = ["hyperfine", "-N", "--style", "none", "--runs", str(count),
                    "--warmup", str(warmup if round_index == 0 else 0),
                    "--output", self.out_file, "--export-json", json_path]
            for interp in order:
                argv += ["-n", interp, " ".join(shlex.quote(a) for a in self.command(interp, files[interp]))]
            proc = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            if proc.returncode != 0:
                raise RuntimeError("hyperfine failed: " + proc.stderr.decode(errors="replace"))
            with open(json_path) as f:
                data = json.load(f)
            for interp, r in zip(order, data["results"]):
                times[interp].extend(r["times"])
        result = {}
        for interp in order:
            t = sorted(times[interp])
            mean = sum(t) / len(t)
            stddev = (sum((x - mean) ** 2 for x in t) / (len(t) - 1)) ** 0.5 if len(t) > 1 else None
            result[interp] = {"median": statistics.median(t), "mean": mean, "stddev": stddev,
                              "min": t[0], "max": t[-1], "runs": len(t)}
        return result

    def measure(self, name, files, runs=None, warmup=None):
        """verify + time; returns dict with 'time' and 'rss' per interpreter, or None."""
        key = tuple(sorted((i, open(p).read()) for i, p in files.items()))
        if key in self.cache:
            return self.cache[key]
        log("- %s" % name)
        rss = self.verify(name, files)
        if rss is None:
            self.cache[key] = None
            return None
        stats = self.hyperfine(files, runs or self.args.runs, self.args.warmup if warmup is None else warmup)
        res = {"time": {i: s["median"] for i, s in stats.items()}, "stats": stats, "rss": rss}
        self.cache[key] = res
        return res

    def write_generated(self, tag, template, n):
        files = {}
        for interp, text in template.items():
            path = os.path.join(self.workdir, "%s%s" % (tag, EXTENSIONS[interp]))
            with open(path, "w") as f:
                f.write(text.format(n=n))
            files[interp] = path
        return files


def first_difference(a, b):
    a = (a or b"").split(b"\n")
    b = (b or b"").split(b"\n")
    for i in range(max(len(a), len(b))):
        x = a[i] if i < len(a) else None
        y = b[i] if i < len(b) else None
        if x != y:
            return "line %d: quenra %r, other %r" % (i + 1, x, y)
    return "identical lines"


def discover_programs():
    names = []
    for entry in sorted(os.listdir(PROGRAM_DIR)):
        base, ext = os.path.splitext(entry)
        if ext == ".qn" and all(os.path.exists(os.path.join(PROGRAM_DIR, base + e))
                                for e in EXTENSIONS.values()):
            names.append(base)
    return names


def section_programs(runner, names, results):
    log("Programs (%d runs each, warmup %d):" % (runner.args.runs, runner.args.warmup))
    rows, mem_rows = [], []
    q_lua, q_py = [], []
    per_interp = {i: [] for i in INTERPRETERS}
    for name in names:
        files = {i: os.path.join(PROGRAM_DIR, name + EXTENSIONS[i]) for i in INTERPRETERS}
        res = runner.measure(name, files)
        if res is None:
            rows.append([name, "MISMATCH", "", "", "", ""])
            continue
        t = res["time"]
        rl, rp = ratio(t["quenra"], t["lua5.4"]), ratio(t["quenra"], t["python3"])
        q_lua.append(rl)
        q_py.append(rp)
        for i in INTERPRETERS:
            per_interp[i].append(t[i])
        rows.append([name, fmt_time(t["quenra"]), fmt_time(t["lua5.4"]), fmt_time(t["python3"]),
                     fmt_ratio(rl), fmt_ratio(rp)])
        m = res["rss"]
        mem_rows.append([name, fmt_mb(m["quenra"]), fmt_mb(m["lua5.4"]), fmt_mb(m["python3"]),
                         fmt_ratio(ratio(m["quenra"], m["lua5.4"]))])
        results["programs"][name] = res
    rows.append(["geometric mean", fmt_time(geomean(per_interp["quenra"])), fmt_time(geomean(per_interp["lua5.4"])),
                 fmt_time(geomean(per_interp["python3"])), fmt_ratio(geomean(q_lua)), fmt_ratio(geomean(q_py))])
    print("\n## Programs (median wall time, whole process)\n")
    print(md_table(["program", "quenra", "lua5.4", "python3", "quenra/lua", "quenra/python"], rows))
    print("\n## Peak memory (max RSS, MB, whole process)\n")
    print(md_table(["program", "quenra", "lua5.4", "python3", "quenra/lua"], mem_rows))
    results["geomean_lua"] = geomean(q_lua)
    results["geomean_python"] = geomean(q_py)
    sys.stdout.flush()


def section_startup(runner, results):
    log("Start-up:")
    files = runner.write_generated("empty", EMPTY, 0)
    res = runner.measure("empty script", files, runs=max(30, runner.args.runs), warmup=3)
    if res is None:
        return
    t, m = res["time"], res["rss"]
    print("\n## Start-up (empty script, median of %d runs)\n" % res["stats"]["quenra"]["runs"])
    print(md_table(["", "quenra", "lua5.4", "python3", "quenra/lua"],
                   [["time", fmt_time(t["quenra"]), fmt_time(t["lua5.4"]), fmt_time(t["python3"]),
                     fmt_ratio(ratio(t["quenra"], t["lua5.4"]))],
                    ["max RSS (MB)", fmt_mb(m["quenra"]), fmt_mb(m["lua5.4"]), fmt_mb(m["python3"]),
                     fmt_ratio(ratio(m["quenra"], m["lua5.4"]))]]))
    results["startup"] = res
    sys.stdout.flush()


def section_growth(runner, results):
    log("Growth:")
    rows = []
    results["growth"] = {}
    checks = [("push_sum", PUSH_SUM, runner.args.push_n), ("concat loop", CONCAT, runner.args.concat_n)]
    for label, template, n in checks:
        tag = label.replace(" ", "_")
        small = runner.measure("%s N=%d" % (label, n), runner.write_generated("%s_%d" % (tag, n), template, n))
        big = runner.measure("%s N=%d" % (label, 2 * n), runner.write_generated("%s_%d" % (tag, 2 * n), template, 2 * n))
        if small is None or big is None:
            rows.append([label, "MISMATCH", "", "", ""])
            continue
        cells = [label]
        growth = {}
        for interp in INTERPRETERS:
            if interp not in template:
                cells.append("n/a")
                continue
            g = ratio(big["time"][interp], small["time"][interp])
            growth[interp] = g
            cells.append("%s / %s = %s" % (fmt_time(small["time"][interp]), fmt_time(big["time"][interp]), fmt_ratio(g)))
        rows.append(cells[:1] + ["%d / %d" % (n, 2 * n)] + cells[1:])
        results["growth"][label] = growth
    print("\n## Growth (time at N / time at 2N = ratio; linear is about 2)\n")
    print(md_table(["loop", "N / 2N", "quenra", "lua5.4", "python3"], rows))
    print("\nlua5.4 has no linear form of the concat loop (`s = s .. x` copies the string each time), so it is not run there.")
    sys.stdout.flush()


def section_builtins(runner, results):
    log("Built-ins:")
    n = 1_000_000
    rows = []
    results["builtins"] = {}
    for label, template in [("a = push(a, i), 1,000,000 times", PUSH_ONLY),
                            ("print(i), 1,000,000 lines to a file", PRINT_LOOP),
                            ("s = concat(s, x), 1,000,000 times", CONCAT)]:
        tag = "builtin_" + re.sub(r"\W+", "_", label)[:20]
        res = runner.measure(label, runner.write_generated(tag, template, n))
        if res is None:
            rows.append([label, "MISMATCH", "", "", "", ""])
            continue
        t = res["time"]
        rows.append([label] + [fmt_time(t.get(i)) for i in INTERPRETERS] +
                    [fmt_ratio(ratio(t["quenra"], t.get("lua5.4"))), fmt_ratio(ratio(t["quenra"], t.get("python3")))])
        results["builtins"][label] = res
    print("\n## Built-ins (median wall time, whole process, output to a file)\n")
    print(md_table(["benchmark", "quenra", "lua5.4", "python3", "quenra/lua", "quenra/python"], rows))
    sys.stdout.flush()


LOG_LINE = re.compile(r"(Tokenization|Parsing|Execution):\s+([0-9.]+)ms")
ANSI = re.compile(r"\x1b\[[0-9;]*m")


def section_frontend(runner, results):
    log("Front end:")
    rows = []
    results["frontend"] = {}
    runs = max(3, min(runner.args.runs, 5))
    for mb in runner.args.frontend_mb:
        path = os.path.join(runner.workdir, "frontend_%gmb.qn" % mb)
        subprocess.run([sys.executable, GEN_SOURCE, "--size-mb", str(mb), "-o", path],
                       check=True, stderr=subprocess.DEVNULL)
        size = os.path.getsize(path)
        log("- generated source of %d bytes" % size)
        phases = {"Tokenization": [], "Parsing": [], "Execution": []}
        rss = None
        for k in range(runs):
            argv = runner.commands["quenra"] + ["-v", path]
            if k == 0:
                rc, rss, _, err = runner.run_once(argv, runner.out_file)
            else:
                proc = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                      timeout=runner.args.timeout)
                rc, err = proc.returncode, proc.stderr
            if rc != 0:
                runner.mismatches.append(("front end %g MB" % mb, ["quenra exited with %d" % rc]))
                break
            for m in LOG_LINE.finditer(ANSI.sub("", err.decode(errors="replace"))):
                phases[m.group(1)].append(float(m.group(2)))
        if not phases["Tokenization"] or not phases["Parsing"]:
            rows.append(["%g MB" % mb, "no timings in the -v log", "", "", "", "", ""])
            continue
        tok = statistics.median(phases["Tokenization"])
        par = statistics.median(phases["Parsing"])
        exe = statistics.median(phases["Execution"]) if phases["Execution"] else None
        mbs = size / 1e6
        rows.append(["%.1f MB" % mbs, "%.1f ms" % tok, "%.0f MB/s" % (mbs / (tok / 1000)), "%.1f ms" % par,
                     "%.0f MB/s" % (mbs / (par / 1000)), "n/a" if exe is None else "%.1f ms" % exe, fmt_mb(rss)])
        results["frontend"][mb] = {"bytes": size, "tokenize_ms": tok, "parse_ms": par, "execute_ms": exe, "rss_kb": rss}
        os.remove(path)
    print("\n## Front end (quenra -v on generated sources, median of %d runs)\n" % runs)
    print(md_table(["source", "tokenizing", "tokenizing MB/s", "parsing", "parsing MB/s", "execution", "max RSS (MB)"], rows))
    sys.stdout.flush()


def print_targets(results):
    print("\n## Targets\n")
    lines = []
    progs = results["programs"]
    if progs:
        gm = results.get("geomean_lua")
        lines.append("- geometric mean quenra/lua5.4 %.2f (target <= %.1f): %s"
                     % (gm, TARGET_GEOMEAN_LUA, "met" if gm <= TARGET_GEOMEAN_LUA else "MISSED"))
        worst = max(progs, key=lambda n: progs[n]["time"]["quenra"] / progs[n]["time"]["lua5.4"])
        w = progs[worst]["time"]["quenra"] / progs[worst]["time"]["lua5.4"]
        over = sorted(n for n in progs if progs[n]["time"]["quenra"] / progs[n]["time"]["lua5.4"] > TARGET_WORST_LUA)
        lines.append("- worst quenra/lua5.4 %.2f (%s) (target <= %.1f): %s"
                     % (w, worst, TARGET_WORST_LUA, "met" if not over else "MISSED on " + ", ".join(over)))
        slow = sorted(n for n in progs if progs[n]["time"]["quenra"] >= progs[n]["time"]["python3"])
        lines.append("- faster than python3 on every program: %s"
                     % ("met" if not slow else "MISSED on " + ", ".join(slow)))
        heavy = sorted(n for n in progs if (progs[n]["rss"]["quenra"] or 0) > TARGET_MEMORY_LUA * (progs[n]["rss"]["lua5.4"] or 1))
        lines.append("- peak memory <= %.1fx lua5.4 on every program: %s"
                     % (TARGET_MEMORY_LUA, "met" if not heavy else "MISSED on " + ", ".join(heavy)))
    if results.get("startup"):
        s = results["startup"]["time"]
        r = s["quenra"] / s["lua5.4"]
        lines.append("- start-up %.2fx lua5.4 (target <= %.1f): %s" % (r, TARGET_STARTUP_LUA, "met" if r <= TARGET_STARTUP_LUA else "MISSED"))
    for label, g in results.get("growth", {}).items():
        q = g.get("quenra")
        if q is not None:
            lines.append("- %s growth at 2N: %.2fx (target <= %.1f): %s" % (label, q, TARGET_GROWTH, "met" if q <= TARGET_GROWTH else "MISSED"))
    print("\n".join(lines) if lines else "(no section with targets was run)")


def environment(args):
    def version(argv):
        try:
            p = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=10)
            return p.stdout.decode(errors="replace").strip().split("\n")[0]
        except (OSError, subprocess.TimeoutExpired):
            return "unavailable"
    with open("/proc/loadavg") as f:
        load = " ".join(f.read().split()[:3])
    print("# Quenra benchmarks\n")
    print("- date: %s" % time.strftime("%Y-%m-%d %H:%M:%S"))
    print("- machine: %s, %d CPUs, load average at start %s" % (os.uname().machine, os.cpu_count() or 0, load))
    print("- quenra: %s (%s)" % (os.path.abspath(args.quenra), version([args.quenra, "--version"])))
    print("- lua: %s; python: %s (%s); %s" % (version([args.lua, "-v"]), args.python, version([args.python, "--version"]),
                                             version(["hyperfine", "--version"])))
    print("- command: %s" % " ".join(shlex.quote(a) for a in sys.argv))
    sys.stdout.flush()


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("quenra", help="path of the quenra binary to measure (for example build-bench/quenra)")
    ap.add_argument("--runs", type=int, default=10, help="timed runs per command (default 10)")
    ap.add_argument("--warmup", type=int, default=1, help="untimed warm-up runs per command (default 1)")
    ap.add_argument("--only", help="comma-separated program names (default: every program in bench/programs)")
    ap.add_argument("--sections", default=",".join(SECTIONS),
                    help="comma-separated subset of: %s (default: all)" % ", ".join(SECTIONS))
    ap.add_argument("--rounds", type=int, default=5,
                    help="split the runs of each benchmark into this many interleaved rounds (default 5)")
    ap.add_argument("--push-n", type=int, default=1_000_000, help="N of the push_sum growth check")
    ap.add_argument("--concat-n", type=int, default=1_000_000, help="N of the concat growth check")
    ap.add_argument("--frontend-mb", default="50,10", help="sizes in MB of the generated front-end sources")
    ap.add_argument("--quenra-flag", action="append", metavar="FLAG",
                    help="an option given to quenra on every run, e.g. --quenra-flag=--warn (repeatable)")
    ap.add_argument("--lua", default="lua5.4")
    ap.add_argument("--python", default="/usr/bin/python3")
    ap.add_argument("--timeout", type=int, default=600, help="seconds allowed for one run")
    ap.add_argument("--json", help="also write the raw results to this file")
    ap.add_argument("--check", action="store_true",
                    help="only run each program once per interpreter and compare the outputs (no timing)")
    args = ap.parse_args()
    args.frontend_mb = [float(x) for x in args.frontend_mb.split(",") if x]
    sections = [s for s in args.sections.split(",") if s]
    unknown = [s for s in sections if s not in SECTIONS]
    if unknown:
        ap.error("unknown section(s): " + ", ".join(unknown))
    if args.runs < 1:
        ap.error("--runs must be at least 1")

    missing = [t for t in ("hyperfine", args.lua, args.python, GNU_TIME) if shutil.which(t) is None]
    if not (os.path.isfile(args.quenra) and os.access(args.quenra, os.X_OK)):
        missing.append(args.quenra)
    if missing:
        log("missing: %s (apt-get install -y hyperfine lua5.4 python3 time; build quenra first)" % ", ".join(missing))
        return 2

    names = discover_programs()
    if args.only:
        wanted = [n.strip() for n in args.only.split(",") if n.strip()]
        unknown = [n for n in wanted if n not in names]
        if unknown:
            ap.error("unknown program(s): %s (known: %s)" % (", ".join(unknown), ", ".join(names)))
        names = wanted

    if args.check:
        workdir = tempfile.mkdtemp(prefix="quenra-bench-")
        try:
            runner = Runner(args, workdir)
            for name in names:
                files = {i: os.path.join(PROGRAM_DIR, name + EXTENSIONS[i]) for i in INTERPRETERS}
                rss = runner.verify(name, files)
                print("%-14s %s" % (name, "same output" if rss is not None else "MISMATCH"))
            return 1 if runner.mismatches else 0
        finally:
            shutil.rmtree(workdir, ignore_errors=True)

    environment(args)
    results = {"programs": {}}
    workdir = tempfile.mkdtemp(prefix="quenra-bench-")
    try:
        runner = Runner(args, workdir)
        if "programs" in sections:
            section_programs(runner, names, results)
        if "startup" in sections:
            section_startup(runner, results)
        if "growth" in sections:
            section_growth(runner, results)
        if "builtins" in sections:
            section_builtins(runner, results)
        if "frontend" in sections:
            section_frontend(runner, results)
        print_targets(results)
        with open("/proc/loadavg") as f:
            print("\nLoad average at the end: %s" % " ".join(f.read().split()[:3]))
        if runner.mismatches:
            print("\n## Output mismatches (not timed)\n")
            for name, problems in runner.mismatches:
                print("- %s: %s" % (name, "; ".join(problems)))
        if args.json:
            with open(args.json, "w") as f:
                json.dump(results, f, indent=1, default=str)
        return 1 if runner.mismatches else 0
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
