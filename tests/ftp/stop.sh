#!/usr/bin/env bash
# stop.sh -- stops the FTP servers that start.sh started with the same work folder, and the
# sessions they forked (each server's process group).
set -uo pipefail
work=${1:?usage: stop.sh WORK_FOLDER}
. "$(dirname "$0")/../support/stop_group.sh"
for server in vsftpd vsftpd-tls vsftpd-tls12 vsftpd-implicit pyftpd proftpd ftps-peer; do
  stop_pidfile "$work/$server.pid"
done
exit 0
