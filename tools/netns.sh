#!/usr/bin/env bash
# Runs a command inside a private network made for it: its own loopback, a dummy adapter for
# broadcasts, the host name zknet-test mapped to 127.0.0.1 and ::1 by a hosts file of its own.
# Nothing the command sends can leave this namespace. Exits with the command's status; the files
# it made for the namespace go however the command ends.
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
  if [ "${ZK_PRIVATE_NET:-}" = 1 ]; then exec "$@"; fi
  exec unshare --net --uts --mount --fork -- bash "$0" --inside "$@"
fi
shift

ip link set lo up
# A broadcast needs an adapter with a broadcast address: a veth pair whose both ends stay here.
ip link add zkbcast0 type veth peer name zkbcast1
ip link set zkbcast1 up
ip addr add 192.0.2.1/24 brd 192.0.2.255 dev zkbcast0
ip link set zkbcast0 up
# The limited broadcast (255.255.255.255) leaves by that adapter too; there is no default route.
ip route add broadcast 255.255.255.255 dev zkbcast0 table local proto kernel scope link src 192.0.2.1
hostname zknet-test

etc=$(mktemp -d "${TMPDIR:-/tmp}/zknet-netns.XXXXXX")
trap 'rm -rf "$etc"' EXIT
cat > "$etc/hosts" <<HOSTS
127.0.0.1	localhost
::1	localhost ip6-localhost ip6-loopback
127.0.0.1	zknet-test
::1	zknet-test
HOSTS
mount --bind "$etc/hosts" /etc/hosts
echo zknet-test > "$etc/hostname"
mount --bind "$etc/hostname" /etc/hostname

export ZK_PRIVATE_NET=1
"$@"
