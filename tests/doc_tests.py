#!/usr/bin/env python3
"""Runs the code blocks of Markdown documents and compares what they print.

A fenced block tagged `qn` is a program. The blocks that follow it, up to the next
`qn` or `repl` block, describe its run:

  input      bytes fed to standard input
  output     expected standard output
  stderr     expected standard error of the plain run (default: none)
  exit       expected exit code (default 0)
  warnings   run again with --warn: standard error must equal this block, and
             standard output and the exit code must not change

A `qn` block without an `output` block is not run (a game loop that waits for
its window to close, say), but `quenra --check` must find nothing in it. The program is
saved as script.qn in an empty folder and run there (so messages name
"script.qn"), with SDL's dummy video driver. Outputs are compared exactly, except
that the one line break a block always ends with may be missing from the output
(a prompt left waiting for input, for example).

A `repl` block is an interactive session: lines starting with ">>> " or "... "
are typed after that prompt, the other lines are what the loop prints. The runner
feeds the typed lines to `quenra` with no script and checks the whole standard
output, welcome lines and prompts included.

Usage: doc_tests.py --bin PATH FILE.md...
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

FENCE = re.compile(r"^```(\S*)\s*$")
WELCOME = "Welcome to Quenra Interactive REPL!\nType 'exit' to quit.\n\n"
PROGRAM_TAGS = ("qn", "repl")
RUN_TAGS = ("input", "output", "stderr", "exit", "warnings")


def fenced_blocks(text):
    """Yields (tag, body, line number of the opening fence)."""
    lines = text.split("\n")
    i = 0
    while i < len(lines):
        opening = FENCE.match(lines[i])
        if not opening:
            i += 1
            continue
        start = i
        i += 1
        body = []
        while i < len(lines) and lines[i].rstrip() != "```":
            body.append(lines[i])
            i += 1
        if i == len(lines):
            raise SystemExit(f"line {start + 1}: code block not closed")
        i += 1
        yield opening.group(1), "\n".join(body) + "\n", start + 1


def programs(text):
    """Groups each program block with the run blocks after it."""
    current = None
    for tag, body, line in fenced_blocks(text):
        if tag in PROGRAM_TAGS:
            if current:
                yield current
            current = {"tag": tag, "source": body, "line": line}
        elif tag in RUN_TAGS:
            if current is None or current["tag"] != "qn":
                raise SystemExit(f"line {line}: a '{tag}' block must follow a 'qn' block")
            if tag in current:
                raise SystemExit(f"line {line}: a second '{tag}' block for the program at line {current['line']}")
            current[tag] = body
    if current:
        yield current


def same(actual, expected):
    return actual == expected or actual + "\n" == expected


# Seconds before an example counts as hung (scaled for slow builds by --timeout-scale).
TIMEOUT = 30.0


def run(binary, args, stdin, folder):
    env = dict(os.environ, SDL_VIDEODRIVER="dummy")
    for key in ("SDL_RENDER_DRIVER", "SDL_RENDER_LINE_METHOD", "SDL_VIDEO_DUMMY_SAVE_FRAMES"):
        env.pop(key, None)
    try:
        proc = subprocess.run([binary] + args, input=stdin.encode(), capture_output=True, cwd=folder, env=env,
                              timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return None
    return proc.stdout.decode("utf-8", "replace"), proc.stderr.decode("utf-8", "replace"), proc.returncode


def check_program(binary, program):
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        Path(folder, "script.qn").write_text(program["source"], "utf-8")
        if "output" not in program:
            checked = run(binary, ["--check", "script.qn"], "", folder)
            if checked is None or checked[2] != 0:
                return [f"quenra --check reports:\n{checked[1] if checked else f'no exit within {TIMEOUT:g} s'}"]
            return []
        stdin = program.get("input", "")
        plain = run(binary, ["script.qn"], stdin, folder)
        if plain is None:
            return [f"no exit within {TIMEOUT:g} s"]
        out, err, code = plain
        if not same(out, program["output"]):
            problems.append(f"stdout differs:\n--- expected\n{program['output']}--- actual\n{out}")
        if not same(err, program.get("stderr", "")):
            problems.append(f"stderr differs:\n--- expected\n{program.get('stderr', '')}--- actual\n{err}")
        want = int(program.get("exit", "0").strip())
        if code != want:
            problems.append(f"exit code {code}, expected {want}")
        if "warnings" in program:
            warned = run(binary, ["--warn", "script.qn"], stdin, folder)
            if warned is None:
                return problems + [f"no exit within {TIMEOUT:g} s with --warn"]
            if warned[0] != out or warned[2] != code:
                problems.append("--warn changed standard output or the exit code")
            if not same(warned[1], program["warnings"]):
                problems.append(f"--warn output differs:\n--- expected\n{program['warnings']}--- actual\n{warned[1]}")
    return problems


def check_session(binary, program):
    typed, expected = [], WELCOME
    prompt_after_exit = True
    for line in program["source"].rstrip("\n").split("\n"):
        if line.startswith(">>> ") or line.startswith("... ") or line in (">>>", "..."):
            entry = line[4:]
            typed.append(entry)
            expected += line[:4].ljust(4)
            if entry.strip() in ("exit", "quit"):
                prompt_after_exit = False
        else:
            expected += line + "\n"
    if prompt_after_exit:
        expected += ">>> "
    with tempfile.TemporaryDirectory() as folder:
        result = run(binary, [], "".join(t + "\n" for t in typed), folder)
    if result is None:
        return [f"no exit within {TIMEOUT:g} s"]
    out, err, code = result
    problems = []
    if out != expected:
        problems.append(f"session differs:\n--- expected\n{expected}\n--- actual\n{out}")
    if err or code != 0:
        problems.append(f"exit code {code}, stderr {err!r}")
    return problems


def main():
    parser = argparse.ArgumentParser(description="Run the examples of Markdown documents.")
    parser.add_argument("--bin", required=True)
    parser.add_argument("--timeout-scale", type=float, default=1.0,
                        help="multiply every example's time limit (sanitizer builds run slower)")
    parser.add_argument("documents", nargs="+")
    options = parser.parse_args()
    global TIMEOUT
    TIMEOUT *= options.timeout_scale
    binary = str(Path(options.bin).resolve())
    checked = failed = 0
    for document in options.documents:
        for program in programs(Path(document).read_text("utf-8")):
            check = check_session if program["tag"] == "repl" else check_program
            problems = check(binary, program)
            if problems is None:
                continue
            checked += 1
            if problems:
                failed += 1
                print(f"FAIL {document}:{program['line']}")
                print("\n".join("  " + p.replace("\n", "\n  ") for p in problems))
    print(f"{checked - failed} passed, {failed} failed")
    return 1 if failed or not checked else 0


if __name__ == "__main__":
    sys.exit(main())
