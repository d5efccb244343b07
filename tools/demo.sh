#!/usr/bin/env bash
# The demonstration: installs what is missing, builds the native library and the zknet tool and
# runs `zknet demo` inside a private network, against local servers it starts there (nothing
# leaves this computer).
# Usage: tools/demo.sh [part [arguments]]   (parts: zknet demo --help)
#        tools/demo.sh zknet FAMILY ...     the command-line tool instead, in the folder it was
#                                           called from, with that family's servers and their
#                                           users (zkftp, zkuser, zkmail) as its defaults
#        tools/demo.sh zknet                a shell there with every server and zknet on its PATH
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ZK_DEMO_CALLER_DIR=${ZK_DEMO_CALLER_DIR:-$PWD}
cd "$root"

if [ "${1:-}" != "--inside" ]; then
  bash tools/install-deps.sh
  cmake --preset native >/dev/null
  cmake --build --preset native --target zknet zknet_tool
  exec tools/netns.sh bash "$0" --inside "$@"
fi
shift
tool=
if [ "${1:-}" = zknet ]; then
  tool=$root/build/native/zknet
  shift
  export ZKNET_FTP_USER=${ZKNET_FTP_USER:-zkftp} ZKNET_FTP_PASSWORD=${ZKNET_FTP_PASSWORD:-zkftp-pass}
  export ZKNET_TELNET_PASSWORD=${ZKNET_TELNET_PASSWORD:-zkpass}
  export ZKNET_POP3_USER=${ZKNET_POP3_USER:-zkmail} ZKNET_POP3_PASSWORD=${ZKNET_POP3_PASSWORD:-zkmail-pass}
fi
# The family the run is for: the first word, past the tool's -v.
family_word=${1:-}
if [ -n "$tool" ] && { [ "$family_word" = -v ] || [ "$family_word" = --verbose ]; }; then family_word=${2:-}; fi

work=$(mktemp -d /tmp/zknet-demo.XXXXXX)
# The FTP user must reach its home inside (in a folder it cannot enter, vsftpd would quietly keep
# it in the account's own home, shared by every run), and the mail servers run as users of their
# own, which must reach their folders in it.
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
  if [ -x "$start" ] && { [ $# -eq 0 ] || [ "$family_word" = "$family" ] || [ "$family_word" = "${family}s" ]; }; then
    mkdir -p "$work/$family"
    bash "$start" "$work/$family"
    stoppers+=("bash $stop $work/$family")
  fi
done

rc=0
# The FTPS and mail-over-TLS parts trust the CAs that their servers' starts made.
export ZK_DEMO_FTP_CA=$work/ftp/certs/ca.pem
export ZK_DEMO_MAIL_CA=$work/mail/certs/ca.pem
# The tool, run by hand here, trusts them too (a --cacert of its own wins).
if [ -z "$tool" ]; then
  build/native/zknet demo "$@" || rc=$?
  # A family may show what its servers received (the mail part: the messages as delivered, decoded).
  for family in ftp mail telnet nic; do
    show=tests/$family/peer-show.sh
    if [ -x "$show" ] && [ -d "$work/$family" ]; then
      bash "$show" "$work/$family" || rc=1
    fi
  done
elif [ $# -gt 0 ]; then
  # In a subshell: the servers are stopped from this folder afterwards.
  ca=$ZK_DEMO_MAIL_CA
  [ "$family_word" = ftp ] && ca=$ZK_DEMO_FTP_CA
  (cd "$ZK_DEMO_CALLER_DIR" && ZKNET_CACERT=${ZKNET_CACERT:-$ca} "$tool" "$@") || rc=$?
else
  echo "A shell in the private network: zknet is on the PATH, the servers run until it ends (exit)."
  (cd "$ZK_DEMO_CALLER_DIR" && PATH=$(dirname "$tool"):$PATH PS1='zknet-demo$ ' bash --norc -i) || true
fi
exit $rc
