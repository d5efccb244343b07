#!/usr/bin/env bash
# stop.sh -- stops the SMTP sink, Postfix, dovecot and mailutils pop3d that start.sh started with the same
# work folder.
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
for server in sink dovecot mailutils; do
  if [ -f "$work/$server.pid" ]; then
    pid=$(cat "$work/$server.pid")
    if [ -n "$pid" ]; then
      kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
    fi
    rm -f "$work/$server.pid"
  fi
done
exit 0
