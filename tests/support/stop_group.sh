# stop_group.sh -- sourced by the peers' stop scripts: stop_pidfile PIDFILE stops the process group
# whose leader the file names (a server and the sessions it forked), waits up to 5 s for the
# leader to be gone (the next start needs its ports) and removes the file.
stop_pidfile() {
  local pid
  pid=$(cat "$1" 2>/dev/null) || return 0
  rm -f "$1"
  [ -n "$pid" ] || return 0
  kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
}
