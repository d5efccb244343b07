#!/usr/bin/env bash
# stop.sh -- stops the TLS peer that start.sh started with the same work folder.
set -uo pipefail
work=${1:?usage: stop.sh WORK_FOLDER}
[ -f "$work/tls_peer.pid" ] || exit 0
pid=$(cat "$work/tls_peer.pid")
if [ -n "$pid" ]; then
  kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
fi
rm -f "$work/tls_peer.pid"
exit 0
