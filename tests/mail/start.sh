#!/usr/bin/env bash
# start.sh -- starts the mail servers of the tests and the demonstration, inside the private
# network, in WORK_FOLDER (emptied of earlier messages at every start):
#
#   SMTP sink   python3-aiosmtpd (tests/mail/smtp_sink.py) on port 2526 ($ZK_SMTP_SINK_PORT), IPv4
#               and IPv6, every address of the private network (Wine resolves the host's own name
#               zknet-test to its adapters' addresses, not to loopback). It accepts everything and records, per connection, the exact bytes the
#               client sent (WORK/sink/conn-N.wire) and, per message, its envelope and content
#               (WORK/sink/msg-N.env, WORK/sink/msg-N.eml). Senders it refuses for the tests:
#               refused@zknet-test at MAIL FROM, noend@zknet-test after the data.
#   Postfix     Debian's postfix with its own configuration in WORK/postfix (postfix -c), on port
#               2525 ($ZK_POSTFIX_PORT), IPv4 and IPv6 (every address too), refusing bare LF in the data
#               (smtpd_forbid_bare_newline = reject, no exclusions). It delivers locally to the
#               Maildir of the test user:
#                   user     zkmail (password zkmail-pass), address zkmail@zknet-test
#                   Maildir  WORK/mail/zkmail   (new/, cur/, tmp/; owned by zkmail)
#               Refusals for the tests: HELO refused.helo, MAIL FROM refused@zknet-test, RCPT TO
#               to any unknown local user, DATA after MAIL FROM nodata@zknet-test, the message
#               after MAIL FROM noend@zknet-test.
#   POP3        Debian's dovecot-pop3d with its own configuration in WORK/dovecot (dovecot -c), on
#               port 2110 ($ZK_POP3_PORT), IPv4 and IPv6 (every address), plain USER/PASS without
#               TLS, users from a passwd-file (WORK/dovecot/users), mail as the system user zkmail:
#                   zkmail / zkmail-pass   the Maildir Postfix delivers to, WORK/mail/zkmail
#                   zkpop  / zkpop-pass    a Maildir the mail tests fill themselves, WORK/pop/zkpop
#                   zktool / zktool-pass   one the zknet tool's test fills, WORK/pop/zktool
#               (new/, cur/, tmp/ owned by zkmail; files the tests put in new/ must be readable).
#   POP3        GNU mailutils pop3d, a second POP3 server, with its own configuration in
#               WORK/mailutils, on port 2111 ($ZK_MU_POP3_PORT), IPv4 and IPv6, plain USER/PASS:
#                   zkmail / zkmail-pass   (the system user) a Maildir the tests fill, WORK/pop/mu
#
# and, for the secure connections (certificates from tests/tls/make-certs.sh in WORK/certs; the
# tests trust WORK/certs/ca.pem; server.pem names zknet-test, 127.0.0.1 and ::1):
#   Postfix     the same instance, as providers run submission: port 2587 ($ZK_SUBMISSION_PORT)
#               STARTTLS required, port 2465 ($ZK_SMTPS_PORT) TLS from the first byte. AUTH PLAIN
#               and LOGIN (through dovecot's auth service), offered only over TLS; nothing is taken
#               without it, local or not. zkmail / zkmail-pass; mail to zkmail@zknet-test reaches
#               WORK/mail/zkmail, mail to any other domain is accepted and discarded (nothing ever
#               leaves: default_transport = discard). WORK/postfix.log shows "TLS connection
#               established from" and "sasl_method=PLAIN, sasl_username=zkmail" (or LOGIN) for
#               each session; delivered mail says "with ESMTPSA" in its Received field.
#   POP3        a second dovecot (WORK/dovecot-tls, log WORK/dovecot-tls.log): port 2995
#               ($ZK_POP3S_PORT) TLS from the first byte, port 2112 ($ZK_POP3_STLS_PORT) STLS; the
#               same users and Maildirs as port 2110, USER/PASS and AUTH PLAIN and LOGIN. dovecot
#               takes loopback as secure, so TLS is not enforced there: its log shows it instead,
#               "Login: user=<zkmail>, method=PLAIN, ..., TLS, ..." where TLS was used ("secured"
#               where it was not).
#   scripted    tests/mail/mail_tls_peer.py on ports 2560-2570 ($ZK_MAIL_TLS_PEER_PORT first): the
#               SMTP and POP3 misbehaviour around STARTTLS, STLS and AUTH no real server shows,
#               logging what each connection sent in WORK/tls-peer/<case>.log.
#
# Usage: start.sh WORK_FOLDER    (stop them with stop.sh WORK_FOLDER)
set -euo pipefail
work=${1:?usage: start.sh WORK_FOLDER}
sink_port=${ZK_SMTP_SINK_PORT:-2526}
postfix_port=${ZK_POSTFIX_PORT:-2525}
pop3_port=${ZK_POP3_PORT:-2110}
mu_port=${ZK_MU_POP3_PORT:-2111}
submission_port=${ZK_SUBMISSION_PORT:-2587}
smtps_port=${ZK_SMTPS_PORT:-2465}
pop3s_port=${ZK_POP3S_PORT:-2995}
pop3_stls_port=${ZK_POP3_STLS_PORT:-2112}
peer_port=${ZK_MAIL_TLS_PEER_PORT:-2560}
peer_cases=11  # mail_tls_peer.py's cases, one port each
user=zkmail
password=zkmail-pass
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
[ -x /usr/sbin/postfix ] || { echo "start.sh: postfix is missing (tools/install-deps.sh)" >&2; exit 1; }
"$python" -c 'import aiosmtpd' 2>/dev/null || { echo "start.sh: python3-aiosmtpd is missing (tools/install-deps.sh)" >&2; exit 1; }
[ -x /usr/sbin/dovecot ] && [ -x /usr/lib/dovecot/pop3 ] || { echo "start.sh: dovecot-pop3d is missing (tools/install-deps.sh)" >&2; exit 1; }
[ -x /usr/sbin/pop3d ] || { echo "start.sh: mailutils-pop3d is missing (tools/install-deps.sh)" >&2; exit 1; }
command -v setfacl >/dev/null || { echo "start.sh: acl is missing (tools/install-deps.sh)" >&2; exit 1; }

