#!/usr/bin/env bash
# Runs every script test under valgrind's memcheck: any invalid access, use of an
# uninitialised value or definite leak fails the case (valgrind exits with 99).
#
#   tests/valgrind.sh [BUILD_FOLDER] [run_scripts.py options...]
#
# The graphics cases use SDL's dummy video driver; tests/valgrind.supp holds the one
# suppression needed (a block the dynamic loader keeps for SDL2, loaded at run time);
# the one case that needs a real X11 window runs outside this harness. Value records
# come from the interpreter's own pool in this build, so a use after release of one
# is the sanitizer build's to find; leaks and every other access are checked here. Cases that
# drive the process to its limits (hostile/) take minutes under valgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
exec python3 tests/run_scripts.py --bin "$build/quenra" -j 1 --timeout-scale 40 \
    --wrapper "valgrind -q --suppressions=$PWD/tests/valgrind.supp --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect" \
    "$@" tests/scripts
