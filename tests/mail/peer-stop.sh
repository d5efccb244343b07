#!/usr/bin/env bash
# peer-stop.sh -- what tools/demo.sh runs to stop the mail servers: stop.sh WORK_FOLDER.
exec bash "$(dirname "$0")/stop.sh" "$@"
