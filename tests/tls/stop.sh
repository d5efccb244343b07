#!/usr/bin/env bash
# stop.sh -- stops the TLS peer that start.sh started with the same work folder (its process group).
set -uo pipefail
work=${1:?usage: stop.sh WORK_FOLDER}
. "$(dirname "$0")/../support/stop_group.sh"
stop_pidfile "$work/tls_peer.pid"
exit 0
