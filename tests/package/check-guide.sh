#!/bin/sh
# check-guide.sh WINDRES PROGRAM README
#
# The guide as shipped (README: readme.txt in Shift-JIS with CR LF) against
# the program as built, so that a menu entry added, moved or renamed in the
# program cannot leave the guide behind:
# - the menu list under 使い方 names the tray menu's entries and separators
#   ("----") in the program's order, as the menu shows them ("&" marks the
#   underlined letter and is not shown);
# - 使い方 has one subsection "◆ メニュー「entry」" per entry, in the same
#   order;
# - no line is wider than 72 columns (in Shift-JIS a full-width character
#   is two bytes and two columns, a half-width one byte and one column);
# - one spelling of each word that has two.
windres=$1 program=$2 readme=$3
export LC_ALL=C.UTF-8
status=0
fail() { echo "FAIL: $*"; status=1; }

[ -f "$readme" ] || { echo "FAIL: $readme is missing"; exit 1; }
script=$("$windres" -i "$program" -O rc) || { echo "FAIL: windres cannot read $program"; exit 1; }

# The entries of menu 102, the tray menu, decoded to UTF-8. windres writes
# characters below 256 as three octal digits and the others as four hex
# digits, all as UTF-16 code units; the menu's texts have no surrogates.
menu=$(printf '%s\n' "$script" | LC_ALL=C awk '
  function hexval(h,   i, v) {
    v = 0
    for (i = 1; i <= length(h); i++) v = v * 16 + index("0123456789abcdef", tolower(substr(h, i, 1))) - 1
    return v
  }
  function utf8(c) {
    if (c < 128) return sprintf("%c", c)
    if (c < 2048) return sprintf("%c%c", 192 + int(c / 64), 128 + c % 64)
    return sprintf("%c%c%c", 224 + int(c / 4096), 128 + int(c / 64) % 64, 128 + c % 64)
  }
  function decode(s,   out, ch) {
    out = ""
    while (s != "") {
      ch = substr(s, 1, 1)
      if (ch == "\\" && substr(s, 2, 1) == "x") { out = out utf8(hexval(substr(s, 3, 4))); s = substr(s, 7) }
      else if (ch == "\\" && substr(s, 2, 1) ~ /[0-7]/) {
        out = out utf8(substr(s, 2, 1) * 64 + substr(s, 3, 1) * 8 + substr(s, 4, 1)); s = substr(s, 5)
      } else if (ch == "\\") { out = out substr(s, 2, 1); s = substr(s, 3) }
      else { out = out ch; s = substr(s, 2) }
    }
    return out
  }
  /^102 MENU( |$)/ { inside = 1; next }
  inside && /^END$/ { exit }
  inside && /MENUITEM SEPARATOR/ { print "----"; next }
  inside && /MENUITEM L"/ {
    text = $0
    sub(/^[^"]*"/, "", text)
    sub(/", [0-9]+$/, "", text)
    text = decode(text)
    gsub(/&&/, "\001", text); gsub(/&/, "", text); gsub(/\001/, "\\&", text)
    print text
  }')
[ -n "$menu" ] || fail "no entries in menu 102 of $program"

guide=$(iconv -f CP932 -t UTF-8 "$readme" | tr -d '\r') || fail "$readme is not Shift-JIS"
usage=$(printf '%s\n' "$guide" | awk '/^■ / { inside = ($0 == "■ 使い方"); next } inside')
[ -n "$usage" ] || fail "the guide has no section ■ 使い方"

# The first indented block of 使い方: one entry a line, its text up to the
# first run of two spaces, then what it does.
list=$(printf '%s\n' "$usage" | awk '
  /^  [^ ]/ { sub(/^  /, ""); sub(/  .*/, ""); print; seen = 1; next }
  seen { exit }')
[ "$list" = "$menu" ] ||
  fail "the menu list under 使い方 is not the program's menu:$(printf '\n%s\n--- the program:\n%s' "$list" "$menu")"

headings=$(printf '%s\n' "$usage" | sed -n 's/^◆ メニュー「\(.*\)」$/\1/p')
entries=$(printf '%s\n' "$menu" | grep -v '^----$')
[ "$headings" = "$entries" ] ||
  fail "the subsections ◆ メニュー「…」 are not one per entry in menu order:$(printf '\n%s\n--- the program:\n%s' "$headings" "$entries")"

wide=$(tr -d '\r' <"$readme" | LC_ALL=C awk 'length($0) > 72 { print NR }' | tr '\n' ' ')
[ -z "$wide" ] || fail "lines wider than 72 columns: $wide"

# Each pair: the spelling the guide uses (the program's own, in its menu and
# messages), and the other one.
while read -r kept other; do
  lines=$(printf '%s\n' "$guide" | grep -n "$other" | cut -d: -f1 | tr '\n' ' ')
  [ -z "$lines" ] || fail "$other on lines $lines; the guide writes $kept"
done <<'EOF'
切り替え 切りかえ
切り替え 切替
受け付け 受けつけ
読みこ 読み込
書きこ 書き込
EOF

[ $status = 0 ] && echo "$readme: menu list and subsections in the program's order, 72 columns, one spelling"
exit $status
