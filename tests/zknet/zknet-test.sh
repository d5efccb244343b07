#!/usr/bin/env bash
# zknet-test.sh -- the zknet command-line tool run as a user runs it, against the servers of the
# ftp, telnet, nic and mail fixtures: every action, what it prints and the files it leaves, and
# every failure's exit status and one-line message. Windows builds run a handful of the same
# commands (each start of a program under Wine costs a second or more).
#
# Usage: zknet-test.sh full|windows WORK_FOLDER FTP_HOME SOURCE_DIR TOOL [TOOL_ARGUMENTS...]
#   FTP_HOME  the home folder of the fixture's vsftpd, read directly to check what it stored
#   TOOL...   the command that runs zknet (under Windows: the Wine runner and zknet.exe)
#   $ZK_MAIL_WORK  the mail fixture's work folder (tests/mail/start.sh): the tool's own POP3
#             Maildir (user zktool) is filled there directly
# Exits 77 (skipped) outside the private test network.
set -uo pipefail
mode=$1 work=$2 ftp_home=$3 src=$4
shift 4
tool=("$@")

if [ "${ZK_PRIVATE_NET:-}" != 1 ]; then
  echo "skipped: the tool's tests run inside the private test network (tools/netns.sh ctest ...)"
  exit 77
fi

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
out=$work/.stdout err=$work/.stderr

export ZKNET_FTP_USER=zkftp ZKNET_FTP_PASSWORD=zkftp-pass ZKNET_TELNET_PASSWORD=zkpass
export ZKNET_POP3_USER=zktool ZKNET_POP3_PASSWORD=zktool-pass
unset ZKNET_PROGRESS_DELAY
F=zknet-test:2121      # the fixture's vsftpd
T=zknet-test:2323      # the fixture's Telnet host
P=zknet-test:2110      # the fixture's dovecot (POP3)
S=zknet-test:2525      # the fixture's Postfix, delivering to zkmail, whose Maildir dovecot serves too
if [ "$mode" = windows ]; then
  # A Windows resolver gives this computer's own name its adapter's address; loopback is plainer.
  F=127.0.0.1:2121
  T=127.0.0.1:2323
  P=127.0.0.1:2110
  S=127.0.0.1:2525
fi
box=${ZK_MAIL_WORK:-}/pop/zktool
d=zkt-$$               # this run's folder on the FTP server
version=$(sed -n 's/^#define ZKNET_VERSION "\(.*\)"/\1/p' "$src/include/zknet/zkconf.h")

passed=0 failed=0
with=()                # env(1) arguments for the next run only: VAR=value, -u VAR

# Runs the tool; its exit status in $status, its output (line ends made LF) in $out and $err.
zk() {
  env "${with[@]}" "${tool[@]}" "$@" >"$out" 2>"$err" </dev/null
  status=$?
  with=()
  sed -i 's/\r$//' "$out" "$err"
}

pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() {
  failed=$((failed + 1))
  echo "FAIL $1: $2"
  echo "     status $status; stdout: $(head -c 600 "$out" | cat -A | head -n 8)"
  echo "     stderr: $(head -c 600 "$err" | cat -A | head -n 4)"
}

# expect_out NAME EXPECTED ARGS...: exit 0, standard output exactly EXPECTED, nothing on stderr.
expect_out() {
  local name=$1 expected=$2
  shift 2
  zk "$@"
  if [ "$status" -ne 0 ]; then fail "$name" "exit status $status"
  elif [ "$(cat "$out")" != "$expected" ]; then fail "$name" "expected output: $expected"
  elif [ -s "$err" ]; then fail "$name" "unexpected standard error"
  else pass "$name"; fi
}

# expect_fail NAME STATUS REGEX ARGS...: that exit status, no output, and one line on standard
# error matching the extended regular expression REGEX whole.
expect_fail() {
  local name=$1 want=$2 regex=$3
  shift 3
  zk "$@"
  if [ "$status" -ne "$want" ]; then fail "$name" "exit status $status, expected $want"
  elif [ -s "$out" ]; then fail "$name" "unexpected standard output"
  elif [ "$(wc -l < "$err")" -ne 1 ] || ! grep -Eqx -- "$regex" "$err"; then fail "$name" "expected stderr: $regex"
  else pass "$name"; fi
}

# check NAME COMMAND...: a plain check of the files or the last run's output.
check() {
  local name=$1
  shift
  if "$@" >/dev/null 2>&1; then pass "$name"; else fail "$name" "check failed: $*"; fi
}

same_file() { cmp -s "$1" "$2"; }
same_mtime() { [ "$(stat -c %Y "$1")" = "$(stat -c %Y "$2")" ]; }
out_matches() { grep -Eq -- "$1" "$out"; }
gone() { [ ! -e "$1" ]; }

