#!/usr/bin/env bash
# Gives Wine's message boxes, in the prefix that WINEPREFIX names, a face with Chinese glyphs:
# uninst's messages are Chinese, and the face Wine gives them has none, so that every
# character shows as an empty box. Only the message font changes (9 points, as Windows has
# it); the dialog and GUI fonts the rest of the system draws with stay as they are.
set -euo pipefail
face='WenQuanYi Micro Hei'
face_hex=$(printf '%s' "$face" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -d ' \n')
while [ ${#face_hex} -lt 128 ]; do
    face_hex+=00
done
# A LOGFONTW: height -12, width, escapement and orientation 0, weight 400, not italic,
# underlined or struck out, DEFAULT_CHARSET, default precisions, quality and pitch, the face.
logfont=f4ffffff000000000000000000000000900100000000000100000000$face_hex
wine reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v MessageFont /t REG_BINARY \
    /d "$logfont" /f </dev/null >/dev/null 2>&1
