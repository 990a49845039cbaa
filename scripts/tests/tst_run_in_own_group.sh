#!/usr/bin/env bash
# run-in-own-group.sh against tests that leave a helper behind holding their output: the run
# ends as the test ends, with the test's own status, and the helper goes with it.
set -uo pipefail
wrapper="$(cd "$(dirname "$0")" && pwd)/run-in-own-group.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Whether the process runs; one ended but not yet reaped by its new parent runs no more.
runs() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) && [ "$state" != Z ]
}

# A helper that would hold the output for ten minutes; the bound on the run is a safety net
# far below that and far above the moment the run takes.
kBoundSeconds=120

for ending in "abort:134" "exit 3:3" "pass:0"; do
    how=${ending%%:*}
    expected=${ending##*:}
    helper_file="$work/helper-$expected"
    started=$SECONDS
    # Read through a pipe, as ctest reads a test: the pipe ends only when every holder is gone.
    "$wrapper" bash -c '
        sleep 600 &
        echo $! >"$1"
        case "$2" in
        abort) kill -ABRT $$ ;;
        "exit 3") exit 3 ;;
        esac' _ "$helper_file" "$how" 2>/dev/null | timeout "$kBoundSeconds" cat >/dev/null
    statuses=("${PIPESTATUS[@]}")
    [ "${statuses[0]}" = "$expected" ] || fail "$how: status ${statuses[0]}, not $expected"
    [ "${statuses[1]}" = 0 ] || fail "$how: the output stayed open for $((SECONDS - started)) s"
    helper=$(cat "$helper_file")
    if runs "$helper"; then
        fail "$how: the helper $helper still runs"
        kill "$helper"
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "run-in-own-group: every helper ended with its test"
