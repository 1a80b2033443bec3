#!/usr/bin/env bash
# Sets up a Debian/Ubuntu machine for Quenra and builds it.
#
#   tools/bootstrap.sh run    install what is missing, build, run an example script
#   tools/bootstrap.sh test   install what is missing, build with warnings as errors,
#                             run every test, then build and run them all again under
#                             AddressSanitizer and UndefinedBehaviorSanitizer, and
#                             give each fuzz target a one-minute smoke run
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
jobs=$(nproc 2>/dev/null || echo 2)

packages=(build-essential cmake pkg-config python3 libicu-dev libsdl2-dev libedit-dev
          libgtest-dev googletest)
if [ "$mode" = test ]; then
    packages+=(tmux xvfb x11-apps xdotool imagemagick clang-14 libclang-rt-14-dev clang-format-14 time)
fi

install_missing() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {  # folder, extra cmake arguments...
    local folder=$1
    shift
    cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$folder" -j "$jobs"
}

install_missing "${packages[@]}"

case "$mode" in
    run)
        build build
        ./build/quenra examples/hello.qn
        ;;
    test)
        bash tools/check_format.sh
        build build -DQUENRA_WERROR=ON
        ctest --test-dir build --output-on-failure -j "$jobs"
        build build-sanitize -DQUENRA_WERROR=ON -DQUENRA_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
        FUZZ_BUILD_JOBS=$jobs bash fuzz/run.sh "${FUZZ_SECONDS:-60}"
        ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac
