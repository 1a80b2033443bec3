#!/usr/bin/env python3
"""Checks that doc_tests.py catches wrong documentation: a document with right and
wrong examples of each kind must give exactly the expected passes and failures.

Usage: doc_tests_selftest.py --bin PATH
"""
import argparse
import subprocess
import sys
import tempfile
from pathlib import Path

RUNNER = Path(__file__).resolve().parent / "doc_tests.py"

# (document, lines of the report that must appear, the summary line)
CASES = [
    ("```qn\nprint(1 + 1)\n```\n\n```output\n2\n```\n", [], "1 passed, 0 failed"),
    ("text\n\n```qn\nprint(1 + 1)\n```\n\nprints\n\n```output\n3\n```\n", ["FAIL {doc}:3", "stdout differs"],
     "0 passed, 1 failed"),
    ("```qn\nprint(input(\"? \"))\n```\n```input\nabc\n```\n```output\n? abc\n```\n", [], "1 passed, 0 failed"),
    ("```qn\nprint(7 / 0)\n```\n```output\n0\n```\n", ["stderr differs", "Error: division by zero"], "0 passed, 1 failed"),
    ("```qn\nprint(7 / 0)\n```\n```output\n0\n```\n```stderr\nError: division by zero\n```\n", [], "1 passed, 0 failed"),
    ("```qn\nwhile true { }\n```\n", [], "1 passed, 0 failed"),
    ("```qn\nwhile true { print('x') }\n```\n", ["quenra --check reports", "strings take double quotes"],
     "0 passed, 1 failed"),
    ("```qn\nprint(1)\n```\n```output\n1\n```\n```exit\n1\n```\n", ["exit code 0, expected 1"], "0 passed, 1 failed"),
    ("```repl\n>>> let x = 2\n>>> print(x * 3)\n6\n>>> exit\nGoodbye!\n```\n", [], "1 passed, 0 failed"),
    ("```repl\n>>> print(1)\n2\n```\n", ["FAIL {doc}:1", "session differs"], "0 passed, 1 failed"),
    ("```repl\n>>> def f() {\n...     return 4\n... }\n>>> print(f())\n4\n```\n", [], "1 passed, 0 failed"),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    options = parser.parse_args()
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for number, (text, wanted, summary) in enumerate(CASES, 1):
            doc = Path(folder) / f"case{number}.md"
            doc.write_text(text, "utf-8")
            proc = subprocess.run([sys.executable, str(RUNNER), "--bin", options.bin, str(doc)], capture_output=True,
                                  text=True)
            report = proc.stdout.strip().split("\n")
            missing = [w.format(doc=doc) for w in wanted if not any(w.format(doc=doc) in line for line in report)]
            expected_code = 0 if summary.startswith("1 passed, 0") else 1
            if report[-1] != summary or missing or proc.returncode != expected_code:
                failures += 1
                print(f"case {number}: exit code {proc.returncode}, missing {missing}, report:\n{proc.stdout}{proc.stderr}")
        # A run block with no program before it is a mistake in the document itself.
        stray = Path(folder) / "stray.md"
        stray.write_text("```output\n1\n```\n", "utf-8")
        proc = subprocess.run([sys.executable, str(RUNNER), "--bin", options.bin, str(stray)], capture_output=True,
                              text=True)
        if proc.returncode == 0 or "must follow" not in proc.stdout + proc.stderr:
            failures += 1
            print(f"a stray output block was accepted: {proc.stdout}{proc.stderr}")
    print(f"{len(CASES) + 1 - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
