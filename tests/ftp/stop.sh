#!/usr/bin/env bash
# stop.sh -- stops the FTP servers that start.sh started with the same work folder, and the
# sessions they forked (each server's process group).
set -uo pipefail
work=${1:?usage: stop.sh WORK_FOLDER}
for server in vsftpd vsftpd-tls vsftpd-tls12 vsftpd-implicit pyftpd proftpd ftps-peer; do
  [ -f "$work/$server.pid" ] || continue
  pid=$(cat "$work/$server.pid")
  if [ -n "$pid" ]; then
    kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -f "$work/$server.pid"
done
exit 0
