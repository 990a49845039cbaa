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
    # process that holds the desktop for the whole session starts it here, on /dev/null.
    keeper="$build_dir/desktop-keeper.exe"
    if [ ! -f "$keeper" ]; then
        printf '%s\n' '#include <windows.h>' \
            'int main(void) { GetDesktopWindow(); Sleep(INFINITE); return 0; }' |
            x86_64-w64-mingw32-gcc -mwindows -x c -o "$keeper" -
    fi
    setsid wine "$keeper" </dev/null >/dev/null 2>&1 &
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|stop [cross-build-folder]" >&2
    exit 2
    ;;
esac
