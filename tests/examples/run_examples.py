#!/usr/bin/env python3
"""Runs every program in examples/ and compares what it prints.

Each run in RUNS names an example, the console input fed to it and, for the
graphics examples, a number of frames. A graphics example runs on SDL's dummy
driver with every `is_open()` of its source replaced by a call that also counts
frames, so the window "closes" after exactly that many tests of the loop
condition; nothing else in the program changes. Standard output must equal
expected/RUN.out (or match the regular expression in expected/RUN.out.re),
standard error must be empty and the exit code 0. Every file in examples/ must
have at least one run, so a new example cannot go untested.

With --warn each run also passes `--warn` and standard error must stay empty:
the examples are meant to be read by learners and must be warning-free.

Usage: run_examples.py --bin PATH [--warn] [-k TEXT]
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
EXAMPLES = ROOT / "examples"

GUESSES = "abc\n0\n101\n" + "".join(f"{n}\n" for n in range(1, 101))

# Run name: (example, console input, frames or None for a console program).
RUNS = {
    "hello": ("hello", "", None),
    "grade_book": ("grade_book", "", None),
    "word_stats": ("word_stats", "", None),
    "recursion": ("recursion", "", None),
    "guess_number-every-number": ("guess_number", GUESSES, None),
    "guess_number-give-up": ("guess_number", "50\n", None),
    "tic_tac_toe-computer-wins": ("tic_tac_toe", "5\n5\nx\n1\n9\n8\n", None),
    "tic_tac_toe-draw": ("tic_tac_toe", "1\n3\n8\n4\n9\n6\n", None),
    "tic_tac_toe-abandoned": ("tic_tac_toe", "2\n", None),
    "shapes_gallery": ("shapes_gallery", "", 5),
    "bouncing_balls": ("bouncing_balls", "", 120),
    "sketch_walker": ("sketch_walker", "dddddsssscddddwwwwwwc\naaaaaaaaassssssssc\nq\n", 1000),
    "particles": ("particles", "", 150),
    "brick_breaker": ("brick_breaker", "", 700),
}

FRAME_BUDGET = """let quenra_test_frames = {frames}
def quenra_test_frame_left() {{
    global quenra_test_frames
    quenra_test_frames -= 1
    return quenra_test_frames >= 0 and is_open()
}}
"""


def graphics_source(source, frames):
    if "is_open()" not in source:
        raise SystemExit("a graphics run needs an example whose loop tests is_open()")
    return FRAME_BUDGET.format(frames=frames) + source.replace("is_open()", "quenra_test_frame_left()")


def run(binary, name, warn):
    example, console_input, frames = RUNS[name]
    env = dict(os.environ)
    for key in ("SDL_RENDER_DRIVER", "SDL_RENDER_LINE_METHOD", "SDL_VIDEO_DUMMY_SAVE_FRAMES"):
        env.pop(key, None)
    env["SDL_VIDEODRIVER"] = "dummy"
    source = (EXAMPLES / f"{example}.qn").read_text("utf-8")
    with tempfile.TemporaryDirectory() as scratch:
        script = EXAMPLES / f"{example}.qn"
        if frames is not None:
            script = Path(scratch) / f"{example}.qn"
            script.write_text(graphics_source(source, frames), "utf-8")
        command = [binary] + (["--warn"] if warn else []) + [str(script)]
        try:
            proc = subprocess.run(command, input=console_input.encode(), capture_output=True, timeout=120,
                                  cwd=scratch, env=env)
        except subprocess.TimeoutExpired:
            return ["  no exit within 120 s"]
    problems = []
    actual = proc.stdout.decode("utf-8", "replace")
    exact, pattern = HERE / "expected" / f"{name}.out", HERE / "expected" / f"{name}.out.re"
    if pattern.exists():
        if not re.fullmatch(pattern.read_text("utf-8"), actual, re.DOTALL):
            problems.append(f"  stdout does not match {pattern.name}:\n{actual[:2000]}")
    elif not exact.exists():
        problems.append(f"  no expected output: {exact}")
    elif actual != exact.read_text("utf-8"):
        problems.append(f"  stdout differs from {exact.name}:\n{actual[:2000]}")
    if proc.stderr:
        problems.append(f"  stderr: {proc.stderr.decode('utf-8', 'replace')[:2000]}")
    if proc.returncode != 0:
        problems.append(f"  exit code {proc.returncode}")
    return problems


def main():
    parser = argparse.ArgumentParser(description="Run the example programs.")
    parser.add_argument("--bin", required=True)
    parser.add_argument("--warn", action="store_true")
    parser.add_argument("-k", dest="only", default=None)
    options = parser.parse_args()
    binary = str(Path(options.bin).resolve())
    failed = 0
    untested = sorted(p.stem for p in EXAMPLES.glob("*.qn") if p.stem not in {e for e, _, _ in RUNS.values()})
    for example in untested:
        failed += 1
        print(f"FAIL examples/{example}.qn has no run in {Path(__file__).name}")
    names = [n for n in RUNS if not options.only or options.only in n]
    with ThreadPoolExecutor(max_workers=2) as pool:
        results = list(pool.map(lambda n: (n, run(binary, n, options.warn)), names))
    for name, problems in results:
        if problems:
            failed += 1
            print(f"FAIL {name}")
            print("\n".join(problems))
    print(f"{len(names) - sum(1 for _, p in results if p)} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
