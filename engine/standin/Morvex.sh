#!/bin/sh
# A stand-in for the conversion engine, placed beside Quorvane by the run command. It speaks
# the engine's protocol (argument list, state file, exit codes 0 and 1) and converts with
# Debian's tools: poppler-utils for PDF to text, HTML and images (with Python's PIL for BMP),
# and LibreOffice, when installed, for Office files to PDF and PDF to Word (the text of each
# page laid out as paragraphs on a page of its own, by pdf_text_document.py beside it), Excel
# (the page text laid out as sheet rows) and PowerPoint (one slide per page). It counts the
# pages of a PDF with pdfinfo and of an Office file from the document's own properties, else
# with LibreOffice. Anything it cannot do fails with 1.
#
# Every tool writes into a work folder of the stand-in's own in TMPDIR (temporary files of the
# tools, LibreOffice's profile included), and a result counts only when it is there and not
# empty: a full disk leaves a tool's output empty while the tool still reports success. A
# result is moved beside its target under a short hidden name and then given the target's
# name, so that no part of one is ever left at the target; it never replaces a file that took
# that name meanwhile (the run then fails). Ended by a signal or failing, it ends every tool it
# started, removes what it placed in this run and the work folder.

state=
# The work folder, made on first use; the tools keep their temporary files in it as well.
work=
make_work() {
    [ -n "$work" ] && return 0
    work=$(mktemp -d) || exit 1
    mkdir "$work/tmp" || exit 1
    TMPDIR=$work/tmp
    export TMPDIR
}

# Every process below this one, from the process table in one pass.
descendants() {
    cat /proc/[0-9]*/stat 2>/dev/null | awk -v root=$$ '
    {
        rest = $0
        sub(/.*\) /, "", rest) # the name in parentheses may hold blanks
        split(rest, field, " ")
        parent[$1] = field[2]
    }
    END {
        below[root] = 1
        do {
            grown = 0
            for (pid in parent)
                if (!(pid in below) && (parent[pid] in below)) {
                    below[pid] = 1
                    grown = 1
                    printf "%s ", pid
                }
        } while (grown)
    }'
}

# Stopped first, so that none of them starts another tool while they are ended.
end_tools() {
    [ -n "$tool" ] || return 0
    tools=$(descendants)
    kill -STOP $tools 2>/dev/null
    # shellcheck disable=SC2046 # one process id a word
    kill -KILL $tools $(descendants) 2>/dev/null
}

# The results this run placed, one a line (a name with a line break is refused at the start).
unplace() {
    [ -n "$work" ] && [ -f "$work/placed" ] || return 0
    while IFS= read -r placed; do
        rm -f "$placed"
    done <"$work/placed"
}

# The folder goes first as well as last: ending the tools reads the whole process table,
# which on a busy machine can outlast the grace an ending engine has before it is killed.
finish() {
    status=$?
    [ -z "$part" ] || rm -f "$part"
    [ "$status" -eq 0 ] || unplace
    [ -z "$work" ] || rm -rf "$work"
    end_tools
    [ -z "$work" ] || rm -rf "$work"
}
trap finish EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs a tool in the background and waits for it: a shell handles a signal only between two
# commands, so a tool run in the foreground would keep an ending engine waiting.
tool=
run() {
    "$@" &
    tool=$!
    wait $tool
    status=$?
    tool=
    return $status
}

have() { command -v "$1" >/dev/null 2>&1; }

write_state() { printf '%s\n' "$@" >>"$state"; }

progress() { write_state "progress=$1"; }

# Paths are quoted: an INI reader would otherwise split a name at "," or cut it at ";".
finish_with() {
    write_state "progress=100" "[outputfiles]" "filecount=$#"
    n=0
    for f in "$@"; do
        write_state "file_$n=\"$f\""
        n=$((n + 1))
    done
    exit 0
}

# A tool's result: there and not empty.
made() { [ -f "$1" ] && [ -s "$1" ]; }

