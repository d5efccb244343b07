#!/usr/bin/env bash
# The demonstration: installs what is missing, builds the native library and runs zkdemo inside
# a private network, against local servers it starts there (nothing leaves this computer).
# Usage: tools/demo.sh [part [arguments]]   (parts: zkdemo --help)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "${1:-}" != "--inside" ]; then
  bash tools/install-deps.sh
  cmake --preset native >/dev/null
  cmake --build --preset native --target zknet zkdemo
  exec tools/netns.sh bash "$0" --inside "$@"
fi
shift

work=$(mktemp -d /tmp/zknet-demo.XXXXXX)
# The mail servers run as users of their own, which must reach their folders in it.
chmod 755 "$work"
stoppers=()
cleanup() {
  for s in "${stoppers[@]}"; do bash -c "$s" >/dev/null 2>&1 || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Each family that talks to a real server brings a script that starts it in a work folder.
for family in ftp mail telnet nic; do
  start=tests/$family/peer-start.sh
  stop=tests/$family/peer-stop.sh
  if [ -x "$start" ] && { [ $# -eq 0 ] || [ "$1" = "$family" ]; }; then
    mkdir -p "$work/$family"
    bash "$start" "$work/$family"
    stoppers+=("bash $stop $work/$family")
  fi
done

rc=0
build/native/zkdemo "$@" || rc=$?

# A family may show what its servers received (the mail part: the messages as delivered, decoded).
for family in ftp mail telnet nic; do
  show=tests/$family/peer-show.sh
  if [ -x "$show" ] && [ -d "$work/$family" ]; then
    bash "$show" "$work/$family" || rc=1
  fi
done
exit $rc
