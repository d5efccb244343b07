#!/usr/bin/env bash
# stop.sh -- stops the SMTP sink, Postfix, both dovecots, mailutils pop3d and the scripted TLS peer
# that start.sh started with the same work folder.
set -uo pipefail
work=${1:?usage: stop.sh WORK_FOLDER}
if [ -f "$work/postfix/main.cf" ]; then
  /usr/sbin/postfix -c "$work/postfix" stop >/dev/null 2>&1 || true
  pidfile=$work/postfix-queue/pid/master.pid
  for _ in $(seq 50); do
    [ -f "$pidfile" ] && kill -0 "$(tr -d ' ' < "$pidfile")" 2>/dev/null || break
    sleep 0.1
  done
  [ -f "$pidfile" ] && kill -9 "$(tr -d ' ' < "$pidfile")" 2>/dev/null || true
fi
. "$(dirname "$0")/../support/stop_group.sh"
for server in sink dovecot dovecot-tls mailutils tls-peer; do
  stop_pidfile "$work/$server.pid"
done
exit 0
