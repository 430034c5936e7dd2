#!/bin/sh
# check-package.sh ZIP BINDIR VERSION TARGET
#
# The release zip as a user gets it: one folder with exactly the expected
# files, Japanese names in Shift-JIS as Windows reads them (and as UTF-8 for
# other unpackers), the binaries that were built, and the guide and the sample
# configuration in Shift-JIS with CR LF. It is unpacked into a folder with a
# Japanese name, as a user on a Japanese Windows may well do.
zip=$1 bindir=$2 version=$3 target=$4
export LC_ALL=C.UTF-8
top="quillora-$version-$target"
status=0
fail() { echo "FAIL: $*"; status=1; }

[ "$(basename "$zip")" = "$top.zip" ] || fail "zip name $(basename "$zip") does not carry version $version"
[ -f "$zip" ] || { echo "FAIL: $zip is missing; build it with: cmake --build --preset $target --target package"; exit 1; }
for f in "$bindir/quillora.exe" "$bindir/QuilHook.dll"; do
  if [ "$f" -nt "$zip" ]; then fail "$zip is older than $f; build the package target again"; fi
done

expected="$top/QuilHook.dll
$top/quilcfg.txt
$top/quillora.exe
$top/readme.txt
$top/夕方用_暗め.qlr
$top/明るめ.qlr
$top/暗部補正_1024x768.qlr
$top/標準.qlr"
actual=$(unzip -Z1 "$zip" | sort)
[ "$actual" = "$(printf '%s\n' "$expected" | sort)" ] ||
  fail "file list differs:$(printf '\n%s\n--- expected:\n%s' "$actual" "$expected")"

# What Windows itself reads: the names as stored, without the UTF-8 flag, in
# Shift-JIS, which a Japanese Windows takes them to be. The listing above
# came from the UTF-8 copies in the Unicode Path fields instead.
raw=$(od -An -v -tu1 "$zip" | LC_ALL=C awk '
  { for (i = 1; i <= NF; i++) b[n++] = $i }
  END {
    for (p = 0; p + 46 <= n; p++) {
      if (b[p] != 80 || b[p+1] != 75 || b[p+2] != 1 || b[p+3] != 2) continue
      flag = b[p+8] + 256 * b[p+9]; len = b[p+28] + 256 * b[p+29]
      if (int(flag / 2048) % 2) printf "(UTF-8 flag) "
      for (k = 0; k < len; k++) printf "%c", b[p+46+k]
      printf "\n"
    }
  }' | iconv -f CP932 -t UTF-8 | sort) || fail "stored names are not Shift-JIS"
[ "$raw" = "$(printf '%s\n' "$expected" | sort)" ] ||
  fail "stored names differ:$(printf '\n%s\n--- expected:\n%s' "$raw" "$expected")"

dir=$(mktemp -d "${TMPDIR:-/tmp}/package-test.XXXXXX")
trap 'rm -rf "$dir"' EXIT
target="$dir/ガンマ 展開先"
mkdir "$target"
unzip -q "$zip" -d "$target" || fail "unzip failed"
out="$target/$top"
cmp -s "$out/quillora.exe" "$bindir/quillora.exe" || fail "quillora.exe is not the one built"
cmp -s "$out/QuilHook.dll" "$bindir/QuilHook.dll" || fail "QuilHook.dll is not the one built"

for text in readme.txt quilcfg.txt; do
  f=$out/$text
  iconv -f CP932 -t UTF-8 "$f" >/dev/null 2>&1 || fail "$text is not valid Shift-JIS (CP932)"
  lf=$(tr -cd '\n' <"$f" | wc -c)
  crlf=$(grep -c "$(printf '\r')\$" "$f")
  [ "$lf" -gt 0 ] && [ "$lf" = "$crlf" ] || fail "$text: $lf lines, $crlf of them end in CR LF"
  [ "$(tail -c 2 "$f" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "$text does not end with CR LF"
  tr -d '\r' <"$f" | grep -q "$(printf '\t')" || [ "$text" = readme.txt ] || fail "$text has no tab comments"
done
iconv -f CP932 -t UTF-8 "$out/readme.txt" | grep -q "バージョン $version" ||
  fail "the guide does not name version $version"

[ $status = 0 ] && echo "$zip: files, names, encodings and binaries as they must be"
exit $status
