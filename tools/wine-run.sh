#!/usr/bin/env bash
# Runs a Windows test program under Wine with code page 932 (Japanese locale) in a private prefix
# in the program's folder, made once under a lock so that parallel tests do not race to create it.
# Usage: tools/wine-run.sh [--arch win32|win64] program [arguments]   (default win32)
#        tools/wine-run.sh [--arch ...] --start FOLDER | --stop FOLDER
# --start keeps one Wine session (the server and Wine's own system programs) running for the
# prefix of FOLDER until --stop: the test runs wrap every program in them, since with Wine's
# default a program that starts just as the last one's server goes away cannot reach it
# ("recvmsg: Connection reset by peer"), and a session started by a test would hold its output
# open.
set -euo pipefail
arch=win32
if [ "${1:-}" = "--arch" ]; then
  arch=$2
  shift 2
fi
mode=run
case "${1:-}" in
  --start|--stop) mode=${1#--}; shift; dir=$(cd "$1" && pwd) ;;
  *) exe=$1; shift; dir=$(cd "$(dirname "$exe")" && pwd) ;;
esac
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

if [ "$mode" = stop ]; then
  "$server" -k >/dev/null 2>&1 || true
  exit 0
fi
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    "$server" -w || true
  fi
  if [ "$mode" = start ]; then
    # Detached from every output and from the lock: nothing of the session holds either.
    "$server" -p </dev/null >/dev/null 2>&1 9>&- || true
    "$loader" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$dir/.wineprefix.lock"
[ "$mode" = start ] && exit 0
exec "$loader" "$exe" "$@"
