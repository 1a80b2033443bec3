#!/usr/bin/env bash
# Builds a release interpreter with profile-guided optimisation (GCC): an
# instrumented build first runs the project's own script tests (never the
# benchmark programs) to learn which branches and calls are hot, then the final
# build lays the code out for them.
#
#   tools/build_pgo.sh [FOLDER]     (default build-pgo; the binary is FOLDER/quenra)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-pgo}
jobs=$(nproc 2>/dev/null || echo 2)
profile=$PWD/$folder/profile
rm -rf "$profile"
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release -DQUENRA_TESTS=OFF \
      -DCMAKE_CXX_FLAGS="-fprofile-generate -fprofile-update=atomic -fprofile-dir=$profile" >/dev/null
cmake --build "$folder" -j "$jobs" --target quenra
# The training runs: every script test except the slow hostile ones.
python3 tests/run_scripts.py --bin "$folder/quenra" -j "$jobs" \
    tests/scripts/{lexer,parser,values,scope,statements,expressions,builtins,regression,driver,repl} >/dev/null || true
cmake -S . -B "$folder" \
      -DCMAKE_CXX_FLAGS="-fprofile-use -fprofile-partial-training -fprofile-dir=$profile -Wno-missing-profile" >/dev/null
cmake --build "$folder" -j "$jobs" --target quenra
echo "built $folder/quenra"