# place made target: moves a result made in the work folder to its target, unless a file took
# the target's name meanwhile. Moved across file systems it is copied, which a full disk cuts
# short: it lands under a short hidden name beside the target first (within the file system's
# limit on names however long the target's is), and only a whole copy takes the target's name.
part=
place() {
    made "$1" || return 1
    case "$2" in
    */*) part=$(mktemp "${2%/*}/.morvex-XXXXXX" 2>/dev/null) ;;
    *) part=$(mktemp ".morvex-XXXXXX" 2>/dev/null) ;;
    esac
    [ -n "$part" ] || return 1
    if mv -f "$1" "$part" 2>/dev/null && take_name "$part" "$2"; then
        part=
        printf '%s\n' "$2" >>"$work/placed"
        return 0
    fi
    rm -f "$part"
    part=
    return 1
}

# take_name file target: gives file the name target, never replacing what bears it: a hard
# link fails on a taken name; where the file system has none, the rename refuses one.
take_name() {
    if ln -T -- "$1" "$2" 2>/dev/null; then
        rm -f "$1"
        return 0
    fi
    [ ! -e "$2" ] && [ ! -L "$2" ] && mv -n -T -- "$1" "$2" 2>/dev/null && [ ! -e "$1" ]
}

# office source format [filter option...]: converts with LibreOffice into $work/out; the
# file it made is left in $produced.
office() {
    have soffice || return 1
    make_work
    office_format=$2
    rm -rf "$work/out" "$work/in"
    mkdir -p "$work/out" "$work/in" || return 1
    # LibreOffice names what it makes after its input: a short name for the input keeps that
    # within the file system's limit however long the document's own name is.
    case "$1" in
    /*) office_source=$1 ;;
    *) office_source=$PWD/$1 ;;
    esac
    office_suffix=${1##*/}
    case "$office_suffix" in
    *.*) office_suffix=.${office_suffix##*.} ;;
    *) office_suffix= ;;
    esac
    [ ${#office_suffix} -le 16 ] || office_suffix=
    office_input="$work/in/document$office_suffix"
    ln -s -- "$office_source" "$office_input" || return 1
    shift 2
    # A profile of its own: with a shared one, a LibreOffice that already runs (the user's,
    # or the engine of another row converting at the same time) takes the request over and
    # this run ends without a result.
    run soffice "-env:UserInstallation=file://$work/profile" --headless "$@" \
        --convert-to "$office_format" --outdir "$work/out" "$office_input" >/dev/null 2>&1
    produced=$(ls "$work/out"/* 2>/dev/null | head -n 1)
    [ -n "$produced" ]
}

# Success only with a file of this run: a result of an earlier run may lie at the target, and
# stays as it is.
office_to_target() { # source format [filter option...]
    office "$@" || exit 1
    progress 90
    place "$produced" "$target" || exit 1
    finish_with "$target"
}


# The count the document keeps in its own properties (Word and PowerPoint files of Office
# 2007 and later), or nothing.
stored_page_count() { # file
    case "$1" in
    *.[dD][oO][cC][xX]) tag=Pages ;;
    *.[pP][pP][tT][xX]) tag=Slides ;;
    *) return 0 ;;
    esac
    unzip -p "$1" docProps/app.xml 2>/dev/null | tr '>' '\n' |
        sed -n "/<\/$tag\$/{s/<.*//p;q}" | head -n 1
}

pdf_pages() { pdfinfo "$1" 2>/dev/null | sed -n 's/^Pages: *//p'; }

page_count() { # file
    case "$1" in
    *.[pP][dD][fF])
        pages=$(pdf_pages "$1")
        ;;
    *.[dD][oO][cC] | *.[xX][lL][sS] | *.[pP][pP][tT] | *.[wW][pP][sS] | *.[eE][tT] | *.[dD][pP][sS] | \
        *.[dD][oO][cC][xX] | *.[xX][lL][sS][xX] | *.[pP][pP][tT][xX])
        pages=$(stored_page_count "$1")
        if [ -z "$pages" ] && office "$1" pdf; then
            pages=$(pdf_pages "$produced")
        fi
        ;;
    esac
}

