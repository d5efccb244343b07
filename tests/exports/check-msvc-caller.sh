#!/usr/bin/env bash
# Builds the README's C example as a Visual Studio user does: clang-cl in MSVC mode with the
# headers of include/, lld-link against zknet.lib (under /SAFESEH on x86), with beside it a C++
# table that takes the address of every export of the .def, so that each one is linked. The
# program must import from zknet.dll exactly the names the DLL exports, and runs under Wine where
# this machine can start it. mingw's headers stand in for the Windows SDK's C headers, and an
# import library for msvcrt.dll with a start-up of ours (msvc_start.c) for Visual Studio's C
# runtime.
# Usage: check-msvc-caller.sh x86|x64 BUILD_DIR SOURCE_DIR SDK_INCLUDE_DIR [EMULATOR ...]
# The tools come from the environment: ZK_CLANG_CL, ZK_LLD_LINK, ZK_LLVM_DLLTOOL, ZK_LLVM_READOBJ.
set -euo pipefail
arch=$1 build=$2 source=$3 sdk=$4
shift 4
emulator=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case $arch in
  x86) target=i686-pc-windows-msvc; machine=(/machine:x86 /safeseh); crt_machine=i386 ;;
  x64) target=x86_64-pc-windows-msvc; machine=(/machine:x64); crt_machine=i386:x86-64 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
def=$source/exports/zknet.def
exe=$build/zk_msvc_example.exe

sed -n '/^## A minimal C example/,/^```$/p' "$source/README.md" | sed -n '/^```c$/,/^```$/p' | sed '1d;$d' \
  > "$work/example.c"
grep -q ZK_SocketInit "$work/example.c" || { echo "no C example in the README"; exit 1; }
{
  echo '#include <zknet/zknet.h>'
  echo 'void *zk_all_exports[] = {'
  grep -oE '^[[:space:]]+ZK_[A-Za-z0-9]+' "$def" | tr -d '[:blank:]' | sort -u | sed 's/.*/    (void *)&,/'
  echo '};'
} > "$work/refs.cpp"
printf 'LIBRARY msvcrt.dll\nEXPORTS\n    printf\n    exit\n' > "$work/msvcrt.def"
"$ZK_LLVM_DLLTOOL" -m $crt_machine -d "$work/msvcrt.def" -l "$work/msvcrt.lib"

# /Zl leaves out the Visual Studio runtime's library names, /GS- its stack cookies.
cl=("$ZK_CLANG_CL" --target=$target /nologo /W4 /WX /GS- /Zl -D__USE_MINGW_ANSI_STDIO=0 -imsvc "$sdk"
    -I"$source/include")
link=("$ZK_LLD_LINK" /nologo "${machine[@]}" /subsystem:console /entry:mainCRTStartup /nodefaultlib /opt:noref)
for c in "$work/example.c" "$work/refs.cpp" "$source/tests/exports/msvc_start.c"; do
  obj=$work/$(basename "${c%.*}").obj
  # "--" before the source: clang-cl would take a path beginning with / for an option.
  (set -x; "${cl[@]}" /c /Fo"$obj" -- "$c")
done
(set -x; "${link[@]}" "$work/example.obj" "$work/refs.obj" "$work/msvc_start.obj" "$build/zknet.lib" \
         "$work/msvcrt.lib" /out:"$exe")

# What the loader will look up in zknet.dll, against what the DLL exports.
"$ZK_LLVM_READOBJ" --coff-imports "$exe" |
  awk '/Name: / { dll = tolower($2) } dll == "zknet.dll" && /Symbol: / { print $2 }' | sort -u > "$work/imported"
"$ZK_LLVM_READOBJ" --coff-exports "$build/zknet.dll" | sed -n 's/^ *Name: //p' | sort -u > "$work/exported"
if ! cmp -s "$work/imported" "$work/exported"; then
  echo "the program's imports from zknet.dll differ from the DLL's exports (< imported, > exported):"
  diff "$work/imported" "$work/exported" | head -n 20
  exit 1
fi
echo "msvc-caller: $arch program links against zknet.lib and imports the DLL's $(wc -l < "$work/exported") names"

if [ ${#emulator[@]} -eq 0 ] || { [ $arch = x86 ] && ! bash "$source/tools/can-run-32bit.sh"; }; then
  echo "msvc-caller: not run (this machine cannot start a $arch program)"
  exit 0
fi
output=$("${emulator[@]}" "$exe" | tr -d '\r')
echo "$output"
grep -qE '^(connect failed: error [0-9]+|server says: .*)$' <<< "$output" || { echo "the example printed no result"; exit 1; }
