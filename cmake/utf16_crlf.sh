#!/bin/sh
# Writes a UTF-8 text file as UTF-16LE with a byte-order mark and CR LF line
# ends, as the games folder reads the game definition: utf16_crlf.sh IN OUT
set -eu
{ printf '\357\273\277'; sed 's/\r$//; s/$/\r/' "$1"; } | iconv -f UTF-8 -t UTF-16LE > "$2.part"
mv "$2.part" "$2"
