#!/usr/bin/env bash
# Sets up a Debian/Ubuntu machine for Quenra and builds it.
#
#   tools/bootstrap.sh run    install what is missing, build, run an example script
#   tools/bootstrap.sh test   install what is missing, build with warnings as errors,
#                             run every test, then build and run them all again under
#                             AddressSanitizer and UndefinedBehaviorSanitizer, and
#                             give each fuzz target a one-minute smoke run; the Debian
#                             package is built, installed and run as well; the
#                             editor extension's tests need node and npm, which
#                             are installed from Debian when missing
#   tools/bootstrap.sh package install what is missing, build, and leave the Debian
#                             package in dist/quenra_VERSION_amd64.deb
#   tools/bootstrap.sh windows install what is missing, cross-build quenra.exe with
#                             MinGW-w64 (SDL2 and ICU from Debian's source packages),
#                             run a script under Wine, and leave
#                             dist/quenra-VERSION-windows-x64.zip
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
jobs=$(nproc 2>/dev/null || echo 2)

packages=(build-essential cmake pkg-config python3 libicu-dev libsdl2-dev libedit-dev
          libgtest-dev googletest)
if [ "$mode" = test ] || [ "$mode" = package ]; then
    packages+=(dpkg-dev file)
fi
windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev zip)
if [ "$mode" = windows ]; then
    packages+=("${windows_packages[@]}")
fi
if [ "$mode" = test ]; then
    packages+=("${windows_packages[@]}")
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

# Builds the Debian package from the build folder into dist/; prints its path.
make_package() {  # build folder
    local folder=$1
    rm -f "$folder"/quenra_*.deb
    (cd "$folder" && cpack -G DEB >cpack.log 2>&1) || { cat "$folder/cpack.log" >&2; return 1; }
    mkdir -p dist
    local deb
    deb=$(ls "$folder"/quenra_*_amd64.deb)
    mv "$deb" dist/
    echo "dist/$(basename "$deb")"
}

# The Windows build: the libraries for the target, then quenra.exe (and its tests
# when the second argument is ON) in build-windows/.
build_windows() {  # tests ON|OFF
    bash tools/windows_deps.sh
    cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release -DQUENRA_WERROR=ON -DQUENRA_TESTS="$1" >/dev/null
    cmake --build build-windows -j "$jobs"
}

# Runs quenra.exe under Wine in the build's own prefix.
wine_quenra() {
    env WINEPREFIX="$PWD/build-windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
        /usr/lib/wine/wine64 build-windows/quenra.exe "$@"
}

# Installs the package as a user would and runs an example through /usr/bin/quenra.
check_package() {  # path of the .deb
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "./$1" >/dev/null
    local out
    out=$(/usr/bin/quenra /usr/share/doc/quenra/examples/hello.qn)
    [ "$out" = "$(./build/quenra examples/hello.qn)" ] || {
        echo "the installed quenra printed: $out" >&2
        return 1
    }
    dpkg-deb -f "$1" Depends
    echo "package: $1 installed and ran an example"
}

if [ "$mode" = test ]; then
    command -v node >/dev/null 2>&1 || packages+=(nodejs)
    command -v npm >/dev/null 2>&1 || packages+=(npm)
fi

package_and_check() {
    check_package "$(make_package build)"
}

# Runs a named stage of the test mode and notes how long it took.
started=$SECONDS
stage_times=()
stage() {  # name command...
    local name=$1 begun=$SECONDS
    shift
    "$@"
    stage_times+=("$name $((SECONDS - begun)) s")
    echo "stage $name: $((SECONDS - begun)) s"
}

install_missing "${packages[@]}"

case "$mode" in
    run)
        build build
        ./build/quenra examples/hello.qn
        ;;
    test)
        stage format bash tools/check_format.sh
        # The extension's packages, exactly as locked; none needs an install script.
        stage npm bash -c 'cd editors/vscode && npm ci --ignore-scripts --no-audit --no-fund'
        stage build build build -DQUENRA_WERROR=ON
        stage tests ctest --test-dir build --output-on-failure -j "$jobs"
        stage sanitize-build build build-sanitize -DQUENRA_WERROR=ON -DQUENRA_SANITIZE=ON \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo
        stage sanitize-tests env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
            UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
        stage fuzz env FUZZ_BUILD_JOBS="$jobs" bash fuzz/run.sh "${FUZZ_SECONDS:-60}"
        stage package package_and_check
        stage windows-build build_windows ON
        stage windows-tests ctest --test-dir build-windows --output-on-failure -j "$jobs"
        echo "stages: ${stage_times[*]}; in all $((SECONDS - started)) s"
        ;;
    package)
        build build
        deb=$(make_package build)
        echo "$deb: $(du -h "$deb" | cut -f1)"
        ;;
    windows)
        build_windows OFF
        wine_quenra examples/hello.qn
        (cd build-windows && cpack -G ZIP >cpack.log 2>&1) || { cat build-windows/cpack.log >&2; exit 1; }
        mkdir -p dist
        zip=$(ls build-windows/quenra-*-windows-x64.zip)
        mv "$zip" dist/
        echo "dist/$(basename "$zip"): $(du -h "dist/$(basename "$zip")" | cut -f1)"
        ;;
    *)
        echo "usage: $0 run|test|package|windows" >&2
        exit 2
        ;;
esac