if [ "$1" = "getfilepagenum" ]; then
    state=$3
    mkdir -p "${state%/*}"
    pages=
    page_count "$2"
    [ -n "$pages" ] || pages=-1
    printf '[filepagenum]\npagenum=%s\n' "$pages" >"$state"
    exit 0
fi

kind=$2
source=$3
target=$4
state=$5
suffix=$7
# A line break in a name cannot be written into the state file at all.
case "$target" in *'
'* | *"$(printf '\r')"*) exit 1 ;;
esac
progress 10

# The image of each page, named after the target with the page's number and the requested
# suffix. Those names are the stand-in's own choice, not the caller's: an image already there
# is never replaced.
page_images() {
    pages=$(pdf_pages "$source")
    [ -n "$pages" ] && [ "$pages" -gt 0 ] || exit 1
    case "$suffix" in
    png | bmp) format=png made_as=png ;;
    jpg | jpeg) format=jpeg made_as=jpg ;;
    *) exit 1 ;;
    esac
    make_work
    set --
    page=1
    while [ "$page" -le "$pages" ]; do
        run pdftoppm "-$format" -singlefile -f "$page" -l "$page" "$source" "$work/page" \
            2>/dev/null || exit 1
        image="$work/page.$made_as"
        if [ "$suffix" = bmp ]; then
            run /usr/bin/python3 -c 'import sys; from PIL import Image
Image.open(sys.argv[1]).save(sys.argv[2], "BMP")' "$image" "$work/page.bmp" 2>/dev/null ||
                exit 1
            image="$work/page.bmp"
        fi
        out="${target%.*}-$page.$suffix"
        [ ! -e "$out" ] && [ ! -L "$out" ] || exit 1
        place "$image" "$out" || exit 1
        set -- "$@" "$out"
        progress $((10 + 80 * page / pages))
        page=$((page + 1))
    done
    finish_with "$@"
}

# The text of the pages laid out as paragraphs, a page of the document for each page of the
# PDF, as an OpenDocument text in $work/document.fodt for LibreOffice.
page_text_document() {
    have soffice || exit 1
    make_work
    run pdftotext -bbox-layout "$source" "$work/layout.html" 2>/dev/null || exit 1
    progress 30
    case "$0" in
    */*) here=${0%/*} ;;
    *) here=. ;;
    esac
    run /usr/bin/python3 "$here/pdf_text_document.py" "$work/layout.html" \
        "$work/document.fodt" 2>/dev/null || exit 1
    progress 40
}

# The text of every page, one sheet row a line and one cell a column of the laid-out text
# (runs of two blanks or more apart), written to $work/pages.csv, tab-separated, for
# LibreOffice.
page_text_table() {
    make_work
    run pdftotext -layout "$source" "$work/text" 2>/dev/null || exit 1
    awk '{
        gsub(/\f/, "")
        gsub(/"/, "\"\"")
        sub(/^ +/, "")
        sub(/ +$/, "")
        n = split($0, cells, /  +/)
        row = ""
        for (i = 1; i <= n; i++)
            row = row (i > 1 ? "\t" : "") "\"" cells[i] "\""
        print row
    }' "$work/text" >"$work/pages.csv" || exit 1
    progress 30
}

case "$kind" in
file2txt)
    make_work
    run pdftotext "$source" "$work/text" 2>/dev/null || exit 1
    progress 90
    place "$work/text" "$target" || exit 1
    ;;
file2html)
    make_work
    run pdftohtml -q -s -i -noframes "$source" "$work/page" 2>/dev/null || exit 1
    progress 90
    place "$work/page.html" "$target" || exit 1
    ;;
file2img)
    page_images
    ;;
file2word)
    page_text_document
    office_to_target "$work/document.fodt" "$suffix"
    ;;
file2excel)
    page_text_table
    office_to_target "$work/pages.csv" "$suffix" --infilter=CSV:9,34,76,1
    ;;
file2ppt)
    office_to_target "$source" "$suffix" --infilter=impress_pdf_import
    ;;
file2pdf)
    office_to_target "$source" pdf
    ;;
*)
    exit 1
    ;;
esac

finish_with "$target"
