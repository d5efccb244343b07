#!/usr/bin/env bash
# peer-stop.sh -- stops the Telnet host that peer-start.sh started with the same work folder: the
# socat listeners it recorded, and their process groups (the sessions still running under them).
set -uo pipefail
work=${1:?usage: peer-stop.sh WORK_FOLDER}
[ -f "$work/socat.pids" ] || exit 0
while read -r pid; do
  [ -n "$pid" ] || continue
  kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
done < "$work/socat.pids"
rm -f "$work/socat.pids"
exit 0
