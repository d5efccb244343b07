#!/usr/bin/env bash
# The set-up scripts as a developer meets them. tools/netns.sh keeps its command's exit status and
# leaves no folder behind, however the command ends. tools/install-deps.sh, run against stand-ins
# for dpkg and apt-get, installs a package that was removed with its configuration left behind,
# and stops, naming them, before an install that would remove installed packages, unless
# ZKNET_REPLACE_SERVERS=1. Needs root (as both scripts do) and the rest of install-deps.sh's work
# done already (tools/test.sh runs it first).
# Usage: check-setup-scripts.sh SOURCE_DIR
set -uo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); echo "ok   $1"
  else failed=$((failed + 1)); echo "FAIL $1: $2"; sed 's/^/     /' "$work/output" | head -n 8; fi
}

# ---- tools/netns.sh: COMMAND ran with the namespace's folder under $TMPDIR, its status kept, the
# folder gone ----
while IFS='|' read -r name expected command; do
  mkdir -p "$work/tmp"
  env -u ZK_PRIVATE_NET TMPDIR="$work/tmp" bash "$src/tools/netns.sh" bash -c "$command" > "$work/output" 2>&1
  status=$?
  check "netns-$name" "[ $status -eq $expected ] && [ -z \"\$(ls -A '$work/tmp')\" ]"
done <<'CASES'
done|0|ls -d "$TMPDIR"/zknet-netns.* && [ "$(hostname)" = zknet-test ]
failed|3|ls -d "$TMPDIR"/zknet-netns.* && exit 3
killed|143|ls -d "$TMPDIR"/zknet-netns.* && kill -TERM $$
CASES

# ---- tools/install-deps.sh against stand-ins that log what apt-get is asked ----
stubs=$work/stubs
mkdir -p "$stubs"
# STUB_STATES: "package=dpkg status" lines; every other package is installed. STUB_REMOVES: what
# apt's simulation says it would remove.
cat > "$stubs/dpkg-query" <<'SH'
#!/bin/bash
p=${!#}
state=$(printf '%s\n' "$STUB_STATES" | sed -n "s/^$p=//p")
[ -n "$state" ] || state="install ok installed"
[ "$state" = "not known" ] && exit 1
printf '%s\n' "$state"
SH
cat > "$stubs/dpkg" <<'SH'
#!/bin/bash
# dpkg -s succeeds for any package dpkg knows of, in whatever state.
[ "$1" = -s ] && ! printf '%s\n' "$STUB_STATES" | grep -qx "$2=not known" && exit 0
[ "$1" = --print-foreign-architectures ] && echo i386 && exit 0
exit 1
SH
cat > "$stubs/apt-get" <<'SH'
#!/bin/bash
echo "apt-get $*" >> "$STUB_LOG"
if [[ " $* " == *" -s "* ]]; then
  echo "Inst ${!#} (1.0 Debian:12/stable [amd64])"
  for p in $STUB_REMOVES; do echo "Remv $p [1.0]"; done
fi
exit 0
SH
chmod +x "$stubs"/*

# name|STUB_STATES|STUB_REMOVES|ZKNET_REPLACE_SERVERS|status|what apt-get installs (- for nothing)|stderr holds
while IFS='|' read -r name states removes replace expected installs words; do
  : > "$work/apt.log"
  env PATH="$stubs:$PATH" STUB_LOG="$work/apt.log" STUB_STATES="$states" STUB_REMOVES="$removes" \
      ZKNET_REPLACE_SERVERS="$replace" bash "$src/tools/install-deps.sh" > "$work/output" 2>&1
  status=$?
  installed=$(sed -n 's/^apt-get install -y -q --no-install-recommends //p' "$work/apt.log")
  check "install-deps-$name" "[ $status -eq $expected ] && [ '${installed:--}' = '$installs' ] &&
                              grep -qF -- '$words' '$work/output'"
done <<'CASES'
config-files-left|vsftpd=deinstall ok config-files|||0|vsftpd|installing: vsftpd
not-known|nkf=not known|||0|nkf|installing: nkf
would-remove|vsftpd=not known|proftpd-basic pure-ftpd||1|-|would remove proftpd-basic pure-ftpd, installed here
replace-allowed|dovecot-pop3d=not known|mailutils-pop3d|1|0|dovecot-pop3d|installing: dovecot-pop3d
CASES

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
