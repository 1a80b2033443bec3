#!/usr/bin/env bash
# Cross-builds the libraries the Windows build of Quenra needs, from Debian's own
# source packages (apt-get source), with Debian's MinGW-w64:
#
#   SDL2  as SDL2.dll, which quenra.exe opens on the first window() call
#   ICU   the common library only, static, with the stub data library (character
#         properties and case mappings are compiled into the common library)
#
# The results go to build-windows-deps/ (or $QUENRA_WINDOWS_DEPS) and are kept: a
# second run with the same source versions does nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
deps=${QUENRA_WINDOWS_DEPS:-$root/build-windows-deps}
jobs=$(nproc 2>/dev/null || echo 2)
toolchain=$root/cmake/mingw-w64-x86_64.cmake

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# apt-get source needs a deb-src entry for the suite the machine already uses.
ensure_source_entries() {
    if grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 0
    fi
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee /etc/apt/sources.list.d/quenra-deb-src.sources >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
            $sudo tee /etc/apt/sources.list.d/quenra-deb-src.list >/dev/null
    else
        echo "no Debian package sources found to add a deb-src entry for" >&2
        return 1
    fi
    $sudo apt-get update -qq
}

# Unpacks the source package `name` (with Debian's patches) into $deps/src/name;
# prints its version.
fetch_source() {  # name
    local name=$1 version
    version=$(apt-cache showsrc "$name" | sed -n 's/^Version: //p' | sort -V | tail -1)
    [ -n "$version" ] || { echo "no source package $name" >&2; return 1; }
    if [ ! -f "$deps/src/$name.version" ] || [ "$(cat "$deps/src/$name.version")" != "$version" ]; then
        rm -rf "$deps/src/$name" "$deps/src/download"
        mkdir -p "$deps/src/download"
        (cd "$deps/src/download" && apt-get source -qq --download-only "$name=$version" >/dev/null 2>&1)
        dpkg-source -x "$deps/src/download/${name}_${version#*:}.dsc" "$deps/src/$name" >/dev/null 2>&1
        rm -rf "$deps/src/download"
        echo "$version" >"$deps/src/$name.version"
    fi
    echo "$version"
}

# What a library was built from: its source version and this recipe.
recipe() {  # version
    echo "$1 $(cat tools/windows_deps.sh tools/windows/icu/CMakeLists.txt | sha256sum | cut -c1-16)"
}

built() {  # name version
    [ -f "$deps/$1.built" ] && [ "$(cat "$deps/$1.built")" = "$(recipe "$2")" ]
}

build_icu() {
    local version
    version=$(fetch_source icu)
    built icu "$version" && return 0
    echo "Cross-building ICU $version (common library)"
    rm -rf "$deps/build/icu"
    cmake -S tools/windows/icu -B "$deps/build/icu" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQUENRA_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release \
        -DICU_SOURCE="$deps/src/icu/source" -DCMAKE_INSTALL_PREFIX="$deps" >/dev/null
    cmake --build "$deps/build/icu" -j "$jobs" >/dev/null
    cmake --install "$deps/build/icu" >/dev/null
    mkdir -p "$deps/licenses"
    cp "$deps/src/icu/LICENSE" "$deps/licenses/ICU-LICENSE.txt"
    rm -rf "$deps/build/icu"
    recipe "$version" >"$deps/icu.built"
}

build_sdl() {
    local version
    version=$(fetch_source libsdl2)
    built sdl2 "$version" && return 0
    echo "Cross-building SDL2 $version (SDL2.dll)"
    rm -rf "$deps/build/sdl2"
    # Quenra uses video, the renderer and events; the other subsystems are left out.
    cmake -S "$deps/src/libsdl2" -B "$deps/build/sdl2" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQUENRA_WINDOWS_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" \
        -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
        -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF \
        -DSDL_POWER=OFF -DSDL_FILESYSTEM=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF \
        -DSDL_OPENGLES=OFF >/dev/null
    cmake --build "$deps/build/sdl2" -j "$jobs" >/dev/null
    cmake --install "$deps/build/sdl2" >/dev/null
    mkdir -p "$deps/licenses"
    cp "$deps/src/libsdl2/LICENSE.txt" "$deps/licenses/SDL2-LICENSE.txt"
    rm -rf "$deps/build/sdl2"
    recipe "$version" >"$deps/sdl2.built"
}

mkdir -p "$deps/src"
ensure_source_entries
build_icu
build_sdl
echo "Windows libraries ready in $deps"
