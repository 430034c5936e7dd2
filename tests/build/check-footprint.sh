#!/bin/sh
# check-footprint.sh OBJDUMP NM FILE LIMIT
#
# Under Wine a program's whole image is copied into private memory, so the
# size of the shipped file is resident memory. The file must stay within
# LIMIT bytes, carry no debug sections (they go to FILE.debug, which it
# names), import no DLL that is only needed by a dialog (comctl32 and
# comdlg32 alone cost 1.7 MB resident under Wine: they are loaded on first
# use), and link none of the runtime parts a program built without
# exceptions and with the system's printf never needs. The symbols are read
# from FILE.debug, so that a part creeping back in is named even while the
# file is still small enough.
objdump=$1 nm=$2 file=$3 limit=$4
export LC_ALL=C
status=0

size=$(wc -c <"$file")
if [ "$size" -gt "$limit" ]; then
  echo "$file is $size bytes, more than $limit"
  status=1
fi

sections=$("$objdump" -h "$file") || exit 1
if printf '%s\n' "$sections" | grep -q ' \.debug_'; then
  echo "$file carries debug sections"
  status=1
fi
if ! printf '%s\n' "$sections" | grep -q ' \.gnu_debuglink'; then
  echo "$file does not name its debug file"
  status=1
fi

for dll in $("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  if printf '%s\n' "$dll" | grep -Eiq '^(COMCTL32|COMDLG32)\.dll$'; then
    echo "$file imports $dll at start-up; load it when it is first needed"
    status=1
  fi
done

if [ ! -f "$file.debug" ]; then
  echo "$file.debug is missing"
  exit 1
fi
# MinGW's own printf (and its float conversion), the exception runtime and
# the unwinder, the demangler and the thread library they bring.
forbidden='^(__mingw_pformat|__gdtoa|__cxa_throw|__cxa_begin_catch|__gxx_personality_v0|_Unwind_RaiseException|__cxa_demangle|pthread_create)$'
found=$("$nm" "$file.debug" | awk '{ print $NF }' | sed 's/^_//' | grep -E "$forbidden" | sort -u)
if [ -n "$found" ]; then
  echo "$file links parts it does not need:" $found
  status=1
fi
[ $status = 0 ] && echo "$file: $size bytes (limit $limit), no debug sections, no dialog DLL imported at start-up, no unneeded runtime parts"
exit $status
