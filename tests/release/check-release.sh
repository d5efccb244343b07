#!/usr/bin/env bash
# Checks a Windows release archive made by tools/release.sh: exactly the expected files under one
# folder named for the version; headers, VBA files, README, licence and .def files as in the tree;
# the VBA example looking for the DLLs where the archive unpacks them; both
# DLLs and the programs PE files of their machine type (objdump -f) that load on a bare Windows
# (system DLLs only, zknet.dll beside the programs) and carry the version; both DLLs exporting the
# same names, those of the .def; each import library giving every export under the name its
# callers link against (the stdcall-decorated name on x86), and zknet.lib having the loader look up
# exactly the DLL's exports. Needs no Wine.
# Usage: check-release.sh ZIP
set -euo pipefail
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
readobj=${ZK_LLVM_READOBJ:-llvm-readobj}
problems=0
fail() { echo "release: $*"; problems=$((problems + 1)); }

version=$(sed -n 's/^#define ZKNET_VERSION "\(.*\)"$/\1/p' include/zknet/zkconf.h)
top=zknet-$version-windows
[ "$(basename "$zip")" = "$top.zip" ] || fail "the archive is $(basename "$zip"), expected $top.zip"
mapfile -t programs < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e 's/=.*//' tools/release-programs.txt | grep .)

