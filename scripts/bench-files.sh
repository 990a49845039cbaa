#!/usr/bin/env bash
# Drops folders of 100, 1,000 and 10,000 one-page PDFs on a real PDF-to-file page (headless,
# with the run's stand-in engine) and prints what a user would feel: when every row is
# listed, when every page count is in, the longest time the window did not answer, the peak
# memory and how long clearing the list takes. Beside each, the baseline measured in the
# same run: the same page counts run by the shell, eight at a time, without Quorvane. Then,
# for 8 and for 100 rows, the longest time the window does not answer, and its thread's own
# processor time in that time, while their conversions start and end: every row started by
# "全部转换" until each shows its conversion, every row ended one after another, each press of
# "结束转换" an action of its own (with the presses' own time added up beside it), one
# converting row deleted, and the list of converting rows cleared, each from the confirmation
# until the rows are destroyed and their engines have ended.
#
#   scripts/bench-files.sh [count ...]      default: 100 1000 10000
#
# The load column is the machine's load average over the last minute as Quorvane's run ended:
# on a shared machine the figures are read against it.
#
# Ends with 1 when a figure misses its target (checked for 1,000 and 10,000 files, and for 8
# and 100 converting rows).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/native"

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --parallel 4 --target bench_file_add >/dev/null

bench="$build/app/bench_file_add"
engine="$build/app/Morvex"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A home of its own: the settings and application data of the run never touch the user's.
export QT_QPA_PLATFORM=offscreen HOME="$work/home" TMPDIR="$work/tmp"
export XDG_DATA_HOME="$work/home/.local/share" XDG_CONFIG_HOME="$work/home/.config"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$TMPDIR" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The engine alone: every page count of the folder, eight engines at a time.
engine_only_ms() {
    local files=$1 state=$2
    mkdir -p "$state"
    local start
    start=$(now_ms)
    find "$files" -name '*.pdf' -print0 |
        STATE_DIR="$state" xargs -0 -P 8 -n 1 sh -c 'exec "$0" getfilepagenum "$1" "$STATE_DIR/${1##*/}"' "$engine"
    echo $(($(now_ms) - start))
}

field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" <<<" $2"; }

counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(100 1000 10000)

failed=0
check() { # description, condition
    if eval "$2"; then
        printf '  ok    %s\n' "$1"
    else
        printf '  MISS  %s\n' "$1"
        failed=1
    fi
}

printf '%7s %10s %10s %12s %8s %10s %9s %8s %8s %6s\n' files listed_ms settle_ms engine_ms ratio \
    stall_ms peak_mb clear_ms unknown load
declare -A settle
for n in "${counts[@]}"; do
    files="$work/files-$n"
    "$bench" make-files "$n" "$files"
    baseline=$(engine_only_ms "$files" "$work/state-$n")
    line=$("$bench" run "$files" 3600 2>/dev/null) || true
    load=$(cut -d' ' -f1 /proc/loadavg)
    listed=$(field listed_ms "$line")
    settled=$(field settle_ms "$line")
    stall=$(field longest_stall_ms "$line")
    peak=$(field peak_mb "$line")
    clear=$(field clear_ms "$line")
    unknown=$(field unknown "$line")
    if [ "$(field settled "$line")" != yes ]; then
        echo "$n files: not every page count came in: $line"
        failed=1
        continue
    fi
    settle[$n]=$settled
    ratio=$(awk -v a="$settled" -v b="$baseline" 'BEGIN { printf "%.2f", a / (b > 0 ? b : 1) }')
    printf '%7s %10s %10s %12s %8s %10s %9s %8s %8s %6s\n' "$n" "$listed" "$settled" "$baseline" \
        "$ratio" "$stall" "$peak" "$clear" "$unknown" "$load"
    if [ "$n" = 1000 ]; then
        check "1,000 files: every row listed within 1 s ($listed ms)" "[ $listed -le 1000 ]"
        check "1,000 files: counts in within 1.5 x the engine alone ($ratio)" \
            "awk -v r=$ratio 'BEGIN { exit !(r <= 1.5) }'"
        check "1,000 files: no stall over 100 ms ($stall ms)" "[ $stall -le 100 ]"
        check "1,000 files: at most 250 MB resident ($peak MB)" "[ $peak -le 250 ]"
        check "1,000 files: cleared within 200 ms ($clear ms)" \
            "[ $clear -ge 0 ] && [ $clear -lt 200 ]"
    fi
    [ "$unknown" = 0 ] || check "$n files: every row has its count ($unknown unknown)" false
done

printf '\n%7s %15s %15s %12s %15s %15s %6s\n' rows all_ms/cpu end_ms/cpu end_sum_ms \
    delete_ms/cpu clear_ms/cpu load
for n in 8 100; do
    line=$("$bench" stop "$n" "$work/stop-$n" 2>/dev/null) || true
    load=$(cut -d' ' -f1 /proc/loadavg)
    if [ "$(field ended "$line")" != yes ] || [ "$(field started "$line")" != yes ]; then
        echo "$n rows: the conversions did not start or end: $line"
        failed=1
        continue
    fi
    printf '%7s %15s %15s %12s %15s %15s %6s\n' "$n" \
        "$(field all_ms "$line")/$(field all_cpu_ms "$line")" \
        "$(field end_ms "$line")/$(field end_cpu_ms "$line")" "$(field end_sum_ms "$line")" \
        "$(field delete_ms "$line")/$(field delete_cpu_ms "$line")" \
        "$(field clear_ms "$line")/$(field clear_cpu_ms "$line")" "$load"
    # Each at most 100 ms, in wall time and in the window thread's own time; -1: the step did
    # not come about (no confirmation, or a row that stayed).
    for step in "all:started by 全部转换" "end:ended one by one" "delete:one of them deleted" \
        "clear:cleared"; do
        key=${step%%:*}
        wall=$(field "${key}_ms" "$line")
        cpu=$(field "${key}_cpu_ms" "$line")
        check "$n rows ${step#*:} hold the window at most 100 ms ($wall ms, $cpu ms CPU)" \
            "[ $wall -ge 0 ] && [ $wall -le 100 ] && [ $cpu -le 100 ]"
    done
done

if [ -n "${settle[1000]:-}" ] && [ -n "${settle[10000]:-}" ]; then
    check "10,000 files cost at most 12 x 1,000 ($((settle[10000])) / $((settle[1000])) ms)" \
        "[ ${settle[10000]} -le $((12 * settle[1000])) ]"
fi
exit $failed
