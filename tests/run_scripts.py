#!/usr/bin/env python3
"""Runs Quenra script tests: the real binary on tiny scripts, comparing what it prints.

A case is a group of files sharing a base name:

  NAME.qn        the script; the binary runs as `BIN NAME.qn` in the case's folder
  NAME.args      the command line instead, one argument per line (empty: no arguments)
  NAME.in        bytes fed to standard input (default: none)
  NAME.out       expected standard output, byte for byte
  NAME.out.re    or a regular expression the whole output must match
  NAME.err       expected standard error (NAME.err.re: a regular expression)
  NAME.code      expected exit code (default 0)
  NAME.env       environment changes, KEY=VALUE per line (KEY= removes KEY)
  NAME.timeout   seconds before the case counts as hung (default 20)
  NAME.gen       a Python script run instead of NAME.qn: it writes the script to the
                 path given as its first argument (for inputs too big to commit)

Without NAME.out, lines of the script of the form `# expect: TEXT` give the expected
standard output, one line each (`# expect-err: TEXT` likewise for standard error,
`# exit: N` the exit code). Folders named `fixtures` hold data, not cases.

Usage: run_scripts.py --bin PATH [-k TEXT] [--wrapper CMD] [--timeout-scale N]
                      [--parity FLAG] [--overrides FILE] [--retry-failures] FOLDER...

--wrapper runs every case under another command (for example valgrind, given as one
string that is split at spaces); --timeout-scale multiplies every case's time limit.
--overrides names a file of expectations that replace a case's own on another system
(lines `CASE STREAM PATTERN`: CASE a path under tests/scripts without suffix, STREAM
`out` or `err`, PATTERN a regular expression the whole stream must match; or
`CASE skip REASON` for a case about a condition the other system does not have); a
line naming no existing case is an error, so the list cannot go stale.
--retry-failures runs a failing case once more (printing the first failure).
--parity FLAG runs every case twice, as it stands and with FLAG first on its command
line, and checks that standard output and the exit code are the same both times
(against NAME.out.re when the case has one, since such output may vary by run); the
case's own expectations are not checked then.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path


def find_cases(folders):
    cases = set()
    for folder in folders:
        for root, dirs, files in os.walk(folder):
            dirs[:] = sorted(d for d in dirs if d != "fixtures")
            for f in files:
                for suffix in (".qn", ".args", ".gen"):
                    if f.endswith(suffix):
                        cases.add(Path(root) / f[: -len(suffix)])
    return sorted(cases)


def read(path):
    return path.read_bytes() if path.exists() else None


def inline_expectations(script):
    out, err, code = [], [], None
    for line in script.decode("utf-8", "replace").splitlines():
        stripped = line.strip()
        if stripped.startswith("# expect: ") or stripped == "# expect:":
            out.append(stripped[len("# expect: "):] if stripped != "# expect:" else "")
        elif stripped.startswith("# expect-err: "):
            err.append(stripped[len("# expect-err: "):])
        elif stripped.startswith("# exit: "):
            code = int(stripped[len("# exit: "):])
    join = lambda lines: ("\n".join(lines) + "\n").encode() if lines else b""
    return join(out), join(err), code


def compare(label, actual, exact, pattern):
    if pattern is not None:
        if re.fullmatch(pattern.decode("utf-8"), actual.decode("utf-8", "surrogateescape"), re.DOTALL):
            return []
        return [f"  {label} does not match {pattern[:300]!r}", f"    actual: {actual[:600]!r}"]
    expected = exact if exact is not None else b""
    if actual == expected:
        return []
    return [f"  {label} differs", f"    expected: {expected[:600]!r}", f"    actual:   {actual[:600]!r}"]


WRAPPER = []
TIMEOUT_SCALE = 1.0


def run_case(binary, base, extra=()):
    """Runs one case; returns its problems (empty when it passed)."""
    outcome = execute(binary, base, extra)
    if isinstance(outcome, list):
        return outcome
    proc, source = outcome
    sibling = lambda suffix: base.with_name(base.name + suffix)
    out, err, code = inline_expectations(source)
    if sibling(".out").exists() or sibling(".out.re").exists():
        out = read(sibling(".out"))
    if sibling(".err").exists() or sibling(".err.re").exists():
        err = read(sibling(".err"))
    if sibling(".code").exists():
        code = int(sibling(".code").read_text().strip())
    out_pattern, err_pattern = read(sibling(".out.re")), read(sibling(".err.re"))
    relative = relative_case(base)
    out_pattern = OVERRIDES.get((relative, "out"), out_pattern)
    err_pattern = OVERRIDES.get((relative, "err"), err_pattern)
    problems = compare("stdout", proc.stdout, out, out_pattern)
    problems += compare("stderr", proc.stderr, err, err_pattern)
    want = code if code is not None else 0
    if proc.returncode != want:
        problems.append(f"  exit code {proc.returncode}, expected {want}")
    return problems


def run_parity(binary, base, flag):
    """Runs one case without and with `flag`; returns how the two runs differ."""
    plain = execute(binary, base, ())
    flagged = execute(binary, base, (flag,))
    if isinstance(plain, list) or isinstance(flagged, list):
        return (plain if isinstance(plain, list) else []) + (flagged if isinstance(flagged, list) else [])
    pattern = read(base.with_name(base.name + ".out.re"))
    if pattern is not None:
        problems = compare("stdout", plain[0].stdout, None, pattern)
        problems += compare(f"stdout with {flag}", flagged[0].stdout, None, pattern)
    else:
        problems = compare(f"stdout with {flag}", flagged[0].stdout, plain[0].stdout, None)
    if plain[0].returncode != flagged[0].returncode:
        problems.append(f"  exit code {flagged[0].returncode} with {flag}, {plain[0].returncode} without")
    return problems


def execute(binary, base, extra):
    """Runs a case's command (with `extra` arguments first); returns (process, script
    bytes), or a list of problems when it did not end in time."""
    folder, name = base.parent, base.name
    sibling = lambda suffix: base.with_name(name + suffix)
    env = dict(os.environ)
    env_file = sibling(".env")
    if env_file.exists():
        for line in env_file.read_text("utf-8").splitlines():
            if "=" in line:
                key, value = line.split("=", 1)
                if value == "":
                    env.pop(key, None)
                else:
                    env[key] = value
    timeout_file = sibling(".timeout")
    timeout = float(timeout_file.read_text().strip()) if timeout_file.exists() else 20.0
    timeout *= TIMEOUT_SCALE
    stdin = read(sibling(".in")) or b""
    with tempfile.TemporaryDirectory() as scratch:
        script = sibling(".qn").resolve()
        if sibling(".gen").exists():
            script = Path(scratch) / (name + ".qn")
            subprocess.run([sys.executable, str(sibling(".gen")), str(script)], check=True)
        if sibling(".args").exists():
            args = [line for line in sibling(".args").read_text("utf-8").split("\n") if line != ""]
        else:
            args = [str(script)]
        args = list(extra) + args
        env["QUENRA_TEST_SCRATCH"] = scratch
        try:
            proc = subprocess.run(WRAPPER + [binary] + args, input=stdin, capture_output=True, cwd=folder,
                                  env=env, timeout=timeout)
        except subprocess.TimeoutExpired:
            return [f"  no exit within {timeout:g} s"]
        source = script.read_bytes() if script.exists() else b""
    return proc, source


SCRIPTS_ROOT = Path(__file__).resolve().parent / "scripts"
OVERRIDES = {}  # (case path relative to SCRIPTS_ROOT, stream) -> pattern bytes
RETRY_FAILURES = False


def relative_case(base):
    try:
        return base.resolve().relative_to(SCRIPTS_ROOT).as_posix()
    except ValueError:
        return None


def load_overrides(path):
    overrides = {}
    for number, line in enumerate(Path(path).read_text("utf-8").splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        fields = line.split(None, 2)
        if len(fields) != 3 or fields[1] not in ("out", "err", "skip"):
            sys.exit(f"{path}:{number}: expected CASE out|err PATTERN or CASE skip REASON")
        case = SCRIPTS_ROOT / fields[0]
        if not any(case.with_name(case.name + suffix).exists() for suffix in (".qn", ".args", ".gen")):
            sys.exit(f"{path}:{number}: no case {fields[0]}")
        overrides[(fields[0], fields[1])] = fields[2].encode("utf-8")
    return overrides


def run_case_retrying(binary, base):
    problems = run_case(binary, base)
    if RETRY_FAILURES and problems:
        # Under an emulator a run can now and then stall or die in the emulator's
        # own start-up. The case runs once more; the first failure is printed, so
        # such stalls stay visible, and a real fault fails both runs.
        print(f"RETRY {base}:\n" + "\n".join(problems), flush=True)
        problems = run_case(binary, base)
    return problems


def main():
    parser = argparse.ArgumentParser(description="Run Quenra script tests.")
    parser.add_argument("--bin", required=True)
    parser.add_argument("-k", dest="only", default=None)
    parser.add_argument("-j", dest="jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--wrapper", default="")
    parser.add_argument("--timeout-scale", type=float, default=1.0)
    parser.add_argument("--parity", default=None, metavar="FLAG")
    parser.add_argument("--overrides", default=None)
    parser.add_argument("--retry-failures", action="store_true")
    parser.add_argument("folders", nargs="+")
    options = parser.parse_args()
    global WRAPPER, TIMEOUT_SCALE, OVERRIDES, RETRY_FAILURES
    if options.overrides:
        OVERRIDES = load_overrides(options.overrides)
    RETRY_FAILURES = options.retry_failures
    WRAPPER = options.wrapper.split()
    TIMEOUT_SCALE = options.timeout_scale
    binary = str(Path(options.bin).resolve())
    cases = [c for c in find_cases(options.folders) if not options.only or options.only in str(c)]
    skipped = [c for c in cases if (relative_case(c), "skip") in OVERRIDES]
    cases = [c for c in cases if c not in skipped]
    for case in skipped:
        print(f"SKIP {case}: {OVERRIDES[(relative_case(case), 'skip')].decode()}")
    with ThreadPoolExecutor(max_workers=options.jobs) as pool:
        if options.parity:
            check = lambda case: (case, run_parity(binary, case, options.parity))
        else:
            check = lambda case: (case, run_case_retrying(binary, case))
        results = list(pool.map(check, cases))
    failed = 0
    for case, problems in results:
        if problems:
            failed += 1
            print(f"FAIL {case}")
            print("\n".join(problems))
    print(f"{len(cases) - failed} passed, {failed} failed" + (f", {len(skipped)} skipped" if skipped else ""))
    return 0 if failed == 0 and cases else 1


if __name__ == "__main__":
    sys.exit(main())
