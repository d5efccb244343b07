#!/usr/bin/env bash
# Checks that the import libraries of a Windows build (libzknet.dll.a for mingw, zknet.lib for
# Visual Studio) are the same bytes wherever they were built: no member name and no symbol
# holds the build folder (dlltool names both after the path it writes to, with / and . made _),
# and no member header carries a time, owner or group.
# Usage: check-import-libraries.sh BUILD_DIR [LLVM_AR]
set -euo pipefail
build=$(cd "$1" && pwd)
ar=${2:-llvm-ar}
mangled=$(printf '%s' "$build" | sed 's/[^A-Za-z0-9]/_/g')
problems=0
for name in libzknet.dll.a zknet.lib; do
  lib=$build/$name
  [ -f "$lib" ] || { echo "$name: not built"; problems=$((problems + 1)); continue; }
  members=$("$ar" t "$lib")
  if grep -qF -e / -e "$mangled" <<< "$members"; then
    echo "$name: member names hold the build folder, e.g. $(grep -m1 -F -e / -e "$mangled" <<< "$members")"
    problems=$((problems + 1))
  fi
  if grep -qaF -e "$build" -e "$mangled" "$lib"; then
    echo "$name: holds the build folder $build"
    problems=$((problems + 1))
  fi
  headers=$(TZ=UTC0 "$ar" tv "$lib")
  stamped=$(awk '$2 != "0/0" || $4 " " $5 " " $6 " " $7 != "Jan 1 00:00 1970" { print; exit }' <<< "$headers")
  if [ -n "$stamped" ]; then
    echo "$name: member headers carry a time or owner: $stamped"
    problems=$((problems + 1))
  fi
  echo "$name: $(wc -l <<< "$members") members"
done
[ $problems -eq 0 ] || exit 1
echo "import libraries: no build folder inside, no times or owners in their headers"
