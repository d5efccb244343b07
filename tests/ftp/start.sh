#!/usr/bin/env bash
# start.sh -- starts the loopback FTP servers for the tests and the demonstration, each listening
# on IPv6 and, through the same socket, IPv4, each with the user zkftp (password zkftp-pass, the
# local user created if missing) in a home folder of its own, emptied at every start:
#   vsftpd     port 2121 (or $ZK_FTP_PORT)  WORK_FOLDER/home          passive ports 41000-41499
#   pyftpdlib  port 2122                    WORK_FOLDER/pyftpd-home   passive ports 42000-42999
#   proftpd    port 2123                    WORK_FOLDER/proftpd-home  passive ports 43000-43999
# and FTPS, TLS required, the certificate (tests/tls/make-certs.sh, in WORK_FOLDER/certs) for
# zknet-test, 127.0.0.1 and ::1 from the test CA:
#   vsftpd     port 2131 explicit               WORK_FOLDER/home          passive ports 44000-44499
#   vsftpd     port 2132 explicit, TLS 1.2 only WORK_FOLDER/home          passive ports 44500-44999
#   vsftpd     port 2133 implicit               WORK_FOLDER/home          passive ports 45000-45499
#   proftpd    port 2134 explicit, TLS 1.2      WORK_FOLDER/proftpd-home  passive ports 45500-45999
# and on ports 2140-2145 a scripted FTPS peer for what no real server does (ftps_peer.py).
# No passive range meets the client's active range 40000-40099. pyftpdlib and proftpd run as
# zkftp, so that they, like vsftpd's session, cannot read what zkftp may not.
# Usage: start.sh WORK_FOLDER    (stop them again with stop.sh WORK_FOLDER)
set -euo pipefail
work=${1:?usage: start.sh WORK_FOLDER}
port=${ZK_FTP_PORT:-2121}
user=zkftp
password=zkftp-pass
here=$(cd "$(dirname "$0")" && pwd)
vsftpd=/usr/sbin/vsftpd
[ -x "$vsftpd" ] || { echo "start.sh: vsftpd is missing (tools/install-deps.sh)" >&2; exit 1; }

mkdir -p "$work"
work=$(cd "$work" && pwd)
bash "$here/stop.sh" "$work"

# The user is shared by every build folder: made once, under a lock, with a shell that PAM's
# pam_shells accepts. vsftpd enters its passwd home first and then local_root, the build's folder.
user_home=/var/lib/zknet-ftp
(
  flock 9
  if ! id -u "$user" >/dev/null 2>&1; then
    useradd --no-create-home --home-dir "$user_home" --shell /bin/bash "$user"
  elif [ "$(getent passwd "$user" | cut -d: -f6)" != "$user_home" ]; then
    usermod --home "$user_home" "$user"
  fi
  mkdir -p "$user_home"
  chown "$user:" "$user_home"
  echo "$user:$password" | chpasswd
) 9>/tmp/zknet-ftp-user.lock

rm -rf "$work/home" "$work/pyftpd-home" "$work/proftpd-home"
mkdir -p "$work/home" "$work/pyftpd-home" "$work/proftpd-home" "$work/empty"
chown "$user:" "$work" "$work/home" "$work/pyftpd-home" "$work/proftpd-home"
chmod 755 "$work" "$work/home" "$work/pyftpd-home" "$work/proftpd-home" "$work/empty"

# A greeting of 31 lines (about 2 KB), as some sites send: every login reads a long multi-line reply.
for i in $(seq 30); do
  printf 'Welcome to the zknet test server. Line %02d of the notice that this server greets with.\n' "$i"
done > "$work/banner"
printf 'Be kind to the server.\n' >> "$work/banner"

# A vsftpd configuration: its port, its first passive port (a range of 500), lines of its own.
vsftpd_conf() {
  local conf=$1 listen_port=$2 first_passive=$3 extra=$4
  cat > "$conf" <<CONF
listen=NO
listen_ipv6=YES
listen_port=$listen_port
background=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
local_umask=022
chmod_enable=YES
local_root=$work/home
chroot_local_user=NO
pasv_enable=YES
pasv_min_port=$first_passive
pasv_max_port=$((first_passive + 499))
port_enable=YES
connect_from_port_20=NO
use_localtime=NO
seccomp_sandbox=NO
secure_chroot_dir=$work/empty
pam_service_name=vsftpd
dirmessage_enable=YES
message_file=.message
banner_file=$work/banner
xferlog_enable=YES
vsftpd_log_file=${conf%.conf}.log
data_connection_timeout=60
idle_session_timeout=300
max_per_ip=0
max_clients=0
$extra
CONF
}

# Runs a server in a process group of its own, its pid in NAME.pid: stop.sh ends the group.
run() {
  local name=$1
  shift
  setsid "$@" </dev/null >>"$work/$name.out" 2>&1 &
  echo $! > "$work/$name.pid"
}

vsftpd_conf "$work/vsftpd.conf" "$port" 41000 ""
run vsftpd "$vsftpd" "$work/vsftpd.conf"

