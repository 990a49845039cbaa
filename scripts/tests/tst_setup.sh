#!/usr/bin/env bash
# setup.sh run against stand-ins for dpkg-query, apt-get and sudo, which note how they were
# called: what it asks dpkg, how often, and what it installs and how.
set -euo pipefail
setup_script="$(cd "$(dirname "$0")/.." && pwd)/setup.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A project of setup.sh alone, whose LZMA SDK is unpacked already, and the stand-ins: every
# package counts as installed unless it is listed in $work/missing.
mkdir -p "$work/project/scripts" "$work/project/build/deps/lzma-sdk/C" "$work/bin"
cp "$setup_script" "$work/project/scripts/setup.sh"
: >"$work/project/build/deps/lzma-sdk/C/7zDec.c"
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
printf '%s\n' "$*" >>"$WORK/dpkg.log"
format=
packages=()
for argument in "$@"; do
    case "$argument" in
    -f=* | --showformat=*) format=${argument#*=} ;;
    -*) ;;
    *) packages+=("$argument") ;;
    esac
done
status=0
for package in "${packages[@]}"; do
    if grep -qxF "$package" "$WORK/missing"; then
        echo "dpkg-query: no packages found matching $package" >&2
        status=1
        continue
    fi
    line=${format//'${Package}'/$package}
    line=${line//'${Status}'/install ok installed}
    printf '%b' "$line"
done
exit $status
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
printf '%s\n' "$*" >>"$WORK/apt.log"
EOF
cat >"$work/bin/sudo" <<'EOF'
#!/usr/bin/env bash
exec "$@"
EOF
chmod +x "$work/bin/"*

# setup [mode] with the packages given missing; the stand-ins' notes are left in the logs.
run_setup() {
    local mode=$1
    shift
    printf '%s\n' "$@" >"$work/missing"
    rm -f "$work/dpkg.log" "$work/apt.log"
    touch "$work/dpkg.log" "$work/apt.log"
    WORK=$work PATH="$work/bin:$PATH" bash "$work/project/scripts/setup.sh" "$mode" >/dev/null
}

# The line of the apt log that installs package, or nothing.
install_line() { grep -E "^install .*(^| )$1( |$)" "$work/apt.log" || true; }

office=(libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-impress-nogui
    libreoffice-draw-nogui)

# All there: dpkg is asked once, about every package, and nothing is installed.
run_setup run
[ "$(wc -l <"$work/dpkg.log")" -eq 1 ] || fail "run, all installed: dpkg asked $(wc -l <"$work/dpkg.log") times"
for package in qtbase5-dev poppler-utils xdg-utils "${office[@]}"; do
    grep -qw -- "$package" "$work/dpkg.log" || fail "run: dpkg not asked about $package"
done
[ ! -s "$work/apt.log" ] || fail "run, all installed: apt-get ran: $(cat "$work/apt.log")"

# Some missing: dpkg is still asked once; the missing ones are installed, LibreOffice without
# the packages it recommends, the rest as they come.
run_setup run poppler-utils xdg-utils libreoffice-writer-nogui
[ "$(wc -l <"$work/dpkg.log")" -eq 1 ] || fail "run, some missing: dpkg asked $(wc -l <"$work/dpkg.log") times"
for package in poppler-utils xdg-utils; do
    line=$(install_line "$package")
    [ -n "$line" ] || fail "run: $package is not installed"
    [[ $line != *--no-install-recommends* ]] || fail "run: $package without its recommendations"
done
line=$(install_line libreoffice-writer-nogui)
[[ $line == *--no-install-recommends* ]] || fail "run: LibreOffice not installed without its recommendations: '$line'"
[ -z "$(install_line qtbase5-dev)" ] || fail "run: an installed package is installed again"

# Everything for the tests, on a machine without any: LibreOffice comes too, for the tests of
# the stand-in, without its recommendations.
everything=(cmake qtbase5-dev poppler-utils xdg-utils wine xvfb "${office[@]}")
run_setup all "${everything[@]}"
[ "$(wc -l <"$work/dpkg.log")" -eq 1 ] || fail "all: dpkg asked $(wc -l <"$work/dpkg.log") times"
for package in "${office[@]}"; do
    line=$(install_line "$package")
    [[ $line == *--no-install-recommends* ]] || fail "all: $package not installed without its recommendations: '$line'"
done
for package in cmake wine xvfb; do
    [ -n "$(install_line "$package")" ] || fail "all: $package is not installed"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "setup.sh: all checks passed"
