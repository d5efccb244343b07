#!/usr/bin/env bash
# peer-start.sh -- what tools/demo.sh runs to start the mail servers: start.sh WORK_FOLDER.
exec bash "$(dirname "$0")/start.sh" "$@"