# A listener for one datagram on ADDRESS:PORT, written to FILE; its pid in $receiver.
receive_one() {
  local address=$1 port=$2 file=$3
  rm -f "$file"
  timeout 10 socat -u "UDP4-RECVFROM:$port,bind=$address,reuseaddr" "OPEN:$file,creat,trunc" &
  receiver=$!
  for _ in $(seq 50); do
    [ "$(ss -Hlun "src $address:$port" | wc -l)" -ge 1 ] && return 0
    sleep 0.1
  done
  return 1
}
# The 102 bytes of a magic packet for the MAC address (aa:bb:...).
magic_packet() {
  local hex=${1//:/} i
  printf '\xff\xff\xff\xff\xff\xff'
  for i in $(seq 16); do printf "$(echo "$hex" | sed 's/../\\x&/g')"; done
}
received() {
  wait "$receiver"
  magic_packet "$2" > "$1.expected"
  cmp -s "$1" "$1.expected"
}

# zk_io IN OUT ARGS...: runs the tool with standard input from IN and its standard output in OUT
# byte for byte (line ends as they came); otherwise as zk.
zk_io() {
  local input=$1 output=$2
  shift 2
  env "${with[@]}" "${tool[@]}" "$@" <"$input" >"$output" 2>"$err"
  status=$?
  with=()
  sed -i 's/\r$//' "$err"
}
# The last run done without a word on standard error, and the two files the same byte for byte.
quietly_gave() { [ "$status" -eq 0 ] && [ ! -s "$err" ] && cmp -s "$1" "$2"; }

# Empties the tool's POP3 Maildir and puts the message files into it, numbered in this order.
fill_box() {
  local i=0 f
  rm -rf "${box:?}"/new/* "$box"/cur/* "$box"/tmp/* "$box"/dovecot*
  for f in "$@"; do
    i=$((i + 1))
    cp "$f" "$box/new/$((1000000000 + i)).M${i}P1.zknet-tool"
  done
}

# A file with CR LF line ends, as a message travels and is saved.
crlf() { sed 's/$/\r/' "$1"; }

# A server that takes connections and never says a word, on PORT; its process group in $silent.
silent_server() {
  setsid socat "TCP4-LISTEN:$1,reuseaddr,fork" SYSTEM:'sleep 30' </dev/null >/dev/null 2>&1 &
  silent=$!
  for _ in $(seq 50); do
    [ "$(ss -Hltn "sport = :$1" | wc -l)" -ge 1 ] && return 0
    sleep 0.1
  done
}

peer_mac=02:5a:4b:00:00:02    # the ARP peer of tests/nic/peers.sh
local_mac=02:5a:4b:00:00:01   # this namespace's end of its link

if [ "$mode" = windows ]; then
  # ---- a handful of commands through zknet.exe ----
  expect_out version "zknet $version" --version
  printf 'from windows\r\n\x00\xff\n' > win.bin
  expect_out put "" ftp put "$F" win.bin "$d-win.bin"
  check put-stored same_file win.bin "$ftp_home/$d-win.bin"
  expect_out get-ipv6-active "" ftp get "[::1]:2121" "$d-win.bin" back.bin --active
  check get-same same_file win.bin back.bin
  zk_io /dev/null win-out.bin ftp get "$F" "$d-win.bin" -
  check get-to-stdout quietly_gave win.bin win-out.bin
  zk_io win.bin /dev/null ftp put "$F" - "$d-win-in.bin"
  check put-from-stdin quietly_gave win.bin "$ftp_home/$d-win-in.bin"
  expect_fail get-missing 1 "zknet: ftp get: code 11 \(file failed\): 550 .*" ftp get "$F" "$d-none.bin"
  # Japanese names through the UTF-16 command line, the listing in code page 932 as the console
  # shows it; the server keeps the names in code page 932.
  sjis_name=$(printf '\x93\xfa\x96\x7b.txt')
  printf 'from windows 日本\r\n' > 日本.txt
  expect_out put-japanese "" ftp put "$F" 日本.txt "$d-日本.txt"
  check put-japanese-stored same_file 日本.txt "$ftp_home/$d-$sjis_name"
  expect_out ls-japanese "$d-$sjis_name" ftp ls "$F" "$d-日本.txt" --names
  expect_out get-japanese "" ftp get "$F" "$d-日本.txt" 日本語.txt
  check get-japanese-same same_file 日本.txt 日本語.txt
  expect_out rm "" ftp rm "$F" "$d-win.bin" "$d-win-in.bin" "$d-日本.txt"
  expect_out telnet "$(printf 'line 1\nline 2')" telnet "$T" --login zkuser --prompt 'zk$' --run 'lines 2'
  # Mail, with the Japanese texts in the ANSI code page (932) as a Windows console shows them.
  printf 'From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n\033$BF|K\\8l\033(B\n' > win1.eml
  fill_box win1.eml
  expect_out mail-list-headers "$(printf '1\t%s\tAlice <alice@zknet-test>\t\x93\xfa\x96\x7b\x8c\xea' "$(crlf win1.eml | wc -c)")" \
    mail list --pop3 "$P" --headers
  expect_out mail-save "" mail save --pop3 "$P" 1 --name win
  crlf win1.eml > win1.crlf
  check mail-save-stored same_file win.eml win1.crlf
  expect_out mail-show "$(printf 'From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: \x93\xfa\x96\x7b\x8c\xea\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n\x93\xfa\x96\x7b\x8c\xea')" \
    mail show win.eml
  with=(ZKNET_POP3_PASSWORD=wrong)
  expect_fail mail-wrong-password 1 "zknet: mail list: code 6 \(login refused\): -ERR .*" mail list --pop3 "$P"
  # Body files: UTF-8 as Notepad saves it and Shift_JIS, each found without --charset, arrive as
  # the same text; a character ISO-2022-JP lacks goes as ?, with a warning.
  tag=zk-win-$$
  printf '文字コードの試験です。\r\n' > u8.txt
  iconv -f UTF-8 -t CP932 u8.txt > sjis.txt
  printf 'smile \xf0\x9f\x98\x80\r\n' > lost.txt
  for name in u8 sjis; do
    expect_out "mail-send-body-$name" "" mail send --smtp "$S" --from "<$tag@zknet-test>" --to "<zkmail@zknet-test>" \
      --subject "charset $name $$" --body-file "$name.txt"
  done
  zk mail send --smtp "$S" --from "<$tag@zknet-test>" --to "<zkmail@zknet-test>" --subject "charset lost $$" \
    --body-file lost.txt --charset utf-8
  check mail-send-lost-warning bash -c "[ $status -eq 0 ] && [ \"\$(cat '$err')\" = 'zknet: warning: the body: 1 character not in ISO-2022-JP, sent as ?' ]"
  for _ in $(seq 20); do
    with=(ZKNET_POP3_USER=zkmail ZKNET_POP3_PASSWORD=zkmail-pass)
    zk mail list --pop3 "$P" --headers
    [ "$(grep -c "	charset [a-z0-9]* $$\$" "$out")" -ge 2 ] && break
    sleep 0.5
  done
  cp "$out" charset-list.txt
  for name in u8 sjis; do
    number=$(awk -F '\t' -v s="charset $name $$" '$4 == s {print $1}' charset-list.txt)
    with=(ZKNET_POP3_USER=zkmail ZKNET_POP3_PASSWORD=zkmail-pass)
    zk mail save --pop3 "$P" "${number:-1}" --name "charset-$name"
    zk mail show "charset-$name.eml"
    check "mail-send-body-$name-delivered" bash -c "[ -n '$number' ] && [ \"\$(tail -n 1 '$out')\" = \"\$(tr -d '\r' < sjis.txt)\" ]"
  done
  zk nic list
  check nic-list out_matches "^adapter 0  ([0-9a-f]{2}:){5}[0-9a-f]{2}$"
  receive_one 192.0.2.255 9 wake9.bin
  expect_out nic-wake-port "magic packet for $peer_mac sent to 192.0.2.255 port 9" \
    nic wake "$peer_mac" --broadcast 192.0.2.255 --port 9
  check nic-wake-received received wake9.bin "$peer_mac"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
fi

# ---- the frame: version, help, families ----
expect_out version "zknet $version" --version
for family in "" ftp telnet nic mail; do
  zk $family --help
  check "help${family:+-$family}" out_matches "^usage: zknet ${family:-\\[-v\\] FAMILY}"
done
zk
check no-arguments-usage bash -c "[ $status -eq 2 ] && [ ! -s '$out' ] && head -n 1 '$err' | grep -q '^usage: zknet \[-v\] FAMILY'"
expect_fail unknown-family 2 "zknet: unknown family frobnicate; see zknet --help" frobnicate
zk --help
if grep -q "mail .*(not built in)" "$out"; then
  expect_fail mail-absent 1 "zknet: mail: this zknet is built without the mail family .*" mail list
fi

# ---- ftp: every action, and what the server stored ----
printf 'first line\r\nsecond line\n' > up.txt
printf 'line\r\nzero\0byte\r\r\n\xff\xfe' > bytes.bin
: > empty.txt
mkdir -p dl nest
expect_out ftp-mkdir "" ftp mkdir "$F" "$d"
check ftp-mkdir-made test -d "$ftp_home/$d"
expect_out ftp-put "" ftp put "$F" up.txt "$d/up.txt"
check ftp-put-stored same_file up.txt "$ftp_home/$d/up.txt"
expect_out ftp-put-ipv6-active "" ftp put "[::1]:2121" bytes.bin "$d/bytes.bin" --active
check ftp-put-binary-stored same_file bytes.bin "$ftp_home/$d/bytes.bin"
expect_out ftp-put-empty "" ftp put "$F" empty.txt "$d/empty.txt"
cp up.txt "nest/$d-top.txt"
expect_out ftp-put-default-name "" ftp put "$F" "nest/$d-top.txt"
check ftp-put-default-name-stored same_file up.txt "$ftp_home/$d-top.txt"
zk ftp ls "$F" "$d" --names
check ftp-ls-names bash -c "[ $status -eq 0 ] && [ \"\$(sort '$out')\" = \"\$(printf '$d/%s\\n' bytes.bin empty.txt up.txt)\" ]"
names=$(cat "$out")
expect_out ftp-ls-ipv6 "$names" ftp ls "[::1]:2121" "$d" --names
zk ftp ls "$F" "$d"
check ftp-ls-long bash -c "[ \$(grep -Ec '^-rw-r--r-- .* (bytes\.bin|empty\.txt|up\.txt)$' '$out') -eq 3 ] && [ \$(wc -l < '$out') -eq 3 ]"
expect_out ftp-size "$(stat -c %s bytes.bin)" ftp size "$F" "$d/bytes.bin"
expect_out ftp-size-empty "0" ftp size "$F" "$d/empty.txt"
expect_out ftp-date "$(date -u -r "$ftp_home/$d/up.txt" +%Y-%m-%dT%H:%M:%SZ)" ftp date "$F" "$d/up.txt"
expect_out ftp-get "" ftp get "$F" "$d/bytes.bin" got.bin
check ftp-get-same same_file bytes.bin got.bin
check ftp-get-server-time same_mtime got.bin "$ftp_home/$d/bytes.bin"
expect_out ftp-get-into-folder "" ftp get "$F" "$d/up.txt" dl
check ftp-get-into-folder-same same_file up.txt dl/up.txt
pushd nest >/dev/null || exit 1
expect_out ftp-get-default-name "" ftp get "$F" "$d/bytes.bin"
popd >/dev/null || exit 1
check ftp-get-default-name-same same_file bytes.bin nest/bytes.bin
expect_out ftp-get-ipv6-name-active "" ftp get "$F" "$d/up.txt" v6.txt -6 --active
check ftp-get-ipv6-same same_file up.txt v6.txt
expect_out ftp-get-ascii "" ftp get "$F" "$d/up.txt" ascii.txt --ascii
check ftp-get-ascii-arrived test -s ascii.txt
# Japanese names, UTF-8 on the command line, through the library's UTF-16 forms: the server keeps
# them in code page 932, as the library names files on the wire.
sjis_name=$(printf '\x93\xfa\x96\x7b.txt')
printf '日本語の中身\n' > 日本.txt
mkdir -p ja
expect_out ftp-put-japanese "" ftp put "$F" 日本.txt "$d/日本.txt"
check ftp-put-japanese-stored same_file 日本.txt "$ftp_home/$d/$sjis_name"
expect_out ftp-ls-japanese "$d/日本.txt" ftp ls "$F" "$d/日本.txt" --names
expect_out ftp-get-japanese "" ftp get "$F" "$d/日本.txt" ja/日本語.txt
check ftp-get-japanese-same same_file 日本.txt ja/日本語.txt
expect_out ftp-rm-japanese "" ftp rm "$F" "$d/日本.txt"
expect_fail ftp-name-not-in-cp932 1 "zknet: ftp put: $d/😀\.txt: 1 character not in the ANSI code page, in which names go to the server" \
  ftp put "$F" 日本.txt "$d/😀.txt"
# "-": standard output and input, through a temporary file that goes afterwards, done or not.
mkdir -p tmp
with=(TMPDIR="$work/tmp")
zk_io /dev/null stdout.bin ftp get "$F" "$d/bytes.bin" -
check ftp-get-to-stdout quietly_gave bytes.bin stdout.bin
check ftp-get-to-stdout-no-dash-file gone ./-
with=(TMPDIR="$work/tmp")
zk_io bytes.bin "$out" ftp put "$F" - "$d/stdin.bin"
check ftp-put-from-stdin quietly_gave bytes.bin "$ftp_home/$d/stdin.bin"
with=(TMPDIR="$work/tmp")
expect_fail ftp-get-to-stdout-missing 1 "zknet: ftp get: code 11 \(file failed\): 550 .*" ftp get "$F" "$d/none.txt" -
check ftp-stdio-temporary-gone test -z "$(ls -A tmp)"
expect_out ftp-mv "" ftp mv "$F" "$d/up.txt" "$d/moved.txt"
check ftp-mv-moved bash -c "[ -f '$ftp_home/$d/moved.txt' ] && [ ! -e '$ftp_home/$d/up.txt' ]"
expect_out ftp-chmod "" ftp chmod "$F" 600 "$d/moved.txt"
check ftp-chmod-set test "$(stat -c %a "$ftp_home/$d/moved.txt")" = 600
with=(-u ZKNET_FTP_USER -u ZKNET_FTP_PASSWORD)
expect_out ftp-cli-credentials-only "$(stat -c %s up.txt)" ftp size "$F" "$d/moved.txt" --user zkftp --password zkftp-pass
with=(-u ZKNET_FTP_PASSWORD ZK_SECRET=zkftp-pass)
expect_out ftp-password-env "0" ftp size "$F" "$d/empty.txt" --password-env ZK_SECRET

# ---- ftp: over TLS, explicit and implicit, trusting the test CA; a refused certificate ----
ca=$ftp_home/../certs/ca.pem
expect_out ftps-put "" ftp put zknet-test:2131 up.txt "$d/tls.txt" --tls --cacert "$ca"
check ftps-put-stored same_file up.txt "$ftp_home/$d/tls.txt"
expect_out ftps-get-implicit-active "" ftp get zknet-test:2133 "$d/tls.txt" tls.txt --tls-implicit --cacert "$ca" --active
check ftps-get-same same_file up.txt tls.txt
expect_fail ftps-untrusted 1 "zknet: ftp size: code 31 \(certificate refused\): TLS: certificate is not trusted.*" \
  ftp size zknet-test:2131 "$d/tls.txt" --tls
expect_out ftps-insecure-rm "" ftp rm zknet-test:2131 "$d/tls.txt" --tls --insecure
expect_fail ftps-insecure-alone 2 "zknet: ftp size: --cacert and --insecure go with --tls or --tls-implicit; see zknet ftp --help" \
  ftp size "$F" "$d/tls.txt" --insecure

# ---- ftp: progress on a terminal only ----
head -c 8388608 /dev/zero > big.bin
ZKNET_PROGRESS_DELAY=0 script -qec "${tool[*]} ftp put $F big.bin $d/big.bin" /dev/null </dev/null > tty.txt 2>&1
check ftp-progress-put grep -Eq "put big\.bin: 8\.0 MiB in [0-9.]+ s, .*/s" tty.txt
ZKNET_PROGRESS_DELAY=0 script -qec "${tool[*]} ftp get $F $d/big.bin big2.bin" /dev/null </dev/null > tty.txt 2>&1
check ftp-progress-get grep -Eq "get $d/big\.bin: 8\.0 MiB in [0-9.]+ s, .*/s" tty.txt
check ftp-progress-get-same same_file big.bin big2.bin
# A narrow terminal: every state of the line within its 30 columns, none wrapped.
ZKNET_PROGRESS_DELAY=0 script -qec "stty cols 30; ${tool[*]} ftp get $F $d/big.bin big2.bin" /dev/null </dev/null > tty.txt 2>&1
check ftp-progress-narrow bash -c "grep -q 'MiB' tty.txt && [ \$(tr '\r' '\n' < tty.txt | awk '{ if (length > m) m = length } END { print m + 0 }') -le 29 ]"
ZKNET_PROGRESS_DELAY=0 script -qec "${tool[*]} ftp get $F $d/big.bin big2.bin --quiet" /dev/null </dev/null > tty.txt 2>&1
check ftp-progress-quiet test ! -s tty.txt
script -qec "${tool[*]} ftp get $F $d/empty.txt e2.txt" /dev/null </dev/null > tty.txt 2>&1
check ftp-progress-not-for-quick-transfers test ! -s tty.txt
with=(ZKNET_PROGRESS_DELAY=0)
expect_out ftp-progress-not-without-terminal "" ftp get "$F" "$d/big.bin" big3.bin

# ---- ftp: Ctrl-C during a download goes to the library through the progress callback ----
truncate -s 1G "$ftp_home/$d/huge.bin"   # sparse: quick to make, read whole all the same
rm -f huge.bin
# A shell without job control starts its background commands with SIGINT ignored.
env --default-signal=INT "${tool[@]}" ftp get "$F" "$d/huge.bin" huge.bin </dev/null >"$out" 2>"$err" &
pid=$!
for _ in $(seq 500); do [ -s huge.bin ] && break; sleep 0.01; done
kill -INT "$pid"
wait "$pid"
status=$?
check ftp-get-cancelled bash -c "[ $status -eq 130 ] && [ \"\$(cat '$err')\" = 'zknet: ftp get: cancelled; huge.bin holds what had arrived' ]"
check ftp-get-cancelled-early test "$(stat -c %s huge.bin)" -lt 1073741824
rm -f huge.bin "$ftp_home/$d/huge.bin"

# ---- ftp: failures, with the library's code and the server's words ----
with=(ZKNET_FTP_PASSWORD=wrong)
expect_fail ftp-wrong-password 1 "zknet: ftp ls: code 6 \(login refused\): 530 Login incorrect\." ftp ls "$F"
with=(-u ZKNET_FTP_USER -u ZKNET_FTP_PASSWORD)
expect_fail ftp-anonymous-refused 1 "zknet: ftp ls: code 6 \(login refused\): 530 .*" ftp ls "$F"
expect_fail ftp-get-missing 1 "zknet: ftp get: code 11 \(file failed\): 550 .*" ftp get "$F" "$d/none.txt"
check ftp-get-missing-no-file gone none.txt
expect_fail ftp-put-missing-local 1 "zknet: ftp put: cannot read local file no-such\.txt: .*" ftp put "$F" no-such.txt
expect_fail ftp-put-folder 1 "zknet: ftp put: cannot read local file dl: is a folder" ftp put "$F" dl
expect_fail ftp-get-into-missing-folder 1 "zknet: ftp get: cannot write no-folder/x\.txt: No such file or directory" \
  ftp get "$F" "$d/moved.txt" no-folder/x.txt
expect_fail ftp-mkdir-exists 1 "zknet: ftp mkdir: code 9 \(MKD failed\): 550 .*" ftp mkdir "$F" "$d"
expect_fail ftp-rmdir-not-empty 1 "zknet: ftp rmdir: code 10 \(RMD failed\): 550 .*" ftp rmdir "$F" "$d"
expect_fail ftp-rm-missing 1 "zknet: ftp rm $d/none\.txt: code 11 \(file failed\): 550 .*" ftp rm "$F" "$d/none.txt"
expect_fail ftp-mv-missing 1 "zknet: ftp mv: code 11 \(file failed\): 550 .*" ftp mv "$F" "$d/none.txt" "$d/x.txt"
expect_fail ftp-size-missing 1 "zknet: ftp size: code 11 \(file failed\): 550 .*" ftp size "$F" "$d/none.txt"
expect_fail ftp-date-missing 1 "zknet: ftp date: code 11 \(file failed\): 550 .*" ftp date "$F" "$d/none.txt"
expect_fail ftp-chmod-missing 1 "zknet: ftp chmod: code (11 \(file failed\)|22 \(chmod failed\)): 550 .*" \
  ftp chmod "$F" 644 "$d/none.txt"
expect_fail ftp-closed-port 1 \
  "zknet: ftp ls: code 2 \(no connection\): zknet-test port 2999: socket error 10061 \(connection refused\)" \
  ftp ls zknet-test:2999
expect_fail ftp-unknown-host 1 "zknet: ftp ls: code 2 \(no connection\): no-such-host\.invalid port 21: socket error 1100[0-9] .*" \
  ftp ls no-such-host.invalid
silent_server 2998
expect_fail ftp-timeout 1 "zknet: ftp ls: gave up after 1 s \(--timeout\)" ftp ls 127.0.0.1:2998 --timeout 1
expect_fail telnet-timeout 1 "zknet: telnet: gave up after 1\.5 s \(--timeout\)" telnet 127.0.0.1:2998 --timeout 1.5
kill -- "-$silent" 2>/dev/null

# ---- ftp: wrong command lines (nothing is sent) ----
usage="; see zknet ftp --help"
expect_fail ftp-no-action 2 "zknet: ftp: no action .*$usage" ftp
expect_fail ftp-unknown-action 2 "zknet: ftp: unknown action fetch$usage" ftp fetch "$F"
expect_fail ftp-no-host 2 "zknet: ftp get: no HOST$usage" ftp get
expect_fail ftp-too-few 2 "zknet: ftp get: too few arguments$usage" ftp get "$F"
expect_fail ftp-too-many 2 "zknet: ftp mv: too many arguments$usage" ftp mv "$F" a b c
expect_fail ftp-bad-port 2 "zknet: ftp ls: bad port in zknet-test:0 .*$usage" ftp ls zknet-test:0
expect_fail ftp-bad-ipv6 2 "zknet: ftp ls: bad address \[::1 .*$usage" ftp ls "[::1"
expect_fail ftp-unknown-option 2 "zknet: ftp: unknown option --bogus$usage" ftp ls "$F" --bogus
expect_fail ftp-option-value 2 "zknet: ftp: --user needs a value$usage" ftp ls "$F" --user
expect_fail ftp-flag-value 2 "zknet: ftp: --active takes no value$usage" ftp ls "$F" --active=yes
expect_fail ftp-bad-mode 2 "zknet: ftp chmod: bad mode 999 .*$usage" ftp chmod "$F" 999 x
expect_fail ftp-bad-timeout 2 "zknet: ftp ls: bad --timeout soon$usage" ftp ls "$F" --timeout soon
expect_fail ftp-put-stdin-no-remote 2 "zknet: ftp put: name the remote file for standard input$usage" ftp put "$F" -
expect_fail ftp-get-no-name 2 "zknet: ftp get: no file name in $d/; name the local file$usage" ftp get "$F" "$d/"
expect_fail ftp-password-env-unset 2 "zknet: ftp ls: environment variable ZK_UNSET_VAR is not set \(--password-env\)$usage" \
  ftp ls "$F" --password-env ZK_UNSET_VAR
with=(-u ZKNET_FTP_PASSWORD)
expect_fail ftp-no-password 2 "zknet: ftp ls: no password for zkftp: .*$usage" ftp ls "$F"

# ---- ftp: clean up, which runs rm and rmdir ----
expect_out ftp-rm "" ftp rm "$F" "$d/moved.txt" "$d/bytes.bin" "$d/empty.txt" "$d/big.bin" "$d/stdin.bin" "$d-top.txt"
check ftp-rm-gone bash -c "[ -z \"\$(ls -A '$ftp_home/$d')\" ] && [ ! -e '$ftp_home/$d-top.txt' ]"
expect_out ftp-rmdir "" ftp rmdir "$F" "$d"
check ftp-rmdir-gone gone "$ftp_home/$d"

# ---- telnet ----
expect_out telnet-run "$(printf 'line 1\nline 2\nline 3\nworking\ndone\nzkuser')" \
  telnet "$T" --login zkuser --prompt 'zk$' --run 'lines 3' --run pause --run whoami
with=(-u ZKNET_TELNET_PASSWORD ZK_SECRET=zkpass)
expect_out telnet-ipv6-password-env "hi there" \
  telnet "[::1]:2323" --login zkuser --password-env ZK_SECRET --prompt 'zk$' --run 'echo hi there'
expect_out telnet-shift-jis "日本語" telnet "$T" -6 --login zkuser --prompt 'zk$' --run nihon
expect_out telnet-login-only "Welcome to zknet-test" telnet "$T" --login zkuser --prompt 'zk$'
expect_out telnet-first-text "login: " telnet "$T"
with=(ZKNET_TELNET_PASSWORD=wrong)
expect_fail telnet-wrong-password 1 "zknet: telnet login: code 10 \(prompt not found\): Login incorrect \| login:" \
  telnet "$T" --login zkuser --prompt 'zk$' --run whoami
expect_fail telnet-closed-port 1 "zknet: telnet connect: code 1 \(not connected\): zknet-test port 2999.*" \
  telnet zknet-test:2999 --login zkuser --prompt 'zk$'
usage="; see zknet telnet --help"
expect_fail telnet-no-host 2 "zknet: telnet: no HOST$usage" telnet --login zkuser --prompt 'zk$'
expect_fail telnet-two-hosts 2 "zknet: telnet: one HOST only; commands go with --run$usage" telnet "$T" whoami
expect_fail telnet-no-prompt 2 "zknet: telnet: --prompt is needed .*$usage" telnet "$T" --login zkuser --run whoami
expect_fail telnet-empty-prompt 2 "zknet: telnet: --prompt cannot be empty$usage" telnet "$T" --login zkuser --prompt ''
expect_fail telnet-password-env-unset 2 "zknet: telnet: environment variable ZK_UNSET_VAR is not set \(--password-env\)$usage" \
  telnet "$T" --login zkuser --password-env ZK_UNSET_VAR --prompt 'zk$'
with=(-u ZKNET_TELNET_PASSWORD)
expect_fail telnet-no-password 2 "zknet: telnet: no password: .*$usage" telnet "$T" --login zkuser --prompt 'zk$'
expect_fail telnet-password-option 2 "zknet: telnet: unknown option --password$usage" \
  telnet "$T" --login zkuser --password zkpass --prompt 'zk$'

# ---- nic ----
zk nic list
check nic-list out_matches "^adapter [0-9]+  $local_mac$"
check nic-list-form bash -c "! grep -Evq '^adapter [0-9]+  ([0-9a-f]{2}:){5}[0-9a-f]{2}$' '$out'"
expect_out nic-arp "$peer_mac" nic arp 198.51.100.2
expect_fail nic-arp-no-answer 1 "zknet: nic arp: no answer from 198\.51\.100\.9 .*" nic arp 198.51.100.9
expect_fail nic-arp-unknown-name 1 "zknet: nic arp: no IPv4 address for no-such-host\.invalid" nic arp no-such-host.invalid
receive_one 192.0.2.255 7 wake7.bin
expect_out nic-wake "magic packet for $peer_mac sent to 192.0.2.255 port 7" nic wake "$peer_mac" --broadcast 192.0.2.255
check nic-wake-received received wake7.bin "$peer_mac"
receive_one 192.0.2.255 9 wake9.bin
expect_out nic-wake-port "" nic wake 02-5A-4B-00-00-02 --broadcast 192.0.2.255 --port 9 --quiet
check nic-wake-port-received received wake9.bin "$peer_mac"
usage="; see zknet nic --help"
expect_fail nic-no-action 2 "zknet: nic: no action \(list, arp, wake\)$usage" nic
expect_fail nic-unknown-action 2 "zknet: nic: unknown action scan$usage" nic scan
expect_fail nic-arp-no-address 2 "zknet: nic arp: give one ADDRESS$usage" nic arp
expect_fail nic-bad-mac 2 "zknet: nic wake: bad MAC address 02:5a:4b:00:00 .*$usage" nic wake 02:5a:4b:00:00
expect_fail nic-bad-port 2 "zknet: nic wake: bad --port 70000 .*$usage" nic wake "$peer_mac" --port 70000
expect_fail nic-port-without-wake 2 "zknet: nic list: --broadcast and --port go with wake$usage" nic list --port 9

# ---- mail: a POP3 mailbox the test fills, Postfix for sending, stored messages ----
if [ -n "${ZK_MAIL_WORK:-}" ] && [ -d "$box/new" ]; then
  printf 'From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: plain subject\nDate: Tue, 15 Nov 1994 08:12:31 +0900\nContent-Transfer-Encoding: 7bit\n\nhello\n.a line that begins with a period\n' > m1.eml
  printf 'From: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@zknet-test>\nTo: zktool@zknet-test\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n\033$BF|K\\8l$NK\\J8$G$9!#\033(B\n\033$BFs9TL\\\033(B\n' > m2.eml
  printf 'From: b@zknet-test\nSubject: attached\nContent-Transfer-Encoding: base64\n\naGVsbG8=\n' > m3.eml
  s1=$(crlf m1.eml | wc -c) s2=$(crlf m2.eml | wc -c) s3=$(crlf m3.eml | wc -c)
  fill_box m1.eml m2.eml m3.eml
  expect_out mail-list "$(printf '1\t%s\n2\t%s\n3\t%s' "$s1" "$s2" "$s3")" mail list --pop3 "$P"
  expect_out mail-list-headers-ipv6 "$(printf '1\t%s\tAlice <alice@zknet-test>\tplain subject\n2\t%s\t山田太郎 <taro@zknet-test>\t日本語\n3\t%s\tb@zknet-test\tattached' "$s1" "$s2" "$s3")" \
    mail list --pop3 "[::1]:2110" --headers
  expect_out mail-get "$(cat m1.eml)" mail get --pop3 "$P" 1 -6
  mkdir -p mailbox
  expect_out mail-save "" mail save --pop3 "$P" 2 mailbox
  crlf m2.eml > m2.crlf
  check mail-save-stored same_file mailbox/2.eml m2.crlf
  expect_out mail-save-named "" mail save --pop3 "$P" 3 --name 添付
  crlf m3.eml > m3.crlf
  check mail-save-named-stored same_file 添付.eml m3.crlf
  expect_out mail-show "$(printf 'From: 山田太郎 <taro@zknet-test>\nTo: zktool@zknet-test\nSubject: 日本語\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n日本語の本文です。\n二行目')" \
    mail show mailbox/2.eml
  expect_out mail-show-lf-file "$(printf 'From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: plain subject\nDate: Tue, 15 Nov 1994 08:12:31 +0900\nDate read as: 1994-11-15 08:12:31\nContent-Transfer-Encoding: 7bit\n\nhello\n.a line that begins with a period')" \
    mail show m1.eml
  expect_out mail-show-base64 "$(printf 'From: b@zknet-test\nSubject: attached\nContent-Transfer-Encoding: base64\n\n(the body is not shown: its transfer encoding is not 7bit)')" \
    mail show 添付.eml
  # Deletion takes effect when the session ends: the next one sees the rest.
  expect_out mail-rm "" mail rm --pop3 "$P" 1 3
  expect_out mail-rm-gone "$(printf '1\t%s' "$s2")" mail list --pop3 "$P"
  # The protocol trace: -v on standard error, ZKNET_TRACE into a file; the password masked.
  zk -v mail list --pop3 "$P"
  check trace-verbose bash -c "[ $status -eq 0 ] && grep -qE '^ *[0-9]+ POP3 #[0-9]+ > PASS [*]{4}$' '$err' &&
                               ! grep -q zktool-pass '$err'"
  with=(ZKNET_TRACE="$work/trace.txt")
  zk mail list --pop3 "$P"
  check trace-environment grep -qE '^ *[0-9]+ POP3 #1 > USER zktool$' "$work/trace.txt"

  # Sending through Postfix, then finding the message in zkmail's mailbox.
  tag=zk-tool-$$
  printf '本文の一行目、四十バイトで折り返される長さの日本語の文章です。\n.点で始まる行\n' > body.txt
  expect_out mail-send "" mail send --smtp "$S" --from "<$tag@zknet-test>" --to "<zkmail@zknet-test>" \
    --subject "ツールの件名 $$" --body-file body.txt --width 40
  printf 'from standard input\n' > stdin.txt
  zk_io stdin.txt "$out" mail send --smtp "[::1]:2525" --from "<$tag-stdin@zknet-test>" --to "<zkmail@zknet-test>" --subject "stdin $$"
  check mail-send-stdin bash -c "[ $status -eq 0 ] && [ ! -s '$out' ] && [ ! -s '$err' ]"
  number=
  for _ in $(seq 40); do
    with=(ZKNET_POP3_USER=zkmail ZKNET_POP3_PASSWORD=zkmail-pass)
    zk mail list --pop3 "$P" --headers
    number=$(awk -F '\t' -v s="ツールの件名 $$" '$4 == s {print $1}' "$out")
    [ -n "$number" ] && grep -q "stdin $$" "$out" && break
    sleep 0.25
  done
  check mail-send-delivered test -n "$number"
  with=(-u ZKNET_POP3_PASSWORD ZKNET_POP3_USER=zkmail ZK_SECRET=zkmail-pass)
  expect_out mail-save-sent "" mail save --pop3 "$P" "${number:-1}" mailbox --name sent --password-env ZK_SECRET
  zk mail show mailbox/sent.eml
  check mail-show-sent-subject grep -qx "Subject: ツールの件名 $$" "$out"
  # Folded at 40 bytes: 20 double-byte characters a line.
  check mail-show-sent-body bash -c "[ \"\$(tail -n 3 '$out')\" = \"\$(printf '本文の一行目、四十バイトで折り返される長\nさの日本語の文章です。\n.点で始まる行')\" ]"
  # The stored message sent again as it is, to the addresses its own header names.
  expect_out mail-send-eml "" mail send --smtp "$S" --eml mailbox/sent.eml --helo zknet-test

  # Body files as editors write them: UTF-8 with and without the byte order mark, Shift_JIS told
  # with --charset ansi and found without it; each arrives as the same Japanese text. A character
  # ISO-2022-JP lacks goes as ?, with a warning.
  printf '文字コードの試験です。\n' > u8.txt
  { printf '\xef\xbb\xbf'; cat u8.txt; } > bom.txt
  iconv -f UTF-8 -t CP932 u8.txt > sjis.txt
  for kind in u8:u8 bom:bom sjis:ansi sjis:sjis; do
    file=${kind%%:*}.txt name=${kind#*:}
    charset=()
    [ "$name" = ansi ] && charset=(--charset ansi)
    expect_out "mail-send-body-$name" "" mail send --smtp "$S" --from "<$tag@zknet-test>" --to "<zkmail@zknet-test>" \
      --subject "charset $name $$" --body-file "$file" "${charset[@]}"
  done
  printf 'smile \xf0\x9f\x98\x80\n' > lost.txt
  zk mail send --smtp "$S" --from "<$tag@zknet-test>" --to "<zkmail@zknet-test>" --subject "charset lost $$" \
    --body-file lost.txt
  check mail-send-lost-warning bash -c "[ $status -eq 0 ] && [ \"\$(cat '$err')\" = 'zknet: warning: the body: 1 character not in ISO-2022-JP, sent as ?' ]"
  for _ in $(seq 40); do
    with=(ZKNET_POP3_USER=zkmail ZKNET_POP3_PASSWORD=zkmail-pass)
    zk mail list --pop3 "$P" --headers
    [ "$(grep -c "	charset [a-z0-9]* $$\$" "$out")" -ge 5 ] && break
    sleep 0.25
  done
  cp "$out" charset-list.txt
  for name in u8 bom ansi sjis lost; do
    number=$(awk -F '\t' -v s="charset $name $$" '$4 == s {print $1}' charset-list.txt)
    with=(ZKNET_POP3_USER=zkmail ZKNET_POP3_PASSWORD=zkmail-pass)
    zk mail save --pop3 "$P" "${number:-1}" mailbox --name "charset-$name"
    zk mail show "mailbox/charset-$name.eml"
    want=$(cat u8.txt)
    [ "$name" = lost ] && want='smile ?'
    check "mail-send-body-$name-delivered" bash -c "[ -n '$number' ] && [ \"\$(tail -n 1 '$out')\" = '$want' ]"
  done

  # As a provider's user: the submission port with STARTTLS and a login, POP3 over TLS.
  ca=$ZK_MAIL_WORK/certs/ca.pem
  with=(ZKNET_SMTP_PASSWORD=zkmail-pass)
  expect_out mail-send-submission "" mail send --smtp zknet-test:2587 --tls --cacert "$ca" --user zkmail \
    --from "<$tag-tls@zknet-test>" --to "<someone@elsewhere.example>" --body-file body.txt
  with=(ZK_TOKEN=zktool-pass)
  expect_out mail-list-pop3s "$(printf '1\t%s' "$s2")" mail list --pop3 zknet-test:2995 --tls-implicit --cacert "$ca" \
    --password-env ZK_TOKEN
  with=(ZKNET_CACERT="$ca")
  expect_out mail-list-stls "$(printf '1\t%s' "$s2")" mail list --pop3 zknet-test:2112 --tls
  expect_fail mail-send-submission-anonymous 1 "zknet: mail send: code 10 \(RCPT TO failed\): 554 5\.7\.1 .*" \
    mail send --smtp zknet-test:2587 --tls --cacert "$ca" --from "<a@zknet-test>" --to "<b@elsewhere.example>" \
    --body-file body.txt
  with=(ZKNET_SMTP_PASSWORD=wrong)
  expect_fail mail-send-wrong-password 1 "zknet: mail send connect: code 32 \(authentication failed\): 535 5\.7\.8 .*" \
    mail send --smtp zknet-test:2465 --tls-implicit --cacert "$ca" --user zkmail --from a --to b --body-file body.txt
  with=(ZKNET_SMTP_PASSWORD=zkmail-pass)
  expect_fail mail-send-login-in-clear 1 \
    "zknet: mail send connect: code 32 \(authentication failed\): AUTH: credentials are not sent over a connection without TLS" \
    mail send --smtp "$S" --user zkmail --from a --to b --body-file body.txt
  with=(ZKNET_SMTP_PASSWORD=zkmail-pass)
  expect_fail mail-send-untrusted 1 "zknet: mail send connect: code 31 \(certificate refused\): TLS: .*" \
    mail send --smtp zknet-test:2587 --tls --user zkmail --from a --to b --body-file body.txt
  expect_fail mail-token-and-password 2 "zknet: mail list: --password-env or --oauth2-token-env, not both; see zknet mail --help" \
    mail list --pop3 "$P" --password-env A --oauth2-token-env B

  # ---- mail: failures, with the library's code and the server's words ----
  with=(ZKNET_POP3_PASSWORD=wrong)
  expect_fail mail-wrong-password 1 "zknet: mail list: code 6 \(login refused\): -ERR \[AUTH\] Authentication failed\." \
    mail list --pop3 "$P"
  expect_fail mail-get-missing 1 "zknet: mail get: message 9 not retrieved: -ERR There's no message 9\." mail get --pop3 "$P" 9
  expect_fail mail-rm-missing 1 "zknet: mail rm 9: not deleted: -ERR There's no message 9\." mail rm --pop3 "$P" 9
  expect_fail mail-save-no-folder 1 "zknet: mail save: code 12 \(no folder\): no folder no-such" mail save --pop3 "$P" 1 no-such
  expect_fail mail-save-missing 1 "zknet: mail save: message 9 not retrieved: -ERR There's no message 9\." \
    mail save --pop3 "$P" 9 mailbox
  expect_fail mail-send-refused 1 "zknet: mail send: code 10 \(RCPT TO failed\): 550 5\.1\.1 .*User unknown.*" \
    mail send --smtp "$S" --from "<$tag@zknet-test>" --to "<nobody-here@zknet-test>" --body-file body.txt
  expect_fail mail-send-eml-no-to 1 "zknet: mail send: not sent: m3\.eml is empty, unreadable or lacks From or To" \
    mail send --smtp "$S" --eml m3.eml
  expect_fail mail-send-eml-no-brackets 1 "zknet: mail send: code 10 \(RCPT TO failed\): 501 .*" \
    mail send --smtp "$S" --eml mailbox/2.eml
  expect_fail mail-send-closed-port 1 \
    "zknet: mail send connect: code 2 \(no connection\): zknet-test port 2999: socket error 10061 \(connection refused\)" \
    mail send --smtp zknet-test:2999 --from "<a@x>" --to "<b@y>" --body-file body.txt
  expect_fail mail-list-closed-port 1 \
    "zknet: mail list: code 2 \(no connection\): zknet-test port 2999: socket error 10061 \(connection refused\)" \
    mail list --pop3 zknet-test:2999
  expect_fail mail-send-no-body-file 1 "zknet: mail send: cannot read body file none\.txt: .*" \
    mail send --smtp "$S" --from "<a@x>" --to "<b@y>" --body-file none.txt
  expect_fail mail-show-missing 1 "zknet: mail show: cannot read none\.eml: .*" mail show none.eml
  usage="; see zknet mail --help"
  expect_fail mail-no-action 2 "zknet: mail: no action \(send, list, get, save, rm, show\)$usage" mail
  expect_fail mail-unknown-action 2 "zknet: mail: unknown action fetch$usage" mail fetch
  expect_fail mail-no-pop3 2 "zknet: mail list: --pop3 HOST\[:PORT\] is needed$usage" mail list
  expect_fail mail-no-smtp 2 "zknet: mail send: --smtp HOST\[:PORT\] is needed$usage" mail send --from a --to b
  expect_fail mail-no-from 2 "zknet: mail send: --from is needed$usage" mail send --smtp "$S" --to b
  expect_fail mail-bad-width 2 "zknet: mail send: bad --width 0 \(1 to 100000\)$usage" \
    mail send --smtp "$S" --from a --to b --width 0
  expect_fail mail-bad-charset 2 "zknet: mail send: bad --charset latin1 \(utf-8 or ansi\)$usage" \
    mail send --smtp "$S" --from a --to b --charset latin1
  expect_fail mail-eml-and-from 2 "zknet: mail send: --from does not go with --eml$usage" \
    mail send --smtp "$S" --eml x.eml --from a
  expect_fail mail-option-elsewhere 2 "zknet: mail get: --headers does not go with get$usage" mail get --pop3 "$P" 1 --headers
  expect_fail mail-bad-number 2 "zknet: mail get: bad message number x1$usage" mail get --pop3 "$P" x1
  expect_fail mail-too-many 2 "zknet: mail get: too many arguments$usage" mail get --pop3 "$P" 1 2
  expect_fail mail-show-no-file 2 "zknet: mail show: too few arguments$usage" mail show
  expect_fail mail-password-option 2 "zknet: mail: unknown option --password$usage" mail list --pop3 "$P" --password x
  expect_fail mail-password-env-unset 2 "zknet: mail list: environment variable ZK_UNSET_VAR is not set \(--password-env\)$usage" \
    mail list --pop3 "$P" --password-env ZK_UNSET_VAR
  with=(-u ZKNET_POP3_USER)
  expect_fail mail-no-user 2 "zknet: mail list: no user: give --user or set ZKNET_POP3_USER$usage" mail list --pop3 "$P"
  with=(-u ZKNET_POP3_PASSWORD)
  expect_fail mail-no-password 2 "zknet: mail list: no password for zktool: .*$usage" mail list --pop3 "$P"
else
  echo "skipped the mail part: no mail fixture (ZK_MAIL_WORK)"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