mkdir -p "$work"
work=$(cd "$work" && pwd)
bash "$here/stop.sh" "$work"

# The user is shared by every build folder: made once, under a lock. Its mail lives in the
# build's own folder, not in its home.
(
  flock 9
  if ! id -u "$user" >/dev/null 2>&1; then
    useradd --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
  fi
  echo "$user:$password" | chpasswd
) 9>/tmp/zknet-mail-user.lock

rm -rf "$work/sink" "$work/expected" "$work/mail" "$work/pop" "$work/postfix" "$work/postfix-queue" "$work/postfix-data" \
       "$work/dovecot" "$work/dovecot-tls" "$work/mailutils" "$work/tls-peer"
mkdir -p "$work/sink" "$work/expected" "$work/mail/$user"/{new,cur,tmp} "$work/pop/zkpop"/{new,cur,tmp} \
         "$work/pop/zktool"/{new,cur,tmp} "$work/pop/mu"/{new,cur,tmp} "$work/postfix" "$work/postfix-queue" \
         "$work/postfix-data" "$work/dovecot/run" "$work/dovecot/state" "$work/dovecot-tls/run" \
         "$work/dovecot-tls/state" "$work/mailutils/lock" "$work/tls-peer"
bash "$here/../tls/make-certs.sh" "$work/certs" >/dev/null
certs=$work/certs
chown -R "$user:" "$work/mail/$user" "$work/pop"
chmod 755 "$work" "$work/mail" "$work/pop"
chmod 700 "$work/mail/$user"
chmod 755 "$work/pop"/zk{pop,tool} "$work/pop"/zk{pop,tool}/{new,cur,tmp} "$work/pop/mu" "$work/pop/mu"/{new,cur,tmp}
# mailutils opens a message for writing too: what the tests (root, or Wine as root) put into new/
# must be writable by the mail user, whatever their umask.
setfacl -d -m "u:$user:rw" "$work/pop/mu/new"

# ---- the sink ----
setsid "$python" "$here/smtp_sink.py" "$sink_port" "$work/sink" </dev/null >>"$work/sink.out" 2>&1 &
echo $! > "$work/sink.pid"

