#!/usr/bin/env python3
"""Hostile conditions around the process rather than in the script: a reader that goes
away, a closed standard input, garbage and huge lines at the interactive prompt, and
memory running out. Each check prints PASS or FAIL; the exit code is 1 if any failed.

Usage: hostile_streams.py --bin PATH [--no-memory-cap]
"""
import argparse
import os
import random
import resource
import subprocess
import sys
import tempfile

BIN = None
SCRATCH = None  # a folder removed when the run ends, for the scripts the checks write
failures = 0


def check(name, condition, detail=""):
    global failures
    print(("PASS " if condition else "FAIL ") + name + ("" if condition else "  " + detail))
    if not condition:
        failures += 1


def script(text):
    handle = tempfile.NamedTemporaryFile("w", suffix=".qn", dir=SCRATCH, delete=False)
    handle.write(text)
    handle.close()
    return handle.name


def broken_pipe():
    path = script("let i = 0\nwhile true { print(i) i += 1 }\n")
    # The reader takes one line and goes away; the writer must end quietly with 1.
    proc = subprocess.Popen([BIN, path], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    first = proc.stdout.readline()
    proc.stdout.close()
    try:
        code = proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
        code = None
    err = proc.stderr.read()
    check("broken pipe ends the run with exit code 1", code == 1, f"code={code}")
    check("broken pipe prints nothing on standard error", err == b"", repr(err[:200]))
    check("the reader got the first line", first == b"0\n", repr(first))


def closed_stdin():
    path = script('print(concat("[", input("name? "), "]"))\nprint("after")\n')
    proc = subprocess.run([BIN, path], stdin=subprocess.DEVNULL, capture_output=True, timeout=20)
    check("input at end of input yields the empty string", proc.stdout == b"name? []\nafter\n", repr(proc.stdout))
    # A standard input that is not open at all.
    proc = subprocess.run(["sh", "-c", f'"{BIN}" "{path}" <&-'], capture_output=True, timeout=20)
    check("input with standard input closed yields the empty string",
          proc.stdout == b"name? []\nafter\n" and proc.returncode == 0, repr(proc.stdout) + repr(proc.stderr))


def repl_random_bytes():
    rng = random.Random(7)
    for round_number in range(20):
        data = bytes(rng.randrange(256) for _ in range(rng.randrange(1, 4000)))
        proc = subprocess.run([BIN], input=data, capture_output=True, timeout=20)
        if proc.returncode != 0:
            check("random bytes at the prompt", False, f"round {round_number}: code {proc.returncode}")
            return
    check("random bytes at the prompt never crash", True)


def repl_token_soup():
    rng = random.Random(11)
    words = ["let", "def", "return", "if", "else", "while", "for", "in", "break", "continue",
             "true", "false", "and", "or", "not", "match", "try", "catch", "global", "x", "y",
             "f", "_", "1", "2.5", '"s"', "+", "-", "*", "/", "%", "**", "=", "+=", "==", "!=",
             "<", ">=", "(", ")", "{", "}", "[", "]", ",", ":", ";", "->", "=>", ".", "..", "?",
             "print", "push", "len", "0..3", "\n"]
    for round_number in range(30):
        text = " ".join(rng.choice(words) for _ in range(rng.randrange(1, 400)))
        # Keep loops finite: a soup can form `while true { }`.
        text = text.replace("while", "if")
        proc = subprocess.run([BIN], input=text.encode(), capture_output=True, timeout=30)
        if proc.returncode != 0:
            check("token soup at the prompt", False, f"round {round_number}: code {proc.returncode}")
            return
    check("random token soup at the prompt never crashes", True)


def repl_huge_line():
    line = b"let s = \"" + b"q" * 10_000_000 + b"\"\nprint(len(s))\n"
    proc = subprocess.run([BIN], input=line, capture_output=True, timeout=60)
    check("a 10 MB line at the prompt runs", proc.stdout.endswith(b">>> 10000000\n>>> ") and proc.returncode == 0,
          repr(proc.stdout[-80:]))


def memory_exhaustion():
    path = script('let s = "xxxxxxxxxxxxxxxx"\nprint("start")\nwhile true { s = s + s }\n')
    limit = 2 << 30

    def cap():
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    proc = subprocess.run([BIN, path], capture_output=True, timeout=120, preexec_fn=cap)
    check("a string that outgrows memory stops with the message",
          proc.returncode == 1 and proc.stderr == b"Error: out of memory\n" and proc.stdout == b"start\n",
          f"code={proc.returncode} err={proc.stderr[:200]!r}")


def main():
    global BIN, SCRATCH
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--no-memory-cap", action="store_true",
                        help="skip the check that needs an address-space limit (sanitizer builds)")
    options = parser.parse_args()
    BIN = os.path.abspath(options.bin)
    with tempfile.TemporaryDirectory(prefix="quenra-hostile-") as SCRATCH:
        broken_pipe()
        closed_stdin()
        repl_random_bytes()
        repl_token_soup()
        repl_huge_line()
        if not options.no_memory_cap:
            memory_exhaustion()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
