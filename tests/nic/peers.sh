#!/usr/bin/env bash
# peers.sh -- the network the adapter tests and the demo work on, inside the private test network:
# a second namespace whose one adapter (198.51.100.2, MAC 02:5a:4b:00:00:02) answers ARP across a
# veth pair from this namespace's zknic0 (198.51.100.1, MAC 02:5a:4b:00:00:01), and a list of
# this namespace's adapters for tests that cannot read them themselves (the Windows build).
#
# Usage: peers.sh start <workdir>   make the peer and write <workdir>/adapters.txt
#        peers.sh stop <workdir>    remove them
#        peers.sh list              print this namespace's interfaces, one a line:
#                                   ifindex name mac addr_len flags ipv4-address-count
# Outside the private test network (ZK_PRIVATE_NET=1, set by tools/netns.sh) it changes nothing.
#
# The second namespace has no name: a named one lives in the host's /run/netns, shared by every
# test network on the machine, so one run's start or stop would remove another run's peer. It is
# held instead by a process of its own (its id in <workdir>/peer.pid), which ends at stop or when
# the process that started the peer (ctest, the demo) has gone.
set -euo pipefail

local_if=zknic0
peer_if=zknic1
holder_tag=zknic-peer-holder

# /sys shows the interfaces of the namespace it was mounted in, so it is mounted afresh here.
list_adapters() {
  unshare --mount bash -c '
    mount -t sysfs sysfs /sys
    for d in /sys/class/net/*; do
      n=${d##*/}
      printf "%s %s %s %s %s %s\n" "$(cat "$d/ifindex")" "$n" "$(cat "$d/address")" "$(cat "$d/addr_len")" \
        "$(cat "$d/flags")" "$(ip -o -4 addr show dev "$n" | wc -l)"
    done | sort -n'
}

# Whether the process is still the holder this script started (an id may have been reused).
is_holder() {
  [ -r "/proc/$1/cmdline" ] && tr '\0' ' ' < "/proc/$1/cmdline" | grep -q "$holder_tag"
}

stop_peer() {
  local work=$1 pid
  if [ -f "$work/peer.pid" ]; then
    pid=$(cat "$work/peer.pid")
    if [ -n "$pid" ] && is_holder "$pid"; then kill "$pid" 2>/dev/null || true; fi
    rm -f "$work/peer.pid"
  fi
  ip link del "$local_if" 2>/dev/null || true
}

start_peer() {
  local work=$1 watch=$PPID pid here
  stop_peer "$work"
  # Its output goes nowhere, so that nothing waits for it to close.
  unshare --net bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done' "$holder_tag" "$watch" \
    </dev/null >/dev/null 2>&1 &
  pid=$!
  echo "$pid" > "$work/peer.pid"
  here=$(readlink /proc/$$/ns/net)
  for _ in $(seq 100); do
    [ "$(readlink "/proc/$pid/ns/net" 2>/dev/null || echo "$here")" != "$here" ] && break
    sleep 0.05
  done
  ip link add "$local_if" type veth peer name "$peer_if"
  ip link set "$peer_if" netns "$pid"
  ip link set "$local_if" address 02:5a:4b:00:00:01
  ip addr add 198.51.100.1/24 brd 198.51.100.255 dev "$local_if"
  ip link set "$local_if" up
  nsenter -t "$pid" -n ip link set lo up
  nsenter -t "$pid" -n ip link set "$peer_if" address 02:5a:4b:00:00:02
  nsenter -t "$pid" -n ip addr add 198.51.100.2/24 brd 198.51.100.255 dev "$peer_if"
  nsenter -t "$pid" -n ip link set "$peer_if" up
}

action=${1:-}
if [ "${ZK_PRIVATE_NET:-}" != 1 ]; then
  echo "peers.sh: not inside the private test network (tools/netns.sh); nothing done"
  exit 0
fi

case "$action" in
  start)
    work=${2:?work folder}
    mkdir -p "$work"
    start_peer "$work"
    list_adapters > "$work/adapters.txt.new"
    mv "$work/adapters.txt.new" "$work/adapters.txt"
    echo "ARP peer 198.51.100.2 (02:5a:4b:00:00:02) in a namespace of its own behind $local_if"
    ;;
  stop)
    work=${2:?work folder}
    stop_peer "$work"
    rm -f "$work/adapters.txt"
    ;;
  list)
    list_adapters
    ;;
  *)
    echo "usage: peers.sh start|stop <workdir> | list" >&2
    exit 2
    ;;
esac
