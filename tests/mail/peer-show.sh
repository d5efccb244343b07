#!/usr/bin/env bash
# peer-show.sh -- what tools/demo.sh runs after the demonstration: the messages Postfix delivered
# to the test user's Maildir, decoded with Python's email package (check_delivery.py --show).
exec /usr/bin/python3 "$(dirname "$0")/check_delivery.py" --show "$1"
