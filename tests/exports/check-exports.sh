#!/usr/bin/env bash
# Checks that the built library exports exactly the ZK_ names of the .def file, undecorated, and
# nothing else.
set -euo pipefail
lib=$1
def=$2
expected=$(grep -oE '^[[:space:]]+ZK_[A-Za-z0-9]+' "$def" | tr -d '[:blank:]' | sort -u)
case "$lib" in
  *.dll)
    objdump=${ZK_OBJDUMP:-i686-w64-mingw32-objdump}
    # The export table lists "[ordinal] name" lines after "[Ordinal/Name Pointer] Table".
    actual=$("$objdump" -p "$lib" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -oE '[A-Za-z_][A-Za-z0-9_@]*$' | grep -v '^Table$' | sort -u)
    ;;
  *)
    actual=$(nm -D --defined-only "$lib" | awk '{print $3}' | grep -v '^ZKNET_1$' | sed 's/@.*//' | grep . | sort -u)
    ;;
esac
if [ "$expected" != "$actual" ]; then
  echo "exported names differ from the .def file:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "exports: $(echo "$actual" | wc -l) names, as the .def file lists them"
