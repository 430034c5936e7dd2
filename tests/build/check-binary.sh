#!/bin/sh
# check-binary.sh OBJDUMP FILE SUBSYSTEM [EXPORT...]
#
# The program must run on a bare Windows: it may import only the system's
# own DLLs (the C and C++ runtimes are linked in), it must have the expected
# subsystem, and a library must export its entry points under their plain
# names, without stdcall decoration.
objdump=$1 file=$2 subsystem=$3
# objdump speaks the locale's language; the patterns below are its English.
export LC_ALL=C
shift 3
dump=$("$objdump" -p "$file") || exit 1
status=0

system_dlls='^(ADVAPI32|COMCTL32|COMDLG32|GDI32|KERNEL32|msvcrt|SHELL32|USER32)\.dll$'
for dll in $(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  if ! printf '%s\n' "$dll" | grep -Eiq "$system_dlls"; then
    echo "$file imports $dll, which is not a Windows system DLL"
    status=1
  fi
done

if ! printf '%s\n' "$dump" | grep -Eq "^Subsystem[[:space:]]+[0-9a-f]+[[:space:]]+\($subsystem\)"; then
  echo "$file is not of the subsystem $subsystem"
  status=1
fi

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
for name in "$@"; do
  if ! printf '%s\n' "$exports" | grep -Eq "\] $name\$"; then
    echo "$file does not export $name under that plain name"
    status=1
  fi
done
[ $status = 0 ] && echo "$file: imports, subsystem and exports as they must be"
exit $status
