#!/usr/bin/env bash
# Times uninst under Wine, several runs each (RUNS, default 10), and prints medians and ratios:
# - from process start to the first painted frame of uninst's window (its whole start: the
#   main program's turn, the hardened library search, the mutex, the skin from the 7z
#   resource) against a bare Win32 window of ours made and shown the same way;
# - unpacking the skin package and parsing its "mainWnd.xml" in the program against `7z x`
#   of the same package (a process of its own, start included).
# Runs in a Wine prefix of its own with the null display driver (build/win64/bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$root/build/win64"
bench_dir="$build_dir/bench"
programs="$build_dir/installer/bench"
package="$build_dir/installer/skin/mainWnd.7z"
runs=${RUNS:-10}

if [ ! -f "$build_dir/build.ninja" ]; then
    "$root/scripts/setup.sh"
    cmake -S "$root" -B "$build_dir" -G Ninja --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$build_dir" --parallel 4 \
    --target uninst_first_frame bare_window_first_frame skin_package_unpack >/dev/null

"$root/scripts/wine-prefix.sh" start "$bench_dir"
trap '"$root/scripts/wine-prefix.sh" stop "$bench_dir"' EXIT
export WINEPREFIX="$bench_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='

median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2];
                                         else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}
# The number a program printed after its key.
value_of() {
    tr -d '\r' | awk -v key="$1" '$1 == key { print $2 }'
}

# One program run first, unmeasured: the prefix and the page cache settle.
product=$(winepath -w "$bench_dir")
wine "$programs/uninst_first_frame.exe" "-instdir=$product" </dev/null >/dev/null
wine "$programs/bare_window_first_frame.exe" </dev/null >/dev/null

uninst_times=$(mktemp)
bare_times=$(mktemp)
unpack_times=$(mktemp)
seven_zip_times=$(mktemp)
extracted=$(mktemp -d)
trap 'rm -rf "$uninst_times" "$bare_times" "$unpack_times" "$seven_zip_times" "$extracted";
      "$root/scripts/wine-prefix.sh" stop "$bench_dir"' EXIT

for _ in $(seq "$runs"); do
    wine "$programs/uninst_first_frame.exe" "-instdir=$product" </dev/null |
        value_of first-frame-ms >>"$uninst_times"
    wine "$programs/bare_window_first_frame.exe" </dev/null |
        value_of first-frame-ms >>"$bare_times"
done

wine "$programs/skin_package_unpack.exe" "$runs" </dev/null | value_of unpack-parse-ms \
    >"$unpack_times"
for _ in $(seq "$runs"); do
    rm -rf "${extracted:?}"/*
    start=$(date +%s%N)
    7z x -y -bso0 -bsp0 -o"$extracted" "$package" >/dev/null
    end=$(date +%s%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", (e - s) / 1e6 }' >>"$seven_zip_times"
done

uninst_ms=$(median <"$uninst_times")
bare_ms=$(median <"$bare_times")
unpack_ms=$(median <"$unpack_times")
seven_zip_ms=$(median <"$seven_zip_times")
echo "uninst under Wine, median of $runs runs each"
printf '  start to first frame: uninst %8.2f ms   bare window %8.2f ms   ratio %s\n' \
    "$uninst_ms" "$bare_ms" "$(ratio "$uninst_ms" "$bare_ms")"
printf '  skin package of %s bytes unpacked and parsed: %.3f ms   7z x: %.3f ms   ratio %s\n' \
    "$(stat -c %s "$package")" "$unpack_ms" "$seven_zip_ms" "$(ratio "$unpack_ms" "$seven_zip_ms")"
