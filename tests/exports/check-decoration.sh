#!/usr/bin/env bash
# Checks, for the 32-bit DLL, that every export of the .def is declared in the public headers and
# that the @n of each .def entry (what the import library's decorated name says the callee
# removes from the stack) is what the compiler makes of the declared prototype. A mismatch links
# but corrupts the caller's stack at the first call.
# Usage: check-decoration.sh C-COMPILER INCLUDE-DIR DEF-FILE
set -euo pipefail
cc=$1
include=$2
def=$3
nm=${cc%-gcc*}-nm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

names=$(grep -oE '^[[:space:]]+ZK_[A-Za-z0-9]+' "$def" | tr -d '[:blank:]' | sort -u)
{
  echo '#include "zknet/zknet.h"'
  echo 'void *zk_all_exports[] = {'
  for n in $names; do echo "    (void *)$n,"; done
  echo '};'
} > "$work/refs.c"
"$cc" -std=c99 -Wall -Werror -c -I"$include" "$work/refs.c" -o "$work/refs.o"
# The compiler's decorated references, "_ZK_Name@n", against the .def's "ZK_Name@n".
made=$("$nm" -u "$work/refs.o" | awk '{print $2}' | sed -n 's/^_\(ZK_[A-Za-z0-9]*@[0-9]*\)$/\1/p' | sort -u)
listed=$(sed -nE 's/^[[:space:]]+(ZK_[A-Za-z0-9]+@[0-9]+).*/\1/p' "$def" | sort -u)
if [ "$made" != "$listed" ]; then
  echo "the .def's stack sizes differ from the prototypes (< .def, > compiler):"
  diff <(echo "$listed") <(echo "$made") || true
  exit 1
fi
echo "decoration: $(echo "$listed" | wc -l) exports declared, each @n as its prototype makes it"