# ---- Postfix ----
conf=$work/postfix
cat > "$conf/main.cf" <<CONF
compatibility_level = 3.6
queue_directory = $work/postfix-queue
data_directory = $work/postfix-data
mail_owner = postfix
setgid_group = postdrop
myhostname = zknet-test
mydomain = zknet-test
myorigin = zknet-test
mydestination = zknet-test, localhost
inet_interfaces = all
inet_protocols = all
mynetworks = 127.0.0.0/8 [::1]/128
relayhost =
alias_maps =
alias_database =
local_recipient_maps = unix:passwd.byname
mail_spool_directory = $work/mail/
home_mailbox =
mailbox_command =
biff = no
maillog_file = $work/postfix.log
maillog_file_prefixes = $work
smtpd_banner = \$myhostname ESMTP zknet test server
smtpd_delay_reject = no
smtpd_helo_required = yes
smtpd_helo_restrictions = check_helo_access texthash:$conf/helo_access
smtpd_sender_restrictions = check_sender_access texthash:$conf/sender_access
smtpd_relay_restrictions = permit_mynetworks, reject_unauth_destination
smtpd_data_restrictions = check_sender_access texthash:$conf/data_access
smtpd_end_of_data_restrictions = check_sender_access texthash:$conf/end_access
smtpd_forbid_bare_newline = reject
smtpd_forbid_bare_newline_exclusions =
message_size_limit = 67108864
mailbox_size_limit = 0
disable_dns_lookups = yes
smtp_dns_support_level = disabled
# Mail for other domains (from authenticated submission, or relayed for the network on port
# $postfix_port) goes nowhere: nothing here may ever look a name up or connect out.
default_transport = discard:no mail leaves the test network
relay_transport = discard:no mail leaves the test network
# Used only by the submission services below, which turn TLS and AUTH on; port $postfix_port
# offers neither.
smtpd_tls_cert_file = $certs/server.pem
smtpd_tls_key_file = $certs/server.key
smtpd_sasl_type = dovecot
smtpd_sasl_path = private/auth
CONF
printf 'refused.helo REJECT the HELO name is refused here\n' > "$conf/helo_access"
printf 'refused@zknet-test REJECT this sender is refused here\n' > "$conf/sender_access"
printf 'nodata@zknet-test REJECT no data from this sender\n' > "$conf/data_access"
printf 'noend@zknet-test REJECT the message of this sender is refused\n' > "$conf/end_access"
# Submission as providers run it: TLS first (STARTTLS required, or TLS from the first byte), AUTH
# only over TLS, and nothing taken without it. The TLS handshake and the SASL user are logged.
submission_options="
  -o smtpd_sasl_auth_enable=yes
  -o smtpd_tls_auth_only=yes
  -o smtpd_tls_loglevel=1
  -o smtpd_tls_received_header=yes
  -o smtpd_sasl_authenticated_header=yes
  -o smtpd_recipient_restrictions=permit_sasl_authenticated,reject
  -o smtpd_relay_restrictions=permit_sasl_authenticated,reject"
cat > "$conf/master.cf" <<CONF
$postfix_port inet n - n - - smtpd
$submission_port inet n - n - - smtpd
  -o syslog_name=postfix/submission
  -o smtpd_tls_security_level=encrypt$submission_options
$smtps_port inet n - n - - smtpd
  -o syslog_name=postfix/smtps
  -o smtpd_tls_wrappermode=yes
  -o smtpd_tls_security_level=encrypt$submission_options
tlsmgr    unix  -       -       n       1000?   1       tlsmgr
pickup    unix  n       -       n       60      1       pickup
cleanup   unix  n       -       n       -       0       cleanup
qmgr      unix  n       -       n       300     1       qmgr
rewrite   unix  -       -       n       -       -       trivial-rewrite
bounce    unix  -       -       n       -       0       bounce
defer     unix  -       -       n       -       0       bounce
trace     unix  -       -       n       -       0       bounce
verify    unix  -       -       n       -       1       verify
flush     unix  n       -       n       1000?   0       flush
proxymap  unix  -       -       n       -       -       proxymap
showq     unix  n       -       n       -       -       showq
error     unix  -       -       n       -       -       error
retry     unix  -       -       n       -       -       error
discard   unix  -       -       n       -       -       discard
local     unix  -       n       n       -       -       local
anvil     unix  -       -       n       -       1       anvil
scache    unix  -       -       n       -       1       scache
postlog   unix-dgram n  -       n       -       1       postlogd
CONF
/usr/sbin/postfix -c "$conf" set-permissions >>"$work/postfix.out" 2>&1 || true
if ! /usr/sbin/postfix -c "$conf" start >>"$work/postfix.out" 2>&1; then
  echo "start.sh: postfix did not start; see $work/postfix.out and $work/postfix.log" >&2
  cat "$work/postfix.out" "$work/postfix.log" >&2 2>/dev/null
  bash "$here/stop.sh" "$work"
  exit 1
fi

# ---- dovecot ----
uid=$(id -u "$user")
gid=$(id -g "$user")
dove=$work/dovecot
cat > "$dove/users" <<USERS
$user:{PLAIN}$password:$uid:$gid::$work/mail/$user
zkpop:{PLAIN}zkpop-pass:$uid:$gid::$work/pop/zkpop
zktool:{PLAIN}zktool-pass:$uid:$gid::$work/pop/zktool
USERS
# The users and their mail, shared by both dovecot instances.
cat > "$dove/mailboxes.conf" <<CONF
mail_location = maildir:~
first_valid_uid = $uid
last_valid_uid = $uid
pop3_uidl_format = %08Xu%08Xv
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $dove/users
}
userdb {
  driver = passwd-file
  args = username_format=%u $dove/users
}
CONF
cat > "$dove/dovecot.conf" <<CONF
base_dir = $dove/run
state_dir = $dove/state
instance_name = zknet-dovecot-$pop3_port
protocols = pop3
listen = *, ::
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
auth_failure_delay = 0
log_path = $work/dovecot.log
!include $dove/mailboxes.conf
service pop3-login {
  inet_listener pop3 {
    port = $pop3_port
  }
}
CONF
setsid /usr/sbin/dovecot -F -c "$dove/dovecot.conf" </dev/null >>"$work/dovecot.out" 2>&1 &
echo $! > "$work/dovecot.pid"

