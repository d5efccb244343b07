#!/usr/bin/env bash
# stop.sh -- stops the TLS peer that start.sh started with the same work folder (its process group).
set -uo pipefail
work=${1:?usage: stop.sh WORK_FOLDER}
pid=$(cat "$work/tls_peer.pid" 2>/dev/null) || exit 0
rm -f "$work/tls_peer.pid"
[ -n "$pid" ] || exit 0
kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
# Gone within 5 s: the next start needs its ports.
timeout 5 tail --pid="$pid" -f /dev/null || true
exit 0
