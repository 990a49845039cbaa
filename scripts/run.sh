#!/usr/bin/env bash
# Installs what running Quorvane needs, builds the program with its engine stand-in (no
# tests, no cross build) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh" run
"$root/scripts/build.sh" run

app="$root/build/native/app/Quorvane"
if [ -x "$app" ]; then
    exec "$app" "$@"
fi
echo "Quorvane was not built: see the build output above." >&2
exit 1
