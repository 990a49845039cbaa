#!/usr/bin/env bash
# Sets up and builds both deliverables, then starts Quorvane.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

app="$root/build/native/app/Quorvane"
if [ -x "$app" ]; then
    exec "$app" "$@"
fi
echo "Quorvane was not built: see the build output above." >&2
exit 1
