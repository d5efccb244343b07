#!/usr/bin/env bash
# start.sh -- starts the loopback FTP server for the tests and the demonstration: vsftpd on port
# 2121 (or $ZK_FTP_PORT), listening on IPv6 and, through the same socket, IPv4. The local user
# zkftp (password zkftp-pass) is created if missing; its FTP home is WORK_FOLDER/home, emptied at
# every start. Passive ports 41000-41999, so they never meet the client's active range 40000-40099.
# Usage: start.sh WORK_FOLDER    (stop it again with stop.sh WORK_FOLDER)
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

rm -rf "$work/home"
mkdir -p "$work/home" "$work/empty"
chown "$user:" "$work/home"
chmod 755 "$work/home"
chmod 755 "$work/empty"

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

# Ready when the listener is there; bounded, like everything the tests start.
for _ in $(seq 100); do
  if [ "$(ss -Hltn "sport = :$port" | wc -l)" -ge 1 ]; then
    echo "vsftpd listening on port $port, user $user, home $work/home"
    exit 0
  fi
  sleep 0.1
done
echo "start.sh: vsftpd did not start; see $work/vsftpd.out" >&2
bash "$here/stop.sh" "$work"
exit 1
