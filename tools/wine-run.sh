#!/usr/bin/env bash
# Runs a Windows test program under Wine with code page 932 (Japanese locale) in a private prefix
# beside the program, made once under a lock so that parallel tests do not race to create it.
set -euo pipefail
exe=$1
shift
dir=$(cd "$(dirname "$exe")" && pwd)
export WINEPREFIX=${ZK_WINEPREFIX:-$dir/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=ja_JP.UTF-8
export DISPLAY=
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$dir/.wineprefix.lock"
exec wine "$exe" "$@"