# ---- dovecot with TLS, and the authentication Postfix's submission asks ----
# A second instance, so that port $pop3_port stays exactly as its tests know it (no TLS, no STLS
# in CAPA). Its log names, in each login line, "TLS" or "secured" (plain text on loopback, which
# dovecot takes as safe even with ssl = required): the tests' proof that a login used TLS.
dovetls=$work/dovecot-tls
: > "$work/dovecot-tls.log"
cat > "$dovetls/dovecot.conf" <<CONF
base_dir = $dovetls/run
state_dir = $dovetls/state
instance_name = zknet-dovecot-tls-$pop3s_port
protocols = pop3
listen = *, ::
ssl = required
ssl_cert = <$certs/server.pem
ssl_key = <$certs/server.key
disable_plaintext_auth = yes
auth_mechanisms = plain login
auth_failure_delay = 0
log_path = $work/dovecot-tls.log
!include $dove/mailboxes.conf
service pop3-login {
  inet_listener pop3 {
    port = $pop3_stls_port
  }
  inet_listener pop3s {
    port = $pop3s_port
    ssl = yes
  }
}
# No growing wait after failed logins from one address (dovecot's auth penalty, up to 15 s):
# the tests fail logins on purpose, and the next login must not time out.
service anvil {
  unix_listener anvil-auth-penalty {
    mode = 0
  }
}
service auth {
  unix_listener $work/postfix-queue/private/auth {
    mode = 0660
    user = postfix
    group = postfix
  }
}
CONF
setsid /usr/sbin/dovecot -F -c "$dovetls/dovecot.conf" </dev/null >>"$work/dovecot-tls.out" 2>&1 &
echo $! > "$work/dovecot-tls.pid"

# ---- mailutils pop3d ----
# Logs to its output, not to syslog; its own lock folder and pid file, not the system's.
mu=$work/mailutils
cat > "$mu/pop3d.conf" <<CONF
mode daemon;
foreground true;
pidfile $mu/pop3d.pid;
logging { syslog false; };
auth { authentication system; authorization system; };
mandatory-locking { enable false; lock-directory $mu/lock; };
mailbox { mailbox-pattern "maildir://$work/pop/mu"; };
server 0.0.0.0:$mu_port { backlog 16; };
server "[::1]:$mu_port" { backlog 16; };
CONF
setsid /usr/sbin/pop3d --config-file="$mu/pop3d.conf" </dev/null >>"$work/mailutils.out" 2>&1 &
echo $! > "$work/mailutils.pid"

# ---- the scripted peer: what no real server does around STARTTLS, STLS and AUTH ----
setsid "$python" "$here/mail_tls_peer.py" "$peer_port" "$certs" "$work/tls-peer" </dev/null >>"$work/tls-peer.out" 2>&1 &
echo $! > "$work/tls-peer.pid"

# Ready when every port listens on both families; bounded, like everything the tests start.
ports=("$sink_port" "$postfix_port" "$submission_port" "$smtps_port" "$pop3_port" "$pop3s_port" "$pop3_stls_port"
       "$mu_port")
for ((i = 0; i < peer_cases; i++)); do ports+=($((peer_port + i))); done
listening() { [ "$(ss -Hltn "sport = :$1" | wc -l)" -ge 2 ]; }
all_listening() {
  local port
  for port in "${ports[@]}"; do listening "$port" || return 1; done
  # Postfix reaches dovecot's authentication through this socket.
  [ -S "$work/postfix-queue/private/auth" ]
}
for _ in $(seq 150); do
  if all_listening; then
    echo "SMTP sink on port $sink_port, Postfix on port $postfix_port delivering to $work/mail/$user" \
         "(submission: STARTTLS on $submission_port, TLS on $smtps_port), dovecot POP3 on port $pop3_port" \
         "(TLS on $pop3s_port, STLS on $pop3_stls_port), mailutils POP3 on port $mu_port, scripted TLS peer" \
         "on ports $peer_port-$((peer_port + peer_cases - 1)); certificates in $certs"
    exit 0
  fi
  sleep 0.1
done
echo "start.sh: the mail servers did not start; see $work/sink.out, $work/postfix.out, $work/postfix.log," \
     "$work/dovecot.out, $work/dovecot.log, $work/dovecot-tls.out, $work/dovecot-tls.log, $work/mailutils.out," \
     "$work/tls-peer.out" >&2
bash "$here/stop.sh" "$work"
exit 1
