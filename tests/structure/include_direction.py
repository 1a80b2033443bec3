#!/usr/bin/env python3
"""Checks that each source folder's library sees the headers of its own folder and
of the folders below it, and no others: an include in the wrong direction must fail
to build, whatever include paths a later change adds.

Takes the build folder's compile_commands.json; for one source file of each folder,
preprocesses an include of a header of every folder with that file's own flags."""
import argparse
import json
import os
import shlex
import subprocess
import sys

# Each folder and the folders its library links, directly or through another.
BELOW = {
    "platform": set(),
    "lexer": set(),
    "parser": {"lexer"},
    "interpreter": {"parser", "lexer", "platform"},
    "graphics": {"interpreter", "parser", "lexer", "platform"},
    "main": {"graphics", "interpreter", "parser", "lexer", "platform"},
}


def flags_of(entry):
    """The compiler and its flags for `entry`, without the input and output."""
    words = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    kept, skip = [], False
    for word in words:
        if skip:
            skip = False
        elif word in ("-o", "-c", "-MF", "-MT", "-MQ"):
            skip = True
        elif word in ("-MD", "-MMD") or word == entry["file"]:
            pass
        else:
            kept.append(word)
    return kept


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    args = parser.parse_args()
    with open(os.path.join(args.build, "compile_commands.json"), encoding="utf-8") as f:
        entries = json.load(f)
    src = os.path.realpath(os.path.join(args.source, "src"))
    headers = {}
    for folder in BELOW:
        names = sorted(n for n in os.listdir(os.path.join(src, folder)) if n.endswith(".hpp"))
        headers[folder] = names[0]
    sample = {}
    for entry in entries:
        path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        folder = os.path.basename(os.path.dirname(path))
        if os.path.dirname(os.path.dirname(path)) == src and folder in BELOW:
            sample.setdefault(folder, entry)
    failures = []
    for folder, below in BELOW.items():
        if folder not in sample:
            failures.append(f"no compile command for a source of {folder}/")
            continue
        flags = flags_of(sample[folder])
        for other in BELOW:
            text = f'#include "{other}/{headers[other]}"\n'
            run = subprocess.run(flags + ["-E", "-x", "c++", "-o", os.devnull, "-"],
                                 input=text, text=True, capture_output=True,
                                 cwd=sample[folder]["directory"])
            allowed = other == folder or other in below
            if (run.returncode == 0) != allowed:
                seen = "builds" if run.returncode == 0 else "fails: " + run.stderr.strip()[:200]
                want = "build" if allowed else "fail"
                failures.append(f"{folder}/ including {other}/{headers[other]} {seen}; "
                                f"it should {want}")
    for failure in failures:
        print(failure)
    print(f"{len(BELOW) ** 2 - len(failures)} of {len(BELOW) ** 2} include checks as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
