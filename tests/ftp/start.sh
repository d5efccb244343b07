#!/usr/bin/env bash
# start.sh -- starts the loopback FTP servers for the tests and the demonstration, each listening
# on IPv6 and, through the same socket, IPv4, each with the user zkftp (password zkftp-pass, the
# local user created if missing) in a home folder of its own, emptied at every start:
#   vsftpd     port 2121 (or $ZK_FTP_PORT)  WORK_FOLDER/home          passive ports 41000-41999
#   pyftpdlib  port 2122                    WORK_FOLDER/pyftpd-home   passive ports 42000-42999
#   proftpd    port 2123                    WORK_FOLDER/proftpd-home  passive ports 43000-43999
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

cat > "$work/vsftpd.conf" <<CONF
listen=NO
listen_ipv6=YES
listen_port=$port
background=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
local_umask=022
chmod_enable=YES
local_root=$work/home
chroot_local_user=NO
pasv_enable=YES
pasv_min_port=41000
pasv_max_port=41999
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
vsftpd_log_file=$work/vsftpd.log
data_connection_timeout=60
idle_session_timeout=300
max_per_ip=0
max_clients=0
CONF

setsid "$vsftpd" "$work/vsftpd.conf" </dev/null >>"$work/vsftpd.out" 2>&1 &
echo $! > "$work/vsftpd.pid"

setsid setpriv --reuid="$user" --regid="$user" --init-groups /usr/bin/python3 "$here/pyftpd.py" 2122 \
  "$work/pyftpd-home" "$user" "$password" 42000 "$work/pyftpd.log" </dev/null >>"$work/pyftpd.out" 2>&1 &
echo $! > "$work/pyftpd.pid"

# proftpd authenticates from a password file of its own that maps zkftp to its home here.
proftpd=/opt/zknet-peers/proftpd/usr/sbin/proftpd
[ -x "$proftpd" ] || { echo "start.sh: proftpd is missing (tools/install-deps.sh)" >&2; exit 1; }
printf '%s:%s:%s:%s::%s:/bin/bash\n' "$user" "$(openssl passwd -6 "$password")" "$(id -u "$user")" \
  "$(id -g "$user")" "$work/proftpd-home" > "$work/proftpd.passwd"
chmod 600 "$work/proftpd.passwd"
cat > "$work/proftpd.conf" <<CONF
ServerName "zknet test proftpd"
ServerType standalone
DefaultServer on
Port 2123
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
CONF
setsid "$proftpd" -n -c "$work/proftpd.conf" </dev/null >>"$work/proftpd.out" 2>&1 &
echo $! > "$work/proftpd.pid"

# Ready when every listener is there; bounded, like everything the tests start.
listening() { [ "$(ss -Hltn "sport = :$1" | wc -l)" -ge 1 ]; }
for _ in $(seq 100); do
  if listening "$port" && listening 2122 && listening 2123; then
    echo "vsftpd on port $port, pyftpdlib on 2122, proftpd on 2123; user $user, homes under $work"
    exit 0
  fi
  sleep 0.1
done
echo "start.sh: an FTP server did not start; see $work/vsftpd.out, pyftpd.out, proftpd.out" >&2
bash "$here/stop.sh" "$work"
exit 1
