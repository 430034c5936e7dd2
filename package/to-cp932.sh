#!/bin/sh
# to-cp932.sh IN OUT: a UTF-8 text as Japanese Windows editors and the
# program's ANSI file calls expect it, Shift-JIS (CP932) with CR LF line ends.
# A character that CP932 lacks fails the build instead of turning into "?".
set -e
sed 's/\r$//; s/$/\r/' "$1" | iconv -f UTF-8 -t CP932 >"$2.part"
mv "$2.part" "$2"
