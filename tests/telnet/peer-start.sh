#!/usr/bin/env bash
# peer-start.sh -- starts the local Telnet host for the tests and the demonstration: socat
# listens on port 2323 (or $ZK_TELNET_PORT), IPv4 and IPv6, and runs inetutils telnetd for
# each connection with zk-login.sh as its login program (user zkuser, password zkpass, prompt
# "zk$ ").
# Usage: peer-start.sh WORK_FOLDER    (stop it again with peer-stop.sh WORK_FOLDER)
set -euo pipefail
work=${1:?usage: peer-start.sh WORK_FOLDER}
port=${ZK_TELNET_PORT:-2323}
here=$(cd "$(dirname "$0")" && pwd)
telnetd=/usr/sbin/telnetd
for tool in socat "$telnetd"; do
  command -v "$tool" >/dev/null || { echo "peer-start.sh: $tool is missing (tools/install-deps.sh)" >&2; exit 1; }
done

mkdir -p "$work"
bash "$here/peer-stop.sh" "$work"
: > "$work/socat.pids"
# -h: no host banner before the login prompt, so the first text is exactly "login: ".
exec_login="$telnetd -h -E $here/zk-login.sh"
# Inside the private network every address of the namespace is served: a Windows resolver gives
# the computer's own name (zknet-test) its adapter address, not 127.0.0.1. Anywhere else the shell
# behind the known password stays on loopback.
if [ "${ZK_PRIVATE_NET:-}" = 1 ]; then
  listeners=("TCP4-LISTEN:$port" "TCP6-LISTEN:$port,ipv6only=1")
else
  listeners=("TCP4-LISTEN:$port,bind=127.0.0.1" "TCP6-LISTEN:$port,bind=[::1],ipv6only=1")
fi
for listen in "${listeners[@]}"; do
  setsid socat "$listen,reuseaddr,fork" "EXEC:$exec_login,nofork" </dev/null >>"$work/socat.log" 2>&1 &
  echo $! >> "$work/socat.pids"
done

# Ready when both listeners are there; bounded, like everything the tests start.
for _ in $(seq 100); do
  if [ "$(ss -Hltn "sport = :$port" | wc -l)" -ge 2 ]; then
    echo "telnet host listening on port $port (work folder $work)"
    exit 0
  fi
  sleep 0.1
done
echo "peer-start.sh: the telnet host did not start; see $work/socat.log" >&2
bash "$here/peer-stop.sh" "$work"
exit 1
