#!/usr/bin/env bash
# zk-login.sh -- the log-in program the test Telnet host runs for each connection (telnetd -E):
# asks "login:" and "Password:" like login(1), then runs a tiny shell with the prompt "zk$ ".
# User zkuser, password zkpass. Commands:
#   echo WORDS   the words back          whoami   the user name
#   lines N      "line 1" to "line N"    pause    "working", a second's pause, "done"
#   nihon        "日本語" in Shift_JIS    blank    a bare line break, then the prompt a second later
#   exit         ends the session
user=zkuser
pass=zkpass
while :; do
  printf 'login: '
  IFS= read -r name || exit 0
  printf 'Password:'
  IFS= read -rs word || exit 0
  printf '\n'
  if [ "$name" = "$user" ] && [ "$word" = "$pass" ]; then break; fi
  printf 'Login incorrect\n'
done
printf 'Welcome to zknet-test\n'
while printf 'zk$ ' && IFS= read -r line; do
  set -f
  # shellcheck disable=SC2086
  set -- $line
  set +f
  case "${1:-}" in
    "") ;;
    echo) shift; printf '%s\n' "$*" ;;
    whoami) printf '%s\n' "$user" ;;
    lines) for ((i = 1; i <= ${2:-1}; i++)); do printf 'line %d\n' "$i"; done ;;
    pause) printf 'working\n'; sleep 1; printf 'done\n' ;;
    nihon) printf '\x93\xfa\x96\x7b\x8c\xea\n' ;;
    blank) printf '\n'; sleep 1 ;;
    exit) exit 0 ;;
    *) printf '%s: not found\n' "$1" ;;
  esac
done
