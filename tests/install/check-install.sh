#!/usr/bin/env bash
# Installs the built library into a temporary prefix, stripped as the README says, and builds the
# README's C example against the installed copy twice, as a user would: through
# find_package(zknet CONFIG) and through pkg-config. Each example must build, load the installed
# library and run. The installed library and tool carry no debugging information; the licence
# and the manual page are installed beside them.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" --strip >/dev/null
for f in include/zknet/zknet.h include/zknet/zkconf.h lib/cmake/zknet/zknetConfig.cmake share/zknet/zknet.bas share/zknet/dotnet/Zknet.cs \
         share/zknet/python/pyproject.toml share/zknet/python/zknet/_native.py share/zknet/python/zknet/ftp.py \
         share/zknet/pascal/zknet.pas share/zknet/pascal/example.dpr \
         share/doc/zknet/LICENSE share/man/man1/zknet.1 bin/zknet; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
pc=$(find "$prefix" -name zknet.pc | head -n 1)
[ -n "$pc" ] || { echo "not installed: zknet.pc"; exit 1; }
lib=$(dirname "$(find "$prefix" -name 'libzknet.so.*' | head -n 1)")
[ -e "$lib/libzknet.so" ] || { echo "not installed: libzknet.so"; exit 1; }
soname=$(objdump -p "$lib/libzknet.so" | awk '$1 == "SONAME" {print $2}')
[ "$soname" = "libzknet.so.1" ] || { echo "unexpected SONAME: $soname"; exit 1; }
for f in "$lib/libzknet.so" "$prefix/bin/zknet"; do
  debug=$(readelf -S -W "$f" | { grep -oE '\.(debug_[a-z_]+|symtab)' || true; } | sort -u | tr '\n' ' ')
  [ -z "$debug" ] || { echo "installed unstripped: ${f#$prefix/} has $debug"; exit 1; }
done
# The stripped tool still starts, finding the installed library beside it.
version=$("$prefix/bin/zknet" --version)
[[ $version == "zknet "[0-9]* ]] || { echo "the installed zknet does not start: $version"; exit 1; }

# The example exactly as the README shows it.
mkdir -p "$work/example"
sed -n '/^## A minimal C example/,/^```$/p' "$source/README.md" | sed -n '/^```c$/,/^```$/p' | sed '1d;$d' \
  > "$work/example/example.c"
grep -q ZK_SocketInit "$work/example/example.c" || { echo "no C example in the README"; exit 1; }
cat > "$work/example/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(example C)
find_package(zknet 1.0 CONFIG REQUIRED)
add_executable(example example.c)
target_link_libraries(example PRIVATE zknet::zknet)
CMAKE
cmake -S "$work/example" -B "$work/example/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/example/build" >/dev/null
LD_LIBRARY_PATH=$lib "$work/example/build/example"
# It must have loaded the installed copy, not the build's.
# (ldd's output whole first: grep -q may stop reading early, and ldd then fails on its pipe.)
deps=$(LD_LIBRARY_PATH=$lib ldd "$work/example/build/example")
grep -qF "$lib/libzknet.so.1" <<< "$deps" || { echo "the find_package example does not use the installed library"; exit 1; }

PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --exists zknet
cc "$work/example/example.c" -o "$work/example/by-pkg-config" \
  $(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --cflags --libs zknet)
LD_LIBRARY_PATH=$lib "$work/example/by-pkg-config"
echo "install: headers, stripped library ($soname) and tool, CMake package, pkg-config file, licence and" \
     "manual page work from $prefix"
