#!/usr/bin/env bash
# Tries uninst under Wine on the X11 display, as a user would meet it: lays out a product
# folder with uninst, the stand-in silent uninstaller as "uninst.data" (it reports progress
# for a few seconds, then ends as the mode says), an "Installer.data" and the leftovers uninst
# removes ("unins.data" and the registry key Software\TzSoft\Quorvane), and starts uninst
# from there. Uses a Wine prefix of its own with the X11 driver (build/win64/try-wineprefix)
# and shows the window on the X display; the script ends once the window is closed.
#
# Usage: try-uninst.sh [MODE], where MODE says how the silent uninstaller ends:
#   success    "State=Success" (the default)
#   fail       "State=Fail"
#   error      an "Error=" line in Chinese
#   huge       an "Error=" line of 200,000 characters (words)
#   word       an "Error=" line of 200,000 characters without a blank (a path, over and over)
#   exit3      exit code 3 without a result line
#   crash      a crash without a result line
#   hang       never (the window refuses to close while it runs; end it from outside)
#   noprogram  "uninst.data" is not a program
# Every mode but success must show the failure and leave the leftovers where they are.
set -euo pipefail
mode=${1:-success}
case "$mode" in
success | fail | error | huge | word | exit3 | crash | hang | noprogram) ;;
*)
    sed -n '/^# Usage/,/^# Every mode/p' "$0" | cut -c3- >&2
    exit 2
    ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$root/build/win64"
uninst="$build_dir/installer/uninst.exe"
standin="$build_dir/installer/tests/TZQuorvane_uninstdata.exe"

if [ ! -f "$build_dir/build.ninja" ]; then
    echo "try-uninst: first run: installing what the cross build needs and setting it up"
    "$root/scripts/setup.sh"
    cmake -S "$root" -B "$build_dir" -G Ninja --toolchain "$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
echo "try-uninst: building uninst and the stand-in silent uninstaller; a first run builds them"
echo "  with the whole framework, which takes up to half an hour on a busy machine"
cmake --build "$build_dir" --parallel 4 --target uninst uninstaller_standin
if [ -z "${DISPLAY:-}" ]; then
    echo "try-uninst: uninst shows its window on an X display, and DISPLAY is not set" >&2
    exit 1
fi

export WINEPREFIX="$build_dir/try-wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "try-uninst: preparing $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
fi
# The skin's face, which Linux does not have, drawn with the Chinese face that it does, and
# message boxes in that face too. Set on every run, so that a prefix made before has them.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v '微软雅黑' /d 'WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1
"$root/scripts/wine-message-font.sh"

product="$build_dir/try-uninst/Quorvane"
rm -rf "$product"
mkdir -p "$product"
cp "$uninst" "$product/uninst.exe"
if [ "$mode" = noprogram ]; then
    echo "not a program" >"$product/uninst.data"
else
    cp "$standin" "$product/uninst.data"
fi
cp "$standin" "$product/Installer.data"
echo "left behind by the product" >"$product/unins.data"
product_windows=$(winepath -w "$product")
wine reg add 'HKCU\Software\TzSoft\Quorvane' /v InstallDir /d "$product_windows" /f \
    </dev/null >/dev/null 2>&1

# The stand-in plays the script beside it, and uninst runs it from its private temp folder.
temp=$(winepath -u "$(wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')")
mkdir -p "$temp/~TZTemp"
{
    echo 'out Encode=UTF8\n'
    for fraction in 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1.0; do
        echo 'sleep 400'
        echo "out Progress=$fraction\\n"
    done
    case "$mode" in
    success) echo 'out State=Success\n' ;;
    fail) echo 'out State=Fail\n' ;;
    error) echo 'out Error=卸载文件被占用\n' ;;
    huge) echo "out Error=$(yes 'cannot remove' | head -c 200000 | tr '\n' ' ')\\n" ;;
    # The script doubles each backslash.
    word) echo "out Error=$(yes 'D:\\Quorvane\\plugins\\' | tr -d '\n' | head -c 200000)\\n" ;;
    exit3) echo 'exit 3' ;;
    crash) echo 'crash' ;;
    hang) echo 'hang' ;;
    esac
    echo 'exit 0'
} >"$temp/~TZTemp/TZQuorvane_uninstdata.script"

echo "try-uninst: starting $product_windows\\uninst.exe (the silent uninstaller: $mode)"
wine "$product/uninst.exe" </dev/null
wineserver -w

echo "try-uninst: uninst has ended; what the product left behind:"
for file in Installer.data unins.data; do
    if [ -e "$product/$file" ]; then echo "  $file: still there"; else echo "  $file: removed"; fi
done
if wine reg query 'HKCU\Software\TzSoft\Quorvane' </dev/null >/dev/null 2>&1; then
    echo "  registry key Software\\TzSoft\\Quorvane: still there"
else
    echo "  registry key Software\\TzSoft\\Quorvane: removed"
fi
