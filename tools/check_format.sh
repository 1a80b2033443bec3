#!/usr/bin/env bash
# Checks that every C++ source is laid out as .clang-format says (clang-format 14).
# With --fix, reformats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format-14 || command -v clang-format)
mapfile -t files < <(git ls-files '*.cpp' '*.hpp')
if [ "${1:-}" = --fix ]; then
    "$formatter" -i "${files[@]}"
else
    "$formatter" --dry-run --Werror "${files[@]}"
    echo "format: ${#files[@]} files laid out as .clang-format says"
fi
