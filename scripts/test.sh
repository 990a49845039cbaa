#!/usr/bin/env bash
# Sets up, builds and runs every test of both deliverables in one ctest run: the Qt tests
# of Quorvane headless, the Windows tests of uninst under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

"$root/scripts/wine-prefix.sh" start
trap '"$root/scripts/wine-prefix.sh" stop' EXIT

cat >"$root/build/CTestTestfile.cmake" <<'CTEST'
subdirs("native")
subdirs("win64")
CTEST
cd "$root/build"
# Each test has a time limit of its own, generous for a busy machine; the whole run ends
# within the hour all the same, so that CI fails within its bound even when many tests hang.
ctest --output-on-failure --parallel "$(nproc)" --stop-time "$(date -d '+60 min' +%H:%M:%S)" "$@"
