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
set -euo pipefail

peer_ns=zknicpeer
local_if=zknic0
peer_if=zknic1

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

stop_peer() {
  ip netns del "$peer_ns" 2>/dev/null || true
  ip link del "$local_if" 2>/dev/null || true
}

start_peer() {
  stop_peer
  ip netns add "$peer_ns"
  ip link add "$local_if" type veth peer name "$peer_if"
  ip link set "$peer_if" netns "$peer_ns"
  ip link set "$local_if" address 02:5a:4b:00:00:01
  ip addr add 198.51.100.1/24 brd 198.51.100.255 dev "$local_if"
  ip link set "$local_if" up
  ip -n "$peer_ns" link set lo up
  ip -n "$peer_ns" link set "$peer_if" address 02:5a:4b:00:00:02
  ip -n "$peer_ns" addr add 198.51.100.2/24 brd 198.51.100.255 dev "$peer_if"
  ip -n "$peer_ns" link set "$peer_if" up
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
    start_peer
    list_adapters > "$work/adapters.txt.new"
    mv "$work/adapters.txt.new" "$work/adapters.txt"
    echo "ARP peer 198.51.100.2 (02:5a:4b:00:00:02) in namespace $peer_ns behind $local_if"
    ;;
  stop)
    work=${2:?work folder}
    stop_peer
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