# The listing: every expected file, nothing else.
{
  echo "$top/README.md"
  echo "$top/LICENSE"
  for h in include/zknet/*.h; do echo "$top/$h"; done
  for f in zknet.bas example.bas README.md; do echo "$top/vba/$f"; done
  for f in bindings/python/pyproject.toml bindings/python/zknet/*.py; do echo "$top/python/${f#bindings/python/}"; done
  echo "$top/dotnet/Zknet.cs"
  for f in zknet.pas example.dpr; do echo "$top/pascal/$f"; done
  for arch in x86 x64; do
    bits=32; [ $arch = x64 ] && bits=64
    for f in zknet.dll libzknet.dll.a zknet.lib zknet$bits.def; do echo "$top/$arch/$f"; done
    for p in "${programs[@]}"; do echo "$top/$arch/$p.exe"; done
  done
} | LC_ALL=C sort > "$work/expected"
cmake -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort > "$work/listed"
if ! diff -u "$work/expected" "$work/listed" > "$work/diff"; then
  fail "the archive's files differ from the expected list (- expected, + in the archive):"
  sed -n '3,$p' "$work/diff" | grep '^[-+]'
fi
(cd "$work" && cmake -E tar xf "$zip")
a=$work/$top

# Texts exactly as in the tree.
same() { [ -f "$2" ] && cmp -s "$1" "$2" || fail "$(basename "$2") in the archive differs from $1"; }
same README.md "$a/README.md"
same LICENSE "$a/LICENSE"
for h in include/zknet/*.h; do same "$h" "$a/$h"; done
same bindings/vba/zknet.bas "$a/vba/zknet.bas"
same bindings/vba/example.bas "$a/vba/example.bas"
same bindings/vba/README.md "$a/vba/README.md"
for f in bindings/python/pyproject.toml bindings/python/zknet/*.py; do same "$f" "$a/python/${f#bindings/python/}"; done
same bindings/dotnet/Zknet.cs "$a/dotnet/Zknet.cs"
same bindings/pascal/zknet.pas "$a/pascal/zknet.pas"
same bindings/pascal/example.dpr "$a/pascal/example.dpr"
same exports/zknet.def "$a/x86/zknet32.def"
sed -E 's/@[0-9]+//g' exports/zknet.def > "$work/zknet64.def"
same "$work/zknet64.def" "$a/x64/zknet64.def"

# The VBA example loads RELEASE_FOLDER\ARCH\zknet.dll: the folder must be the archive's own, unpacked
# into C:\ as the example says, and each ARCH a folder of the archive holding the DLL.
example=$a/vba/example.bas
if [ -f "$example" ]; then
  folder=$(sed -n 's/^Private Const ReleaseFolder As String = "\(.*\)"\r\?$/\1/p' "$example")
  [ "$folder" = "C:\\$top" ] || fail "vba/example.bas looks for the DLLs in ${folder:-no ReleaseFolder}, not in C:\\$top"
  grep -qF 'LoadLibraryW(StrPtr(ReleaseFolder & "\" & arch & "\zknet.dll"))' "$example" ||
    fail "vba/example.bas does not load ReleaseFolder\\ARCH\\zknet.dll"
  arches=$(sed -n 's/^ *arch = "\(.*\)"\r\?$/\1/p' "$example" | sort -u | tr '\n' ' ')
  [ "$arches" = "x64 x86 " ] || fail "vba/example.bas picks the folders ${arches:-none}, not x64 and x86"
  for arch in $arches; do
    [ -f "$a/$arch/zknet.dll" ] || fail "vba/example.bas loads $arch\\zknet.dll, which the archive lacks"
  done
fi

# Names of the .def, and of each DLL's export table.
grep -oE '^[[:space:]]+ZK_[A-Za-z0-9]+' exports/zknet.def | tr -d '[:blank:]' | sort -u > "$work/def-names"
exported() {
  "$1" -p "$2" | awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next } /^$/ { on = 0 }
                      on { gsub(/[\[\]]/, " "); print $2 }' | sort -u
}
for arch in x86 x64; do
  case $arch in
    x86) tool=i686-w64-mingw32; format=pei-i386; machine=i386 ;;
    x64) tool=x86_64-w64-mingw32; format=pei-x86-64; machine=i386:x86-64 ;;
  esac
  for f in "$a/$arch"/*.dll "$a/$arch"/*.exe; do
    [ -f "$f" ] || continue
    rel=$arch/$(basename "$f")
    head=$("$tool-objdump" -f "$f" 2>&1 || true)
    grep -q "file format $format\$" <<< "$head" || fail "$rel is not a $format file: $(grep -m1 'file format' <<< "$head")"
    grep -q "^architecture: $machine," <<< "$head" || fail "$rel is not built for $machine"
    # What Windows must find to start it: its own system DLLs, and zknet.dll beside a program.
    allowed='kernel32|ws2_32|msvcrt|netapi32|iphlpapi|user32|advapi32|ntdll|secur32|crypt32|shell32'
    case $f in *.exe) allowed="$allowed|zknet" ;; esac
    foreign=$("$tool-objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p' | grep -viE "^($allowed)\.dll\$" || true)
    [ -z "$foreign" ] || fail "$rel needs DLLs that a bare Windows lacks: $(echo $foreign)"
  done
  dll=$a/$arch/zknet.dll
  [ -f "$dll" ] || continue
  exported "$tool-objdump" "$dll" > "$work/$arch-names"
  cmp -s "$work/def-names" "$work/$arch-names" || {
    fail "$arch/zknet.dll does not export the names of the .def:"; diff "$work/def-names" "$work/$arch-names" | head -n 20; }
  strings -e l "$dll" | grep -qx "$version" || fail "$arch/zknet.dll carries no version $version in its resource"
  # The import libraries (mingw's and Visual Studio's): __imp_ symbols for the names their
  # callers' compilers make.
  if [ $arch = x86 ]; then
    sed -nE 's/^[[:space:]]+(ZK_[A-Za-z0-9]+@[0-9]+).*/_\1/p' exports/zknet.def | sort -u > "$work/$arch-want"
  else
    cp "$work/def-names" "$work/$arch-want"
  fi
  for lib in "$a/$arch/libzknet.dll.a" "$a/$arch/zknet.lib"; do
    [ -f "$lib" ] || continue
    "$tool-nm" "$lib" 2>/dev/null | awk '$2 == "I" || $2 == "T" {print $3}' | sed -n 's/^__imp_//p' | sort -u > "$work/$arch-imp"
    missing=$(comm -23 "$work/$arch-want" "$work/$arch-imp")
    [ -z "$missing" ] || fail "$arch/$(basename "$lib") lacks: $(echo $missing | cut -c1-300)"
  done
  # And the names zknet.lib has the loader look up in zknet.dll (its short import members say how
  # a symbol becomes that name): exactly the DLL's exports, undecorated on x86 too.
  [ -f "$a/$arch/zknet.lib" ] || continue
  "$readobj" "$a/$arch/zknet.lib" | awk '
    /^Name type:/ { type = $3 }
    /^Symbol: __imp_/ { s = substr($2, 7)
                        if (type != "name") sub(/^[_@?]/, "", s)
                        if (type == "undecorate") sub(/@[0-9]+$/, "", s)
                        print s }' | sort -u > "$work/$arch-loaded"
  cmp -s "$work/$arch-loaded" "$work/$arch-names" || {
    fail "$arch/zknet.lib imports names that zknet.dll does not export (< imported, > exported):"
    diff "$work/$arch-loaded" "$work/$arch-names" | head -n 10; }
done
cmp -s "$work/x86-names" "$work/x64-names" 2>/dev/null || fail "the two DLLs export different names"

if [ $problems -gt 0 ]; then
  echo "release: $problems problems in $(basename "$zip")"
  exit 1
fi
echo "release: $(basename "$zip") holds $(wc -l < "$work/listed") files as expected; both DLLs and" \
     "${#programs[@]} program(s) per width checked (machine type, imports, $(wc -l < "$work/def-names") exports, version)"
