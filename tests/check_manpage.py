#!/usr/bin/env python3
"""Checks the man page against the program: every option `quenra --help` lists is
documented in docs/quenra.1, and the page formats without a warning where groff
is installed.

Usage: check_manpage.py --bin PATH
"""
import argparse
import re
import shutil
import subprocess
import sys
from pathlib import Path

PAGE = Path(__file__).resolve().parents[1] / "docs" / "quenra.1"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    options = parser.parse_args()
    help_text = subprocess.run([options.bin, "--help"], capture_output=True, text=True, check=True).stdout
    listed = sorted(set(re.findall(r"(?<![\w-])(--?[A-Za-z][\w-]*)", help_text)))
    page = PAGE.read_text("utf-8").replace("\\-", "-")
    problems = [f"{option} is in --help but not in {PAGE.name}" for option in listed
                if not re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", page)]
    if not listed:
        problems.append("--help lists no options")
    if shutil.which("groff"):
        formatted = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-z", str(PAGE)], capture_output=True, text=True)
        if formatted.returncode != 0 or formatted.stderr:
            problems.append(f"groff: {formatted.stderr}")
    for problem in problems:
        print(problem)
    print(f"{len(listed)} options checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
