#!/usr/bin/env bash
# peer-stop.sh -- removes the adapter family's peer after the demo: peer-stop.sh <workdir>.
exec bash "$(dirname "$0")/peers.sh" stop "$1"
