#!/usr/bin/env bash
# build.sh       configures and builds both deliverables with their tests: Quorvane natively
#                (build/native) and uninst with mingw-w64 (build/win64);
# build.sh run   builds only what running Quorvane takes: the program, the engine stand-in
#                and its runtime files beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

configure() {
    local dir=$1
    shift
    if [ ! -f "$root/build/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/$dir" -G Ninja "$@" >/dev/null
    fi
}

if [ "${1:-all}" = run ]; then
    configure native
    echo "build: Quorvane"
    cmake --build "$root/build/native" --parallel "$jobs" --target Quorvane
    exit 0
fi

configure native
echo "build: native"
cmake --build "$root/build/native" --parallel "$jobs"
configure win64 --toolchain "$root/cmake/mingw-w64-x86_64.cmake"
echo "build: win64"
cmake --build "$root/build/win64" --parallel "$jobs"
