#!/usr/bin/env bash
# Times the SkinUI list family under Wine: selecting, scrolling, expanding and collapsing in a
# list and a tree view of 100 and of 10,000 items, each step with the window's repaint,
# medians and slowest steps side by side with the growth between the two sizes; then the
# build of 10,000 items from a skin and in code, in processor time; each line with the
# machine's load. Ends with 1 when a step at 10,000 items takes more than 50 ms typically
# (median) or 100 ms at worst, a build more than a second of processor time, or a step did
# not act. Runs in a Wine prefix of its own with the null display driver
# (build/win64/bench-lists).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$root/build/win64"
bench_dir="$build_dir/bench-lists"

if [ ! -f "$build_dir/build.ninja" ]; then
    "$root/scripts/setup.sh"
    cmake -S "$root" -B "$build_dir" -G Ninja --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$build_dir" --parallel 4 --target skinui_list_benchmark >/dev/null

"$root/scripts/wine-prefix.sh" start "$bench_dir"
trap '"$root/scripts/wine-prefix.sh" stop "$bench_dir"' EXIT
export WINEPREFIX="$bench_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='

wine "$build_dir/skinui/controls/bench/skinui_list_benchmark.exe" </dev/null | tr -d '\r'
