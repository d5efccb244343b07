#!/usr/bin/env bash
# Shows that check-release.sh refuses broken archives: each case takes a good archive apart,
# breaks one thing, packs it again and expects the check to fail with the words that name the
# fault. The good archive must pass as it is.
# Usage: check-release-faults.sh ZIP   (an archive made by tools/release.sh)
set -uo pipefail
good=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
top=$(basename "$good" .zip)
failures=0

# Replaces a text by one of the same length inside a binary file.
patch_bytes() {
  /usr/bin/python3 - "$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].encode(), sys.argv[3].encode()
assert len(old) == len(new)
data = open(path, "rb").read()
assert old in data, f"{old!r} not in {path}"
open(path, "wb").write(data.replace(old, new))
PY
}

# case NAME EXPECTED-WORDS COMMANDS...: the commands run in the unpacked folder.
case_() {
  local what=$1 words=$2
  shift 2
  rm -rf "$work/case" && mkdir -p "$work/case/out" && (cd "$work/case" && cmake -E tar xf "$good")
  (cd "$work/case/$top" && eval "$*") || { echo "FAIL  set-up of: $what"; failures=$((failures + 1)); return; }
  local name=${zipname:-$top.zip}
  (cd "$work/case" && find "$top" -type f | LC_ALL=C sort > files && cmake -E tar cf "out/$name" --format=zip --files-from=files)
  local output
  output=$(bash "$here/check-release.sh" "$work/case/out/$name" 2>&1)
  if [ $? -ne 0 ] && grep -qF -- "$words" <<< "$output"; then
    echo "ok    the check refuses $what"
  else
    echo "FAIL  the check does not refuse $what:"
    sed 's/^/      /' <<< "$output" | head -n 20
    failures=$((failures + 1))
  fi
}

output=$(bash "$here/check-release.sh" "$good" 2>&1) || { echo "FAIL  the good archive fails:"; echo "$output"; exit 1; }
echo "ok    the archive as made passes"

case_ "a missing header" "-$top/include/zknet/nic.h" 'rm include/zknet/nic.h'
case_ "a missing licence" "-$top/LICENSE" 'rm LICENSE'
case_ "a file that does not belong" "+$top/x64/notes.txt" 'echo x > x64/notes.txt'
case_ "a VBA example that looks for the DLLs elsewhere" "vba/example.bas looks for the DLLs in C:\\${top%-windows}," \
  'sed -i "s/-windows\"/\"/" vba/example.bas'
case_ "the two DLLs swapped" "x86/zknet.dll is not a pei-i386 file" 'mv x86/zknet.dll t && mv x64/zknet.dll x86/ && mv t x64/zknet.dll'
case_ "a decorated .def in x64/" "zknet64.def in the archive differs" 'cp x86/zknet32.def x64/zknet64.def'
case_ "a stale VBA module" "zknet.bas in the archive differs" 'printf "x\r\n" >> vba/zknet.bas'
case_ "a program that needs a DLL Windows lacks" "needs DLLs that a bare Windows lacks" \
  'f=$(ls x64/*.exe | head -n 1); patch_bytes "$f" msvcrt.dll msvcrx.dll'
case_ "a DLL whose exports differ from the .def" "x64/zknet.dll does not export the names of the .def" \
  'patch_bytes x64/zknet.dll ZK_NicGetNicNumber ZK_NicGetNicNumbeX'
case_ "an import library without the stdcall names" "x86/libzknet.dll.a lacks" 'cp x64/libzknet.dll.a x86/'
case_ "an x86 zknet.lib importing the decorated names" "x86/zknet.lib imports names that zknet.dll does not export" \
  'llvm-dlltool -m i386 -d x86/zknet32.def -l x86/zknet.lib'
zipname=zknet-0.9.0-windows.zip case_ "an archive named for another version" "expected $top.zip" 'true'

if [ $failures -gt 0 ]; then
  echo "$failures release check cases failed"
  exit 1
fi
echo "release check: refuses every broken archive"
