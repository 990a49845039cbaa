#!/usr/bin/env bash
# start: prepares the throwaway Wine prefix of the cross build once and starts a
#        persistent wineserver for it, detached, its output sent to /dev/null (a server
#        holding ctest's pipes would hang it, and a cold server makes every test slow).
# stop:  ends that wineserver.
# An optional second argument names another cross build folder (default build/win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(realpath -m "${2:-$root/build/win64}")
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='

case "${1:-}" in
start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: preparing $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        # Windows of the tests live off screen: no X server is needed, none is touched.
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        wineserver -w </dev/null >/dev/null 2>&1
    fi
    setsid wineserver -p </dev/null >/dev/null 2>&1 &
    # Wait until the server answers, so the first test does not pay for its start.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    # A test program that crashes must fail at once. Wine's own debugger would hold it
    # until ctest's time limit, or end it with exit code 0; a debugger that cannot start
    # makes Wine end the program with a failure code, after its crash message.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /d no-debugger /f </dev/null >/dev/null 2>&1
    # uninst's messages are Chinese.
    "$root/scripts/wine-message-font.sh"
    # The desktop process starts with the first window and inherits that process's output;
    # under ctest that test would then wait for every other windowed test to end. A small
    # process that holds the desktop for the whole session starts it here, on /dev/null, and
    # the tests start only once a window stands on it: on a busy machine Wine may give up on
    # the desktop's first start, and windows made before it answers are never made.
    keeper_source="$root/scripts/wine-desktop-keeper.c"
    keeper="$build_dir/desktop-keeper.exe"
    if [ ! "$keeper" -nt "$keeper_source" ]; then
        x86_64-w64-mingw32-gcc -mwindows -o "$keeper" "$keeper_source"
    fi
    ready="$build_dir/desktop-ready"
    rm -f "$ready"
    setsid wine "$keeper" "Z:$(printf '%s' "$ready" | tr / '\\')" </dev/null >/dev/null 2>&1 &
    # A safety net far above the seconds the desktop takes on a loaded machine.
    bound_seconds=600
    waited=0
    until [ -f "$ready" ]; do
        if [ "$waited" -ge "$bound_seconds" ]; then
            echo "wine: no window could be made on the desktop within $bound_seconds s" >&2
            exit 1
        fi
        sleep 1
        waited=$((waited + 1))
    done
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|stop [cross-build-folder]" >&2
    exit 2
    ;;
esac
