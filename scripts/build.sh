#!/usr/bin/env bash
# Configures and builds both deliverables: Quorvane natively (build/native) and uninst
# with mingw-w64 (build/win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

configure_and_build() {
    local dir=$1
    shift
    if [ ! -f "$root/build/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/$dir" -G Ninja "$@" >/dev/null
    fi
    echo "build: $dir"
    cmake --build "$root/build/$dir" --parallel "$jobs"
}

configure_and_build native
configure_and_build win64 --toolchain "$root/cmake/mingw-w64-x86_64.cmake"
