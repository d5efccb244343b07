#!/usr/bin/env bash
# Runs a Windows test program under Wine with code page 932 (Japanese locale) in a private prefix
# beside the program, made once under a lock so that parallel tests do not race to create it.
# Usage: tools/wine-run.sh [--arch win32|win64] program [arguments]   (default win32)
set -euo pipefail
arch=win32
if [ "${1:-}" = "--arch" ]; then
  arch=$2
  shift 2
fi
exe=$1
shift
dir=$(cd "$(dirname "$exe")" && pwd)
# The loader of the program's own width: a 64-bit prefix runs 64-bit programs only when no
# 32-bit Wine is installed, and a 32-bit prefix never runs them.
case "$arch" in
  win64) loader=/usr/lib/wine/wine64; server=/usr/lib/wine/wineserver64 ;;
  *)     loader=/usr/lib/wine/wine; server=/usr/lib/wine/wineserver32 ;;
esac
[ -x "$server" ] || server=$(command -v wineserver || echo "$server")
export WINEPREFIX=${ZK_WINEPREFIX:-$dir/wineprefix}
export WINEARCH=$arch
export WINESERVER=$server
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=ja_JP.UTF-8
export DISPLAY=
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    "$server" -w || true
  fi
) 9>"$dir/.wineprefix.lock"
exec "$loader" "$exe" "$@"
