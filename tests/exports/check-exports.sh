#!/usr/bin/env bash
# Checks that the built library exports exactly the ZK_ names of the .def file, undecorated, and
# nothing else.
set -euo pipefail
lib=$1
def=$2
expected=$(grep -oE '^[[:space:]]+ZK_[A-Za-z0-9]+' "$def" | tr -d '[:blank:]' | sort -u)
# "name address" lines for every export.
case "$lib" in
  *.dll)
    objdump=${ZK_OBJDUMP:-i686-w64-mingw32-objdump}
    # The name table gives each name's index into the address table, which gives its address.
    table=$("$objdump" -p "$lib" | awk '
      /^Export Address Table --/ { mode = 1; next }
      /^\[Ordinal\/Name Pointer\] Table/ { mode = 2; next }
      /^$/ { mode = 0 }
      mode == 1 && /Export RVA/ { gsub(/[\[\]]/, " "); rva[$1] = $4 }
      mode == 2 { gsub(/[\[\]]/, " "); print $2, rva[$1] }')
    ;;
  *)
    table=$(nm -D --defined-only "$lib" | awk '$3 != "ZKNET_1" { sub(/@.*/, "", $3); print $3, $1 }')
    ;;
esac
actual=$(echo "$table" | awk '{print $1}' | grep . | sort -u)
if [ "$expected" != "$actual" ]; then
  echo "exported names differ from the .def file:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
# Names given as "alias = name" in the .def are one entry under two names.
address_of() { echo "$table" | awk -v n="$1" '$1 == n {print $2}'; }
while read -r alias target; do
  if [ -z "$(address_of "$alias")" ] || [ "$(address_of "$alias")" != "$(address_of "$target")" ]; then
    echo "$alias is not the same entry as $target"
    exit 1
  fi
done < <(sed -nE 's/^[[:space:]]+(ZK_[A-Za-z0-9]+)@[0-9]+[[:space:]]*=[[:space:]]*(ZK_[A-Za-z0-9]+)@[0-9]+.*/\1 \2/p' "$def")
# The DLL must load on a bare Windows: it may import system DLLs only, no compiler runtime.
case "$lib" in
  *.dll)
    foreign=$("$objdump" -p "$lib" | sed -n 's/^[[:space:]]*DLL Name: //p' |
              grep -viE '^(kernel32|ws2_32|msvcrt|netapi32|iphlpapi|user32|advapi32|ntdll)\.dll$' || true)
    if [ -n "$foreign" ]; then
      echo "the DLL depends on non-system DLLs: $foreign"
      exit 1
    fi
    ;;
esac
echo "exports: $(echo "$actual" | wc -l) names, as the .def file lists them, aliases shared"
