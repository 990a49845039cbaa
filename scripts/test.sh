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
ctest --output-on-failure --parallel "$(nproc)" "$@"