# FTPS: vsftpd with TLS required for login and data, every data connection resuming the control
# connection's TLS session (require_ssl_reuse), in three forms: explicit (AUTH TLS) as the system's
# OpenSSL allows it (TLS 1.3), explicit held to TLS 1.2, and implicit (TLS from the first byte).
certs="$work/certs"
bash "$here/../tls/make-certs.sh" "$certs" >/dev/null
tls="ssl_enable=YES
rsa_cert_file=$certs/server.pem
rsa_private_key_file=$certs/server.key
require_ssl_reuse=YES
ssl_ciphers=HIGH
force_local_logins_ssl=YES
force_local_data_ssl=YES
debug_ssl=YES"
printf 'openssl_conf = zk\n[zk]\nssl_conf = zk_ssl\n[zk_ssl]\nsystem_default = zk_tls12\n[zk_tls12]\nMaxProtocol = TLSv1.2\n' \
  > "$work/tls12-only.cnf"
vsftpd_conf "$work/vsftpd-tls.conf" 2131 44000 "$tls"
vsftpd_conf "$work/vsftpd-tls12.conf" 2132 44500 "$tls"
vsftpd_conf "$work/vsftpd-implicit.conf" 2133 45000 "$tls
implicit_ssl=YES"
run vsftpd-tls "$vsftpd" "$work/vsftpd-tls.conf"
run vsftpd-tls12 env OPENSSL_CONF="$work/tls12-only.cnf" "$vsftpd" "$work/vsftpd-tls12.conf"
run vsftpd-implicit "$vsftpd" "$work/vsftpd-implicit.conf"

# What no real server does, on ports 2140-2145 (tests/ftp/ftps_peer.py): certificates to refuse,
# handshakes that stall or are garbage, a data connection cut inside a TLS record.
rm -rf "$work/ftps-peer"
run ftps-peer /usr/bin/python3 "$here/ftps_peer.py" 2140 "$certs" "$work/ftps-peer"

run pyftpd setpriv --reuid="$user" --regid="$user" --init-groups /usr/bin/python3 "$here/pyftpd.py" 2122 \
  "$work/pyftpd-home" "$user" "$password" 42000 "$work/pyftpd.log"

# proftpd authenticates from a password file of its own that maps zkftp to its home here.
proftpd=/opt/zknet-peers/proftpd/usr/sbin/proftpd
[ -x "$proftpd" ] || { echo "start.sh: proftpd is missing (tools/install-deps.sh)" >&2; exit 1; }
printf '%s:%s:%s:%s::%s:/bin/bash\n' "$user" "$(openssl passwd -6 "$password")" "$(id -u "$user")" \
  "$(id -g "$user")" "$work/proftpd-home" > "$work/proftpd.passwd"
chmod 600 "$work/proftpd.passwd"
# The same proftpd serves FTPS on a second port through mod_tls, which by default requires every
# data connection to resume the control connection's TLS session. It speaks TLS 1.2 here: under
# TLS 1.3 this proftpd takes each ticket once and sends none on an upload's connection, so once
# uploads have used up the control connection's two tickets it refuses every data connection,
# whatever the client (vsftpd covers TLS 1.3).
cat > "$work/proftpd.conf" <<CONF
ServerName "zknet test proftpd"
ServerType standalone
DefaultServer on
Port 2123
ModulePath /opt/zknet-peers/proftpd/usr/lib/proftpd
LoadModule mod_tls.c
UseIPv6 on
User $user
Group $user
Umask 022
MaxInstances 64
PidFile $work/proftpd.daemon.pid
ScoreboardFile $work/proftpd.scoreboard
DelayTable none
WtmpLog off
UseReverseDNS off
SystemLog $work/proftpd.log
TransferLog $work/proftpd.xfer
AuthOrder mod_auth_file.c
AuthUserFile $work/proftpd.passwd
RequireValidShell off
PassivePorts 43000 43999
TimeoutIdle 600
AllowOverwrite on
DisplayConnect $work/banner
DisplayChdir .message true
<VirtualHost ::>
  Port 2134
  Umask 022
  AuthOrder mod_auth_file.c
  AuthUserFile $work/proftpd.passwd
  RequireValidShell off
  PassivePorts 45500 45999
  TimeoutIdle 600
  AllowOverwrite on
  TLSEngine on
  TLSRequired on
  TLSProtocol TLSv1.2
  TLSRSACertificateFile $certs/server.pem
  TLSRSACertificateKeyFile $certs/server.key
  TLSLog $work/proftpd-tls.log
</VirtualHost>
CONF
run proftpd "$proftpd" -n -c "$work/proftpd.conf"

# Ready when every listener is there; bounded, like everything the tests start.
listening() { [ "$(ss -Hltn "sport = :$1" | wc -l)" -ge 1 ]; }
for _ in $(seq 100); do
  if listening "$port" && listening 2122 && listening 2123 && listening 2131 && listening 2132 &&
     listening 2133 && listening 2134 && listening 2140 && listening 2145; then
    echo "vsftpd on port $port, pyftpdlib on 2122, proftpd on 2123; FTPS: vsftpd on 2131 (explicit), 2132" \
         "(explicit, TLS 1.2), 2133 (implicit), proftpd on 2134; user $user, homes under $work"
    exit 0
  fi
  sleep 0.1
done
echo "start.sh: an FTP server did not start; see the *.out files in $work" >&2
bash "$here/stop.sh" "$work"
exit 1
