#!/usr/bin/env bash
# peer-start.sh -- starts the adapter family's peer for the demo: peer-start.sh <workdir>.
exec bash "$(dirname "$0")/peers.sh" start "$1"
