#!/usr/bin/env bash
# Makes the Windows release archive build/release/zknet-<version>-windows.zip (the version is
# ZKNET_VERSION of include/zknet/zkconf.h): builds the 32-bit and 64-bit DLLs (presets win32 and
# win64) and the programs of tools/release-programs.txt, puts them in x86/ and x64/ with their
# import libraries and .def files, adds the headers, the VBA module and example, the README and
# the licence, then checks the archive (tests/release/check-release.sh). Builds that exist are reused.
# Usage: tools/release.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# "name" or "name=target" per line.
mapfile -t entries < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' tools/release-programs.txt | grep .)
programs=() targets=()
for e in "${entries[@]}"; do
  programs+=("${e%%=*}")
  targets+=("${e#*=}")
done
version=$(sed -n 's/^#define ZKNET_VERSION "\(.*\)"$/\1/p' include/zknet/zkconf.h)
[ -n "$version" ] || { echo "no ZKNET_VERSION in include/zknet/zkconf.h"; exit 1; }
name=zknet-$version-windows

bash tools/install-deps.sh
# A stale VBA module or Pascal unit must not ship: it would declare what the DLL no longer has.
/usr/bin/python3 tests/bindings/check-vba.py >/dev/null || {
  /usr/bin/python3 tests/bindings/check-vba.py; exit 1; }
/usr/bin/python3 tests/bindings/python/check-python.py >/dev/null || {
  /usr/bin/python3 tests/bindings/python/check-python.py; exit 1; }
/usr/bin/python3 tests/bindings/dotnet/check-dotnet.py >/dev/null || {
  /usr/bin/python3 tests/bindings/dotnet/check-dotnet.py; exit 1; }
/usr/bin/python3 tests/bindings/pascal/check-pascal.py >/dev/null || {
  /usr/bin/python3 tests/bindings/pascal/check-pascal.py; exit 1; }

for preset in win32 win64; do
  echo "=== release: build $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target zknet "${targets[@]}"
done

out=build/release
stage=$out/$name
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage/include/zknet" "$stage/vba" "$stage/pascal" "$stage/x86" "$stage/x64"
cp README.md LICENSE "$stage/"
cp include/zknet/*.h "$stage/include/zknet/"
cp bindings/vba/zknet.bas bindings/vba/example.bas bindings/vba/README.md "$stage/vba/"
# The Python package's source, for pip install ./python (it finds x86/ or x64/ zknet.dll through
# ZKNET_LIBRARY, or a zknet.dll copied into python/zknet/).
mkdir -p "$stage/python/zknet"
cp bindings/python/pyproject.toml "$stage/python/"
cp bindings/python/zknet/*.py "$stage/python/zknet/"
mkdir -p "$stage/dotnet" && cp bindings/dotnet/Zknet.cs "$stage/dotnet/"
cp bindings/pascal/zknet.pas bindings/pascal/example.dpr "$stage/pascal/"
# Each DLL with its import libraries, mingw's libzknet.dll.a and Visual Studio's zknet.lib.
# x86: the .def with the stdcall sizes (@n) the 32-bit import libraries are made from;
# x64: the same names undecorated, as the 64-bit build makes it.
cp build/win32/zknet.dll build/win32/libzknet.dll.a build/win32/zknet.lib "$stage/x86/"
cp exports/zknet.def "$stage/x86/zknet32.def"
cp build/win64/zknet.dll build/win64/libzknet.dll.a build/win64/zknet.lib "$stage/x64/"
cp build/win64/zknet64.def "$stage/x64/zknet64.def"
for p in "${programs[@]}"; do
  cp "build/win32/$p.exe" "$stage/x86/"
  cp "build/win64/$p.exe" "$stage/x64/"
done

# The debugging information stays in the build folders; what ships is stripped of it.
i686-w64-mingw32-strip --strip-debug "$stage"/x86/*.dll "$stage"/x86/*.exe
x86_64-w64-mingw32-strip --strip-debug "$stage"/x64/*.dll "$stage"/x64/*.exe

# Files in a fixed order, stamped with the time of the last commit, so that the same tree makes
# the same archive.
stamp=$(git log -1 --format=%cd --date=format-local:'%Y-%m-%d %H:%M:%S' 2>/dev/null || true)
(cd "$out" && find "$name" -type f | LC_ALL=C sort > "$name.files" &&
  cmake -E tar cf "$name.zip" --format=zip ${stamp:+"--mtime=$stamp"} --files-from="$name.files" &&
  rm "$name.files")

bash tests/release/check-release.sh "$out/$name.zip"
echo "made $out/$name.zip"
