#!/bin/sh
# A stand-in for the conversion engine, placed beside Quorvane by the run command. It speaks
# the engine's protocol (argument list, state file, exit codes 0 and 1) and converts with
# Debian's tools where they can: poppler-utils for PDF to text, images and HTML, LibreOffice
# (when installed) for Office files to PDF and PDF to Word. Anything else fails with 1.

write_state() { printf '%s\n' "$@" >>"$state"; }

# Paths are quoted: an INI reader would otherwise split a name at "," or cut it at ";".
finish_with() {
    write_state "[outputfiles]" "filecount=$#"
    n=0
    for f in "$@"; do
        write_state "file_$n=\"$f\""
        n=$((n + 1))
    done
    exit 0
}

have() { command -v "$1" >/dev/null 2>&1; }

office_convert() { # format source target [import filter option]
    have soffice || exit 1
    tmp=$(mktemp -d) || exit 1
    # A profile of its own: with a shared one, a LibreOffice that already runs (the user's,
    # or the engine of another row converting at the same time) takes the request over and
    # this run ends without a result.
    mkdir "$tmp/out" "$tmp/profile" || exit 1
    soffice "-env:UserInstallation=file://$tmp/profile" --headless $4 \
        --convert-to "$1" --outdir "$tmp/out" "$2" >/dev/null 2>&1
    produced=$(ls "$tmp/out"/* 2>/dev/null | head -n 1)
    # Success only with a file of this run: a result of an earlier run may lie at the target.
    moved=no
    [ -n "$produced" ] && mv -f "$produced" "$3" && moved=yes
    rm -rf "$tmp"
    [ "$moved" = yes ] || exit 1
    write_state "progress=100"
    finish_with "$3"
}

if [ "$1" = "getfilepagenum" ]; then
    state=$3
    mkdir -p "$(dirname "$state")"
    pages=$(pdfinfo "$2" 2>/dev/null | sed -n 's/^Pages: *//p')
    [ -n "$pages" ] || pages=-1
    printf '[filepagenum]\npagenum=%s\n' "$pages" >"$state"
    exit 0
fi

kind=$2
source=$3
target=$4
state=$5
suffix=$7
write_state "progress=10"

case "$kind" in
file2txt)
    pdftotext "$source" "$target" 2>/dev/null || exit 1
    ;;
file2html)
    pdftohtml -q -s -i -noframes "$source" "${target%.*}" 2>/dev/null || exit 1
    ;;
file2img)
    case "$suffix" in
    png) format=-png ;;
    jpg | jpeg) format=-jpeg ;;
    *) exit 1 ;;
    esac
    # pdftoppm numbers the pages itself; it works in a folder of its own so that files of
    # an earlier run never count, and every page keeps the requested suffix.
    tmp=$(mktemp -d) || exit 1
    pdftoppm "$format" "$source" "$tmp/page" 2>/dev/null || { rm -rf "$tmp"; exit 1; }
    write_state "progress=100"
    set --
    for f in $(ls "$tmp" | sort -t- -k2 -n); do
        page=${f#page-}
        page=${page%.*}
        out="${target%.*}-$page.$suffix"
        mv -f "$tmp/$f" "$out" && set -- "$@" "$out"
    done
    rm -rf "$tmp"
    [ $# -gt 0 ] || exit 1
    finish_with "$@"
    ;;
file2word)
    office_convert "$suffix" "$source" "$target" --infilter=writer_pdf_import
    ;;
file2pdf)
    office_convert pdf "$source" "$target"
    ;;
*)
    exit 1
    ;;
esac

[ -f "$target" ] || exit 1
write_state "progress=100"
finish_with "$target"
