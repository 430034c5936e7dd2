#!/bin/sh
# check-resources.sh WINDRES FILE VERSION [MANIFEST_ARCH]
#
# The resources of a built file, read from the file itself (windres turns
# them back into a script), so that the check runs on machines that cannot
# start the file: the Japanese version resource with the project version,
# and for the program its menu, dialogs, icon and a manifest of its own
# architecture (a 64-bit program that names x86 components does not start).
windres=$1 file=$2 version=$3 arch=$4
export LC_ALL=C
status=0
fail() { echo "FAIL: $file: $*"; status=1; }

script=$("$windres" -i "$file" -O rc) || { echo "FAIL: windres cannot read $file"; exit 1; }
has() { printf '%s\n' "$script" | grep -Eq "$1"; }

numbers=$(echo "$version" | sed 's/\./, /g')
has "^ FILEVERSION $numbers, 0\$" || fail "FILEVERSION is not $version"
has "^ PRODUCTVERSION $numbers, 0\$" || fail "PRODUCTVERSION is not $version"
has 'BLOCK "041103A4"' || fail "no Japanese (0411, code page 932) string block"
has 'VALUE "Translation", 0x411, 932' || fail "no Japanese translation entry"
has "VALUE \"FileVersion\", \"$version\"" || fail "the FileVersion text is not $version"
has "VALUE \"OriginalFilename\", \"$(basename "$file")\"" || fail "OriginalFilename is not $(basename "$file")"

case $file in
*.dll) has '^ FILETYPE 0x2$' || fail "not marked as a library" ;;
*)
  has '^ FILETYPE 0x1$' || fail "not marked as a program"
  # The tray menu keeps its five commands in their order, whatever else joins them.
  order=$(printf '%s\n' "$script" | sed -n 's/^ *MENUITEM L".*", \(400[0-9][0-9]\)$/\1/p' |
    grep -Ex '40001|40008|40010|40009|40005' | tr '\n' ' ')
  [ "$order" = "40001 40008 40010 40009 40005 " ] || fail "menu 102 commands are: $order"
  has '^102 MENU$' || fail "no menu 102"
  has '^104 DIALOGEX ' || fail "no creation dialog 104"
  has '^111 DIALOGEX ' || fail "no settings dialog 111"
  has '^103 14 ' || fail "no tray icon group 103"
  has '^"TVXBASENAME" "TVXBASEDATA"$' || fail "no TVXBASENAME resource"
  has '^1 24 ' || fail "no manifest"
  has 'requestedExecutionLevel level=""asInvoker""' || fail "the manifest does not ask for asInvoker"
  archs=$(printf '%s\n' "$script" | grep -o 'processorArchitecture=""[a-z0-9*]*""' | sort -u)
  [ "$archs" = "processorArchitecture=\"\"$arch\"\"" ] || fail "manifest architectures: $archs, not $arch"
  ;;
esac
[ $status = 0 ] && echo "$file: version $version in Japanese, resources as they must be${arch:+, manifest for $arch}"
exit $status
