#!/usr/bin/env bash
# start.sh -- makes the test certificates (once per work folder) and starts the TLS peer
# (tls_peer.py) on loopback ports 4430-4438.
# Usage: start.sh WORK_FOLDER    (stop it again with stop.sh WORK_FOLDER)
set -euo pipefail
work=${1:?usage: start.sh WORK_FOLDER}
first_port=4430
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
work=$(cd "$work" && pwd)
bash "$here/stop.sh" "$work"
bash "$here/make-certs.sh" "$work/certs" >/dev/null

setsid /usr/bin/python3 "$here/tls_peer.py" "$work/certs" "$first_port" </dev/null >>"$work/tls_peer.out" 2>&1 &
echo $! > "$work/tls_peer.pid"

# Ready when the last listener is there; bounded, like everything the tests start.
for _ in $(seq 100); do
  if [ "$(ss -Hltn "sport = :$((first_port + 8))" | wc -l)" -ge 1 ]; then
    echo "TLS peer on ports $first_port-$((first_port + 8)), certificates in $work/certs"
    exit 0
  fi
  sleep 0.1
done
echo "start.sh: the TLS peer did not start; see $work/tls_peer.out" >&2
bash "$here/stop.sh" "$work"
exit 1
