#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 (ASan + UBSan) and runs each one.
#
#   fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]
#
# Targets: lexer parser program numbers (default: all). Corpora live in
# fuzz/corpus/<target> (seeded from tests/ and examples/ on first use); findings go
# to fuzz/out/<target>. Set FUZZ_JOBS to run several workers per target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(lexer parser program numbers)

cmake -S . -B fuzz/build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
      -DQUENRA_FUZZ=ON -DQUENRA_TESTS=OFF >/dev/null
cmake --build fuzz/build -j "${FUZZ_BUILD_JOBS:-2}" --target $(printf 'fuzz_%s ' "${targets[@]}")

# The parser and the interpreter nest as deep as the input does (up to the nesting
# limit), more than the default 8 MB stack holds under the sanitizers.
ulimit -s 1048576 2>/dev/null || true

for target in "${targets[@]}"; do
    corpus=fuzz/corpus/$target
    mkdir -p "$corpus" "fuzz/out/$target"
    if [ -z "$(ls -A "$corpus")" ] && [ "$target" != numbers ]; then
        find tests examples -name '*.qn' -size -64k -exec cp {} "$corpus"/ \; 2>/dev/null || true
    fi
    echo "== fuzz_$target for ${seconds}s"
    parallel=()
    if [ "${FUZZ_JOBS:-1}" -gt 1 ]; then
        parallel=(-jobs="$FUZZ_JOBS" -workers="$FUZZ_JOBS")
    fi
    # The program target's scripts print; its own report still reaches the log.
    quiet=0
    [ "$target" = program ] && quiet=3
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    /usr/bin/time -f "cpu: %U s user, %S s system" \
    "fuzz/build/fuzz/fuzz_$target" -max_total_time="$seconds" -dict=fuzz/quenra.dict \
        -max_len=4096 -timeout=10 -rss_limit_mb=3072 -print_final_stats=1 \
        -artifact_prefix="fuzz/out/$target/" -close_fd_mask="$quiet" "${parallel[@]}" \
        "$corpus" 2>&1 | grep -vE '^#[0-9]+.*(NEW|REDUCE|pulse)' | tail -n 40
done
