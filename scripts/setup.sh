#!/usr/bin/env bash
# Installs the Debian packages that are needed, and nothing from anywhere else.
#   setup.sh       everything the two builds and their tests need, and the LZMA SDK sources
#                  (the 7z C decoder) unpacked from Debian's 7zip source package into the
#                  build area;
#   setup.sh run   what running Quorvane needs: its native build, the desktop's xdg-open for
#                  opening results, Qt's Chinese translation, and the tools of the engine
#                  stand-in, LibreOffice's parts without their GUI included.
# Idempotent: quiet when everything is already there.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-all}

packages=(
    # common build tools
    cmake ninja-build g++ pkg-config dpkg-dev
    # Quorvane: Qt 5 Widgets, Network and Test, and a Chinese-capable font
    qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libx11-dev libxcb1-dev fonts-wqy-microhei
    # the engine stand-in: poppler for PDFs, PIL for BMP pictures, unzip for the page counts
    # of Office files
    poppler-utils python3 python3-pil unzip
    # the program hands results and folders to the desktop through xdg-open
    xdg-utils
    # Qt's Chinese translation, in which Qt's own file and folder dialogs speak
    qttranslations5-l10n
)
# LibreOffice converts Office files and makes Word, Excel and PowerPoint files for the
# stand-in, headless: writer, calc, impress and draw (PDF import) without the GUI packages
# that their recommendations would bring. The tests of the stand-in run it too.
office_packages=(
    libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-impress-nogui
    libreoffice-draw-nogui
)
if [ "$mode" = all ]; then
    packages+=(
        # uninst: mingw-w64 cross compilers, zlib for mingw, googletest sources, Wine
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
        libz-mingw-w64-dev googletest wine wine64
        # uninst: stb_image decodes the skin pictures
        libstb-dev
        # test packages and tools (xcompmgr composites the screen of one shadow test)
        p7zip-full zip openssl xvfb xauth xcompmgr
    )
fi

# One question to dpkg for every package: asked one by one, it takes seconds of every start.
# Packages that dpkg has never heard of make it complain and fail; they count as missing.
declare -A installed=()
while read -r package; do
    installed[$package]=1
done < <({ dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" "${office_packages[@]}" \
    2>/dev/null || true; } | awk '$NF == "installed" { print $1 }')
missing_of() {
    for p in "$@"; do
        [ -n "${installed[$p]:-}" ] || printf '%s\n' "$p"
    done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_run < <(missing_of "${office_packages[@]}")

if ((${#missing[@]} + ${#missing_run[@]})); then
    echo "setup: installing ${missing[*]} ${missing_run[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    if ((${#missing[@]})); then
        "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
    if ((${#missing_run[@]})); then
        "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing_run[@]}" \
            >/dev/null
    fi
fi

[ "$mode" = all ] || exit 0

# The LZMA SDK is taken from Debian's 7zip source package. The source entries are derived
# from the machine's own apt sources, kept in a private apt state under the build area.
lzma_dir="$root/build/deps/lzma-sdk"
if [ ! -f "$lzma_dir/C/7zDec.c" ]; then
    echo "setup: fetching the 7zip source package for the LZMA SDK"
    apt_dir="$root/build/deps/apt"
    rm -rf "$apt_dir" "$lzma_dir"
    mkdir -p "$apt_dir/etc" "$apt_dir/lists/partial" "$apt_dir/download"
    if [ -d /etc/apt/sources.list.d ]; then
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/etc/$(basename "$f")"
        done
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt_dir/etc/from-sources-list.list"
    fi
    apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/etc"
        -o "Dir::State::Lists=$apt_dir/lists" -o APT::Sandbox::User=root)
    apt-get -qq "${apt_opts[@]}" update
    (cd "$apt_dir/download" && apt-get -qq "${apt_opts[@]}" source --download-only 7zip >/dev/null)
    tarball=$(ls "$apt_dir"/download/7zip_*.orig.tar.* | head -n 1)
    mkdir -p "$lzma_dir"
    tar -xf "$tarball" -C "$lzma_dir" --strip-components=1 --wildcards '*/C/*'
    rm -rf "$apt_dir"
fi
