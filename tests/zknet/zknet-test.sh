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
mode=$1 work=$2 ftp_home=$3 src=$4 tool=("${@:5}")
[ "${ZK_PRIVATE_NET:-}" = 1 ] || { echo "skipped: the tool's tests run inside the private test network (tools/netns.sh ctest ...)"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
out=$work/.stdout err=$work/.stderr

export ZKNET_FTP_USER=zkftp ZKNET_FTP_PASSWORD=zkftp-pass ZKNET_TELNET_PASSWORD=zkpass
export ZKNET_POP3_USER=zktool ZKNET_POP3_PASSWORD=zktool-pass
unset ZKNET_PROGRESS_DELAY
# The fixtures' vsftpd, Telnet host, dovecot (POP3) and Postfix (delivering to zkmail, whose
# Maildir dovecot serves too). A Windows resolver gives this computer's own name its adapter's
# address; loopback is plainer.
host=$([ "$mode" = windows ] && echo 127.0.0.1 || echo zknet-test)
F=$host:2121 T=$host:2323 P=$host:2110 S=$host:2525
tag=zk-tool-$$   # this run's senders and subjects
send=(mail send --smtp "$S" --from "<$tag@zknet-test>" --to "<zkmail@zknet-test>")
ZM="ZKNET_POP3_USER=zkmail ZKNET_POP3_PASSWORD=zkmail-pass"   # zkmail's own mailbox, for a run's prefix
box=${ZK_MAIL_WORK:-}/pop/zktool
d=zkt-$$               # this run's folder on the FTP server
version=$(sed -n 's/^#define ZKNET_VERSION "\(.*\)"/\1/p' "$src/include/zknet/zkconf.h")
peer_mac=02:5a:4b:00:00:02    # the ARP peer of tests/nic/peers.sh
local_mac=02:5a:4b:00:00:01   # this namespace's end of its link
sjis_name=$(printf '\x93\xfa\x96\x7b.txt')   # 日本.txt in code page 932, as the server keeps it
lost_warning='zknet: warning: the body: 1 character not in ISO-2022-JP, sent as ?'
passed=0 failed=0

# zk [VAR=value | -u VAR | stdin=FILE | stdout=FILE | cd=FOLDER]... ARGS...: runs the tool with
# those env(1) words, standard input (else none), standard output byte for byte into FILE (else
# in $out, line ends made LF, as standard error's in $err) and folder; its exit status in $status.
zk() {
  local vars=() input=/dev/null output=$out dir=.
  while :; do
    case ${1:-} in
      stdin=*) input=${1#*=} ;;
      stdout=*) output=${1#*=}; : >"$out" ;;
      cd=*) dir=${1#*=} ;;
      -u) vars+=(-u "$2"); shift ;;
      [A-Z]*=*) vars+=("$1") ;;
      *) break ;;
    esac
    shift
  done
  (cd "$dir" && exec env "${vars[@]}" "${tool[@]}" "$@") <"$input" >"$output" 2>"$err"
  status=$?
  sed -i 's/\r$//' "$err"
  [ "$output" != "$out" ] || sed -i 's/\r$//' "$out"
}

finish() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; exit; }
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() {
  failed=$((failed + 1))
  echo "FAIL $1: $2"
  echo "     status $status; stdout: $(head -c 600 "$out" | cat -A | head -n 8)"
  echo "     stderr: $(head -c 600 "$err" | cat -A | head -n 4)"
}
# check NAME CODE: shell code judging the files or the last run's output.
check() { if eval "$2" >/dev/null 2>&1; then pass "$1"; else fail "$1" "check failed: $2"; fi; }

# run_table: one case a line of standard input, "NAME | STATUS | EXPECTED | ARGS [| CHECK]" ('#'
# lines are comments; only CHECK may hold " | "). ARGS (shell words, for zk) and EXPECTED are
# expanded when the row runs. Status 0: standard output exactly EXPECTED (backslash escapes as
# printf %b), nothing on standard error. Otherwise: nothing on standard output, one line on
# standard error matching the extended regular expression "zknet: EXPECTED" whole, with status 2
# "; see zknet [FAMILY] --help" after it. EXPECTED * checks only the status. CHECK, shell code,
# must succeed after the run.
run_table() {
  local line name want expected args code hint verdict
  while IFS= read -r line; do
    [[ -z $line || $line == \#* ]] && continue
    name=${line%% | *} line=${line#* | }
    want=${line%% | *} line=${line#* | }
    expected=${line%% | *} line=${line#* | }
    args=${line%% | *} code=
    [[ $line == *' | '* ]] && code=${line#* | }
    eval "set -- $args"
    zk "$@"
    eval "expected=\"$expected\"" </dev/null
    while [[ ${1:-} == -u || ${1:-} == [a-zA-Z]*=* ]]; do [ "$1" = -u ] && shift; shift; done
    case $want:${1:-} in
      2:ftp | 2:telnet | 2:nic | 2:mail) hint="; see zknet $1 --help" ;;
      2:*) hint="; see zknet --help" ;;
      *) hint= ;;
    esac
    verdict=
    if [ "$status" -ne "$want" ]; then verdict="exit status $status, expected $want"
    elif [ "$expected" = '*' ]; then :
    elif [ "$want" = 0 ]; then
      if [ "$(cat "$out")" != "$(printf '%b' "$expected")" ]; then verdict="expected output: $expected"
      elif [ -s "$err" ]; then verdict="unexpected standard error"; fi
    elif [ -s "$out" ]; then verdict="unexpected standard output"
    elif [ "$(wc -l < "$err")" -ne 1 ] || ! grep -Eqx -- "zknet: $expected$hint" "$err"; then
      verdict="expected stderr: zknet: $expected$hint"
    fi
    [ -z "$verdict" ] && [ -n "$code" ] && ! eval "$code" </dev/null >/dev/null 2>&1 && verdict="check failed: $code"
    if [ -n "$verdict" ]; then fail "$name" "$verdict"; else pass "$name"; fi
  done
}

same_file() { cmp -s "$1" "$2"; }
gone() { [ ! -e "$1" ]; }
crlf() { sed 's/$/\r/' "$1"; }   # a file with CR LF line ends, as a message travels and is saved

# A listener for one datagram on ADDRESS:PORT, written to FILE (its pid in FILE.pid).
receive_one() {
  timeout 60 socat -u "UDP4-RECVFROM:$2,bind=$1,reuseaddr" "OPEN:$3,creat,trunc" &
  echo $! > "$3.pid"
  for _ in $(seq 50); do [ "$(ss -Hlun "src $1:$2" | wc -l)" -ge 1 ] && break; sleep 0.1; done
}
# FILE, once its listener is done, holds the 102 bytes of a magic packet for the MAC (aa:bb:...).
received() {
  wait "$(cat "$1.pid")"
  cmp -s "$1" <(printf '\xff%.0s' {1..6}; for _ in {1..16}; do printf "$(echo "${2//:/}" | sed 's/../\\x&/g')"; done)
}

# Empties the tool's POP3 Maildir and puts the message files into it, numbered in this order.
fill_box() {
  local i=0 f
  rm -rf "${box:?}"/new/* "$box"/cur/* "$box"/tmp/* "$box"/dovecot*
  for f; do i=$((i + 1)); cp "$f" "$box/new/$((1000000000 + i)).M${i}P1.zknet-tool"; done
}
# Lists zkmail's mailbox into zkmail.txt until COUNT subjects match REGEX (Postfix delivers late).
await_mail() {
  for _ in $(seq 40); do
    zk $ZM mail list --pop3 "$P" --headers && cp "$out" zkmail.txt
    [ "$(grep -Ec -- "$2" zkmail.txt)" -ge "$1" ] && return 0 || sleep 0.25
  done
}
number_of() { awk -F '\t' -v s="$1" '$4 == s {print $1}' zkmail.txt; }
# The body sent with subject "charset NAME $$", fetched from zkmail's mailbox: its last line WANT.
delivered() {
  local number want=$2
  number=$(number_of "charset $1 $$")
  zk $ZM mail save --pop3 "$P" "${number:-1}" --name "charset-$1"
  zk mail show "charset-$1.eml"
  check "mail-send-body-$1-delivered" '[ -n "$number" ] && [ "$(tail -n 1 "$out")" = "$want" ]'
}
# Body files as editors write them, each to arrive as the same Japanese text; lost.txt holds a
# character ISO-2022-JP lacks, sent as ?, with a warning.
body_files() {
  printf "文字コードの試験です。$1\n" > u8.txt
  { printf '\xef\xbb\xbf'; cat u8.txt; } > bom.txt
  iconv -f UTF-8 -t CP932 u8.txt > sjis.txt
  printf "smile \xf0\x9f\x98\x80$1\n" > lost.txt
}

if [ "$mode" = windows ]; then
  # ---- a handful of commands through zknet.exe ----
  printf 'from windows\r\n\x00\xff\n' > win.bin
  printf 'from windows 日本\r\n' > 日本.txt
  printf 'From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n\033$BF|K\\8l\033(B\n' > win1.eml
  fill_box win1.eml
  body_files '\r'
  run_table <<'EOF'
version | 0 | zknet $version | --version
put | 0 |  | ftp put $F win.bin $d-win.bin | same_file win.bin "$ftp_home/$d-win.bin"
get-ipv6-active | 0 |  | ftp get "[::1]:2121" $d-win.bin back.bin --active | same_file win.bin back.bin
get-to-stdout | 0 |  | stdout=win-out.bin ftp get $F $d-win.bin - | same_file win.bin win-out.bin
put-from-stdin | 0 |  | stdin=win.bin ftp put $F - $d-win-in.bin | same_file win.bin "$ftp_home/$d-win-in.bin"
get-missing | 1 | ftp get: code 11 \(file failed\): 550 .* | ftp get $F $d-none.bin
# Japanese names through the UTF-16 command line, listed in code page 932 as the console shows it.
put-japanese | 0 |  | ftp put $F 日本.txt $d-日本.txt | same_file 日本.txt "$ftp_home/$d-$sjis_name"
ls-japanese | 0 | $d-$sjis_name | ftp ls $F $d-日本.txt --names
get-japanese | 0 |  | ftp get $F $d-日本.txt 日本語.txt | same_file 日本.txt 日本語.txt
rm | 0 |  | ftp rm $F $d-win.bin $d-win-in.bin $d-日本.txt
telnet | 0 | line 1\nline 2 | telnet $T --login zkuser --prompt 'zk$' --run 'lines 2'
# Mail, with the Japanese texts in the ANSI code page (932) as a Windows console shows them.
mail-list-headers | 0 | 1\t$(crlf win1.eml|wc -c)\tAlice <alice@zknet-test>\t\x93\xfa\x96\x7b\x8c\xea | mail list --pop3 $P --headers
mail-save | 0 |  | mail save --pop3 $P 1 --name win | cmp -s win.eml <(crlf win1.eml)
mail-show | 0 | From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: \x93\xfa\x96\x7b\x8c\xea\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n\x93\xfa\x96\x7b\x8c\xea | mail show win.eml
mail-wrong-password | 1 | mail list: code 6 \(login refused\): -ERR .* | ZKNET_POP3_PASSWORD=wrong mail list --pop3 $P
# UTF-8 as Notepad saves it and Shift_JIS, each found without --charset.
mail-send-body-u8 | 0 |  | "${send[@]}" --subject "charset u8 $$" --body-file u8.txt
mail-send-body-sjis | 0 |  | "${send[@]}" --subject "charset sjis $$" --body-file sjis.txt
mail-send-lost-warning | 0 | * | "${send[@]}" --subject "charset lost $$" --body-file lost.txt --charset utf-8 | [ "$(cat "$err")" = "$lost_warning" ]
EOF
  receive_one 192.0.2.255 9 wake9.bin
  run_table <<'EOF'
nic-list | 0 | * | nic list | grep -Eq '^adapter 0  ([0-9a-f]{2}:){5}[0-9a-f]{2}$' "$out"
nic-wake-port | 0 | magic packet for $peer_mac sent to 192.0.2.255 port 9 | nic wake $peer_mac --broadcast 192.0.2.255 --port 9 | received wake9.bin $peer_mac
EOF
  await_mail 2 "	charset (u8|sjis) $$\$"
  for name in u8 sjis; do delivered $name "$(tr -d '\r' < sjis.txt)"; done
  finish
fi

# ---- the frame, and ftp: every action and what the server stored ----
printf 'first line\r\nsecond line\n' > up.txt
printf 'line\r\nzero\0byte\r\r\n\xff\xfe' > bytes.bin
printf '日本語の中身\n' > 日本.txt
: > empty.txt
mkdir -p dl nest ja tmp mailbox
cp up.txt "nest/$d-top.txt"
ca=$ftp_home/../certs/ca.pem
run_table <<'EOF'
version | 0 | zknet $version | --version
no-arguments-usage | 2 | * |  | [ ! -s "$out" ] && head -n 1 "$err" | grep -q '^usage: zknet \[-v\] FAMILY'
unknown-family | 2 | unknown family frobnicate | frobnicate
ftp-mkdir | 0 |  | ftp mkdir $F $d | test -d "$ftp_home/$d"
ftp-put | 0 |  | ftp put $F up.txt $d/up.txt | same_file up.txt "$ftp_home/$d/up.txt"
ftp-put-ipv6-active | 0 |  | ftp put "[::1]:2121" bytes.bin $d/bytes.bin --active | same_file bytes.bin "$ftp_home/$d/bytes.bin"
ftp-put-empty | 0 |  | ftp put $F empty.txt $d/empty.txt
ftp-put-default-name | 0 |  | ftp put $F nest/$d-top.txt | same_file up.txt "$ftp_home/$d-top.txt"
ftp-ls-names | 0 | * | ftp ls $F $d --names | [ "$(sort "$out")" = "$(printf "$d/%s\n" bytes.bin empty.txt up.txt)" ] && names=$(cat "$out")
ftp-ls-ipv6 | 0 | $names | ftp ls "[::1]:2121" $d --names
ftp-ls-long | 0 | * | ftp ls $F $d | [ $(grep -Ec '^-rw-r--r-- .* (bytes\.bin|empty\.txt|up\.txt)$' "$out") -eq 3 ] && [ $(wc -l < "$out") -eq 3 ]
ftp-size | 0 | $(stat -c %s bytes.bin) | ftp size $F $d/bytes.bin
ftp-size-empty | 0 | 0 | ftp size $F $d/empty.txt
ftp-date | 0 | $(date -u -r "$ftp_home/$d/up.txt" +%Y-%m-%dT%H:%M:%SZ) | ftp date $F $d/up.txt
# The local copy takes the server's time.
ftp-get | 0 |  | ftp get $F $d/bytes.bin got.bin | same_file bytes.bin got.bin && [ "$(stat -c %Y got.bin)" = "$(stat -c %Y "$ftp_home/$d/bytes.bin")" ]
ftp-get-into-folder | 0 |  | ftp get $F $d/up.txt dl | same_file up.txt dl/up.txt
ftp-get-default-name | 0 |  | cd=nest ftp get $F $d/bytes.bin | same_file bytes.bin nest/bytes.bin
ftp-get-ipv6-name-active | 0 |  | ftp get $F $d/up.txt v6.txt -6 --active | same_file up.txt v6.txt
ftp-get-ascii | 0 |  | ftp get $F $d/up.txt ascii.txt --ascii | test -s ascii.txt
# Japanese names, UTF-8 on the command line, through the library's UTF-16 forms: the server keeps
# them in code page 932, as the library names files on the wire.
ftp-put-japanese | 0 |  | ftp put $F 日本.txt $d/日本.txt | same_file 日本.txt "$ftp_home/$d/$sjis_name"
ftp-ls-japanese | 0 | $d/日本.txt | ftp ls $F $d/日本.txt --names
ftp-get-japanese | 0 |  | ftp get $F $d/日本.txt ja/日本語.txt | same_file 日本.txt ja/日本語.txt
ftp-rm-japanese | 0 |  | ftp rm $F $d/日本.txt
ftp-name-not-in-cp932 | 1 | ftp put: $d/😀\.txt: 1 character not in the ANSI code page, in which names go to the server | ftp put $F 日本.txt $d/😀.txt
# "-": standard output and input, through a temporary file that goes afterwards, done or not.
ftp-get-to-stdout | 0 |  | TMPDIR=$work/tmp stdout=stdout.bin ftp get $F $d/bytes.bin - | same_file bytes.bin stdout.bin && gone ./-
ftp-put-from-stdin | 0 |  | TMPDIR=$work/tmp stdin=bytes.bin ftp put $F - $d/stdin.bin | same_file bytes.bin "$ftp_home/$d/stdin.bin"
ftp-get-to-stdout-missing | 1 | ftp get: code 11 \(file failed\): 550 .* | TMPDIR=$work/tmp ftp get $F $d/none.txt - | [ -z "$(ls -A tmp)" ]
ftp-mv | 0 |  | ftp mv $F $d/up.txt $d/moved.txt | [ -f "$ftp_home/$d/moved.txt" ] && gone "$ftp_home/$d/up.txt"
ftp-chmod | 0 |  | ftp chmod $F 600 $d/moved.txt | [ "$(stat -c %a "$ftp_home/$d/moved.txt")" = 600 ]
ftp-cli-credentials-only | 0 | $(stat -c %s up.txt) | -u ZKNET_FTP_USER -u ZKNET_FTP_PASSWORD ftp size $F $d/moved.txt --user zkftp --password zkftp-pass
ftp-password-env | 0 | 0 | -u ZKNET_FTP_PASSWORD ZK_SECRET=zkftp-pass ftp size $F $d/empty.txt --password-env ZK_SECRET
# Over TLS, explicit and implicit, trusting the test CA; a refused certificate.
ftps-put | 0 |  | ftp put zknet-test:2131 up.txt $d/tls.txt --tls --cacert "$ca" | same_file up.txt "$ftp_home/$d/tls.txt"
ftps-get-implicit-active | 0 |  | ftp get zknet-test:2133 $d/tls.txt tls.txt --tls-implicit --cacert "$ca" --active | same_file up.txt tls.txt
ftps-untrusted | 1 | ftp size: code 31 \(certificate refused\): TLS: certificate is not trusted.* | ftp size zknet-test:2131 $d/tls.txt --tls
ftps-insecure-rm | 0 |  | ftp rm zknet-test:2131 $d/tls.txt --tls --insecure
ftps-insecure-alone | 2 | ftp size: --cacert and --insecure go with --tls or --tls-implicit | ftp size $F $d/tls.txt --insecure
EOF
zk --help
grep -q "mail .*(not built in)" "$out" && run_table <<<'mail-absent | 1 | mail: this zknet is built without the mail family .* | mail list'

# ---- ftp: progress on a terminal only, within a narrow one's 30 columns, none wrapped ----
# tty_case NAME DELAY STTY ARGS CODE: the tool on a terminal, ZKNET_PROGRESS_DELAY=DELAY (unset if
# empty), all it wrote in tty.txt for CODE to judge.
tty_case() { env ${2:+ZKNET_PROGRESS_DELAY=$2} script -qec "$3 ${tool[*]} $4" /dev/null </dev/null > tty.txt 2>&1; check "$1" "$5"; }
head -c 8388608 /dev/zero > big.bin
tty_case ftp-progress-put 0 '' "ftp put $F big.bin $d/big.bin" 'grep -Eq "put big\.bin: 8\.0 MiB in [0-9.]+ s, .*/s" tty.txt'
tty_case ftp-progress-get 0 '' "ftp get $F $d/big.bin big2.bin" 'grep -Eq "get $d/big\.bin: 8\.0 MiB in [0-9.]+ s, .*/s" tty.txt && same_file big.bin big2.bin'
tty_case ftp-progress-narrow 0 'stty cols 30;' "ftp get $F $d/big.bin big2.bin" \
  "grep -q MiB tty.txt && [ \$(tr '\r' '\n' < tty.txt | awk '{ if (length > m) m = length } END { print m + 0 }') -le 29 ]"
tty_case ftp-progress-quiet 0 '' "ftp get $F $d/big.bin big2.bin --quiet" '[ ! -s tty.txt ]'
tty_case ftp-progress-not-for-quick-transfers '' '' "ftp get $F $d/empty.txt e2.txt" '[ ! -s tty.txt ]'
run_table <<<'ftp-progress-not-without-terminal | 0 |  | ZKNET_PROGRESS_DELAY=0 ftp get $F $d/big.bin big3.bin'

# ---- ftp: Ctrl-C during a download goes to the library through the progress callback ----
truncate -s 1G "$ftp_home/$d/huge.bin"   # sparse: quick to make, read whole all the same
# A shell without job control starts its background commands with SIGINT ignored.
env --default-signal=INT "${tool[@]}" ftp get "$F" "$d/huge.bin" huge.bin </dev/null >"$out" 2>"$err" &
pid=$!
for _ in $(seq 500); do [ -s huge.bin ] && break; sleep 0.01; done
kill -INT "$pid"
wait "$pid"; status=$?
check ftp-get-cancelled '[ $status -eq 130 ] && [ "$(cat "$err")" = "zknet: ftp get: cancelled; huge.bin holds what had arrived" ]'
check ftp-get-cancelled-early '[ "$(stat -c %s huge.bin)" -lt 1073741824 ]'
rm -f huge.bin "$ftp_home/$d/huge.bin"

# ---- ftp and telnet: failures, with the library's code and the server's words; wrong command
# lines (nothing is sent); the clean-up, which runs rm and rmdir ----
# A server that takes connections and never says a word.
setsid socat TCP4-LISTEN:2998,reuseaddr,fork SYSTEM:'sleep 30' </dev/null >/dev/null 2>&1 &
silent=$!
for _ in $(seq 50); do [ "$(ss -Hltn "sport = :2998" | wc -l)" -ge 1 ] && break; sleep 0.1; done
run_table <<'EOF'
ftp-wrong-password | 1 | ftp ls: code 6 \(login refused\): 530 Login incorrect\. | ZKNET_FTP_PASSWORD=wrong ftp ls $F
ftp-anonymous-refused | 1 | ftp ls: code 6 \(login refused\): 530 .* | -u ZKNET_FTP_USER -u ZKNET_FTP_PASSWORD ftp ls $F
ftp-get-missing | 1 | ftp get: code 11 \(file failed\): 550 .* | ftp get $F $d/none.txt | gone none.txt
ftp-put-missing-local | 1 | ftp put: cannot read local file no-such\.txt: .* | ftp put $F no-such.txt
ftp-put-folder | 1 | ftp put: cannot read local file dl: is a folder | ftp put $F dl
ftp-get-into-missing-folder | 1 | ftp get: cannot write no-folder/x\.txt: No such file or directory | ftp get $F $d/moved.txt no-folder/x.txt
ftp-mkdir-exists | 1 | ftp mkdir: code 9 \(MKD failed\): 550 .* | ftp mkdir $F $d
ftp-rmdir-not-empty | 1 | ftp rmdir: code 10 \(RMD failed\): 550 .* | ftp rmdir $F $d
ftp-rm-missing | 1 | ftp rm $d/none\.txt: code 11 \(file failed\): 550 .* | ftp rm $F $d/none.txt
ftp-mv-missing | 1 | ftp mv: code 11 \(file failed\): 550 .* | ftp mv $F $d/none.txt $d/x.txt
ftp-size-missing | 1 | ftp size: code 11 \(file failed\): 550 .* | ftp size $F $d/none.txt
ftp-date-missing | 1 | ftp date: code 11 \(file failed\): 550 .* | ftp date $F $d/none.txt
ftp-chmod-missing | 1 | ftp chmod: code (11 \(file failed\)|22 \(chmod failed\)): 550 .* | ftp chmod $F 644 $d/none.txt
ftp-closed-port | 1 | ftp ls: code 2 \(no connection\): zknet-test port 2999: socket error 10061 \(connection refused\) | ftp ls zknet-test:2999
ftp-unknown-host | 1 | ftp ls: code 2 \(no connection\): no-such-host\.invalid port 21: socket error 1100[0-9] .* | ftp ls no-such-host.invalid
ftp-timeout | 1 | ftp ls: gave up after 1 s \(--timeout\) | ftp ls 127.0.0.1:2998 --timeout 1
telnet-timeout | 1 | telnet: gave up after 1\.5 s \(--timeout\) | telnet 127.0.0.1:2998 --timeout 1.5
ftp-no-action | 2 | ftp: no action .* | ftp
ftp-unknown-action | 2 | ftp: unknown action fetch | ftp fetch $F
ftp-no-host | 2 | ftp get: no HOST | ftp get
ftp-too-few | 2 | ftp get: too few arguments | ftp get $F
ftp-too-many | 2 | ftp mv: too many arguments | ftp mv $F a b c
ftp-bad-port | 2 | ftp ls: bad port in zknet-test:0 .* | ftp ls zknet-test:0
ftp-bad-ipv6 | 2 | ftp ls: bad address \[::1 .* | ftp ls "[::1"
ftp-unknown-option | 2 | ftp: unknown option --bogus | ftp ls $F --bogus
ftp-option-value | 2 | ftp: --user needs a value | ftp ls $F --user
ftp-flag-value | 2 | ftp: --active takes no value | ftp ls $F --active=yes
ftp-bad-mode | 2 | ftp chmod: bad mode 999 .* | ftp chmod $F 999 x
ftp-bad-timeout | 2 | ftp ls: bad --timeout soon | ftp ls $F --timeout soon
ftp-put-stdin-no-remote | 2 | ftp put: name the remote file for standard input | ftp put $F -
ftp-get-no-name | 2 | ftp get: no file name in $d/; name the local file | ftp get $F $d/
ftp-password-env-unset | 2 | ftp ls: environment variable ZK_UNSET_VAR is not set \(--password-env\) | ftp ls $F --password-env ZK_UNSET_VAR
ftp-no-password | 2 | ftp ls: no password for zkftp: .* | -u ZKNET_FTP_PASSWORD ftp ls $F
ftp-rm | 0 |  | ftp rm $F $d/moved.txt $d/bytes.bin $d/empty.txt $d/big.bin $d/stdin.bin $d-top.txt | [ -z "$(ls -A "$ftp_home/$d")" ] && gone "$ftp_home/$d-top.txt"
ftp-rmdir | 0 |  | ftp rmdir $F $d | gone "$ftp_home/$d"
telnet-run | 0 | line 1\nline 2\nline 3\nworking\ndone\nzkuser | telnet $T --login zkuser --prompt 'zk$' --run 'lines 3' --run pause --run whoami
telnet-ipv6-password-env | 0 | hi there | -u ZKNET_TELNET_PASSWORD ZK_SECRET=zkpass telnet "[::1]:2323" --login zkuser --password-env ZK_SECRET --prompt 'zk$' --run 'echo hi there'
telnet-shift-jis | 0 | 日本語 | telnet $T -6 --login zkuser --prompt 'zk$' --run nihon
telnet-login-only | 0 | Welcome to zknet-test | telnet $T --login zkuser --prompt 'zk$'
# The host's first words, up to the trailing blank, with no --login.
telnet-first-text | 0 | login:  | telnet $T
telnet-wrong-password | 1 | telnet login: code 10 \(prompt not found\): Login incorrect \| login: | ZKNET_TELNET_PASSWORD=wrong telnet $T --login zkuser --prompt 'zk$' --run whoami
telnet-closed-port | 1 | telnet connect: code 1 \(not connected\): zknet-test port 2999.* | telnet zknet-test:2999 --login zkuser --prompt 'zk$'
telnet-no-host | 2 | telnet: no HOST | telnet --login zkuser --prompt 'zk$'
telnet-two-hosts | 2 | telnet: one HOST only; commands go with --run | telnet $T whoami
telnet-no-prompt | 2 | telnet: --prompt is needed .* | telnet $T --login zkuser --run whoami
telnet-empty-prompt | 2 | telnet: --prompt cannot be empty | telnet $T --login zkuser --prompt ''
telnet-no-password | 2 | telnet: no password: .* | -u ZKNET_TELNET_PASSWORD telnet $T --login zkuser --prompt 'zk$'
# Passwords never go on a command line others can read.
telnet-password-option | 2 | telnet: unknown option --password | telnet $T --login zkuser --password zkpass --prompt 'zk$'
EOF
kill -- "-$silent" 2>/dev/null

# ---- nic ----
receive_one 192.0.2.255 7 wake7.bin
receive_one 192.0.2.255 9 wake9.bin
run_table <<'EOF'
nic-list | 0 | * | nic list | grep -Eq "^adapter [0-9]+  $local_mac\$" "$out" && ! grep -Evq '^adapter [0-9]+  ([0-9a-f]{2}:){5}[0-9a-f]{2}$' "$out"
nic-arp | 0 | $peer_mac | nic arp 198.51.100.2
nic-arp-no-answer | 1 | nic arp: no answer from 198\.51\.100\.9 .* | nic arp 198.51.100.9
nic-arp-unknown-name | 1 | nic arp: no IPv4 address for no-such-host\.invalid | nic arp no-such-host.invalid
nic-wake | 0 | magic packet for $peer_mac sent to 192.0.2.255 port 7 | nic wake $peer_mac --broadcast 192.0.2.255 | received wake7.bin $peer_mac
nic-wake-port | 0 |  | nic wake 02-5A-4B-00-00-02 --broadcast 192.0.2.255 --port 9 --quiet | received wake9.bin $peer_mac
nic-no-action | 2 | nic: no action \(list, arp, wake\) | nic
nic-unknown-action | 2 | nic: unknown action scan | nic scan
nic-arp-no-address | 2 | nic arp: give one ADDRESS | nic arp
nic-bad-mac | 2 | nic wake: bad MAC address 02:5a:4b:00:00 .* | nic wake 02:5a:4b:00:00
nic-bad-port | 2 | nic wake: bad --port 70000 .* | nic wake $peer_mac --port 70000
nic-port-without-wake | 2 | nic list: --broadcast and --port go with wake | nic list --port 9
EOF

# ---- mail: a POP3 mailbox the test fills, Postfix for sending, stored messages ----
[ -n "${ZK_MAIL_WORK:-}" ] && [ -d "$box/new" ] || { echo "skipped the mail part: no mail fixture (ZK_MAIL_WORK)"; finish; }
printf 'From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: plain subject\nDate: Tue, 15 Nov 1994 08:12:31 +0900\nContent-Transfer-Encoding: 7bit\n\nhello\n.a line that begins with a period\n' > m1.eml
printf 'From: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@zknet-test>\nTo: zktool@zknet-test\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n\033$BF|K\\8l$NK\\J8$G$9!#\033(B\n\033$BFs9TL\\\033(B\n' > m2.eml
printf 'From: b@zknet-test\nSubject: attached\nContent-Transfer-Encoding: base64\n\naGVsbG8=\n' > m3.eml
s1=$(crlf m1.eml | wc -c) s2=$(crlf m2.eml | wc -c) s3=$(crlf m3.eml | wc -c)
fill_box m1.eml m2.eml m3.eml
printf '本文の一行目、四十バイトで折り返される長さの日本語の文章です。\n.点で始まる行\n' > body.txt
printf 'from standard input\n' > stdin.txt
body_files ''
ca=$ZK_MAIL_WORK/certs/ca.pem
run_table <<'EOF'
mail-list | 0 | 1\t$s1\n2\t$s2\n3\t$s3 | mail list --pop3 $P
mail-list-headers-ipv6 | 0 | 1\t$s1\tAlice <alice@zknet-test>\tplain subject\n2\t$s2\t山田太郎 <taro@zknet-test>\t日本語\n3\t$s3\tb@zknet-test\tattached | mail list --pop3 "[::1]:2110" --headers
mail-get | 0 | $(cat m1.eml) | mail get --pop3 $P 1 -6
mail-save | 0 |  | mail save --pop3 $P 2 mailbox | cmp -s mailbox/2.eml <(crlf m2.eml)
mail-save-named | 0 |  | mail save --pop3 $P 3 --name 添付 | cmp -s 添付.eml <(crlf m3.eml)
mail-show | 0 | From: 山田太郎 <taro@zknet-test>\nTo: zktool@zknet-test\nSubject: 日本語\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n日本語の本文です。\n二行目 | mail show mailbox/2.eml
mail-show-lf-file | 0 | From: Alice <alice@zknet-test>\nTo: zktool@zknet-test\nSubject: plain subject\nDate: Tue, 15 Nov 1994 08:12:31 +0900\nDate read as: 1994-11-15 08:12:31\nContent-Transfer-Encoding: 7bit\n\nhello\n.a line that begins with a period | mail show m1.eml
mail-show-base64 | 0 | From: b@zknet-test\nSubject: attached\nContent-Transfer-Encoding: base64\n\n(the body is not shown: its transfer encoding is not 7bit) | mail show 添付.eml
# Deletion takes effect when the session ends: the next one sees the rest.
mail-rm | 0 |  | mail rm --pop3 $P 1 3
mail-rm-gone | 0 | 1\t$s2 | mail list --pop3 $P
# The protocol trace: -v on standard error, ZKNET_TRACE into a file; the password masked.
trace-verbose | 0 | * | -v mail list --pop3 $P | grep -qE '^ *[0-9]+ POP3 #[0-9]+ > PASS [*]{4}$' "$err" && ! grep -q zktool-pass "$err"
trace-environment | 0 | 1\t$s2 | ZKNET_TRACE=$work/trace.txt mail list --pop3 $P | grep -qE '^ *[0-9]+ POP3 #1 > USER zktool$' "$work/trace.txt"
# Sent through Postfix, folded at --width, then found in zkmail's mailbox below.
mail-send | 0 |  | "${send[@]}" --subject "ツールの件名 $$" --body-file body.txt --width 40
mail-send-stdin | 0 |  | stdin=stdin.txt mail send --smtp "[::1]:2525" --from "<$tag-stdin@zknet-test>" --to "<zkmail@zknet-test>" --subject "stdin $$"
# Body files: UTF-8 with and without the byte order mark, Shift_JIS told with --charset ansi and found without it.
mail-send-body-u8 | 0 |  | "${send[@]}" --subject "charset u8 $$" --body-file u8.txt
mail-send-body-bom | 0 |  | "${send[@]}" --subject "charset bom $$" --body-file bom.txt
mail-send-body-ansi | 0 |  | "${send[@]}" --subject "charset ansi $$" --body-file sjis.txt --charset ansi
mail-send-body-sjis | 0 |  | "${send[@]}" --subject "charset sjis $$" --body-file sjis.txt
mail-send-lost-warning | 0 | * | "${send[@]}" --subject "charset lost $$" --body-file lost.txt | [ ! -s "$out" ] && [ "$(cat "$err")" = "$lost_warning" ]
EOF
await_mail 7 "	(ツールの件名|stdin|charset [a-z0-9]*) $$\$"
number=$(number_of "ツールの件名 $$")
check mail-send-delivered '[ -n "$number" ]'
for name in u8 bom ansi sjis; do delivered $name "$(cat u8.txt)"; done
delivered lost 'smile ?'
run_table <<'EOF'
mail-save-sent | 0 |  | -u ZKNET_POP3_PASSWORD ZKNET_POP3_USER=zkmail ZK_SECRET=zkmail-pass mail save --pop3 $P ${number:-1} mailbox --name sent --password-env ZK_SECRET
# Folded at 40 bytes: 20 double-byte characters a line.
mail-show-sent | 0 | * | mail show mailbox/sent.eml | grep -qx "Subject: ツールの件名 $$" "$out" && [ "$(tail -n 3 "$out")" = "$(printf '本文の一行目、四十バイトで折り返される長\nさの日本語の文章です。\n.点で始まる行')" ]
# The stored message sent again as it is, to the addresses its own header names.
mail-send-eml | 0 |  | mail send --smtp $S --eml mailbox/sent.eml --helo zknet-test
# As a provider's user: the submission port with STARTTLS and a login, POP3 over TLS.
mail-send-submission | 0 |  | ZKNET_SMTP_PASSWORD=zkmail-pass mail send --smtp zknet-test:2587 --tls --cacert "$ca" --user zkmail --from "<$tag-tls@zknet-test>" --to "<someone@elsewhere.example>" --body-file body.txt
mail-list-pop3s | 0 | 1\t$s2 | ZK_TOKEN=zktool-pass mail list --pop3 zknet-test:2995 --tls-implicit --cacert "$ca" --password-env ZK_TOKEN
mail-list-stls | 0 | 1\t$s2 | ZKNET_CACERT="$ca" mail list --pop3 zknet-test:2112 --tls
mail-send-submission-anonymous | 1 | mail send: code 10 \(RCPT TO failed\): 554 5\.7\.1 .* | mail send --smtp zknet-test:2587 --tls --cacert "$ca" --from "<a@zknet-test>" --to "<b@elsewhere.example>" --body-file body.txt
mail-send-wrong-password | 1 | mail send connect: code 32 \(authentication failed\): 535 5\.7\.8 .* | ZKNET_SMTP_PASSWORD=wrong mail send --smtp zknet-test:2465 --tls-implicit --cacert "$ca" --user zkmail --from a --to b --body-file body.txt
mail-send-login-in-clear | 1 | mail send connect: code 32 \(authentication failed\): AUTH: credentials are not sent over a connection without TLS | ZKNET_SMTP_PASSWORD=zkmail-pass mail send --smtp $S --user zkmail --from a --to b --body-file body.txt
mail-send-untrusted | 1 | mail send connect: code 31 \(certificate refused\): TLS: .* | ZKNET_SMTP_PASSWORD=zkmail-pass mail send --smtp zknet-test:2587 --tls --user zkmail --from a --to b --body-file body.txt
mail-token-and-password | 2 | mail list: --password-env or --oauth2-token-env, not both | mail list --pop3 $P --password-env A --oauth2-token-env B
# Failures, with the library's code and the server's words.
mail-wrong-password | 1 | mail list: code 6 \(login refused\): -ERR \[AUTH\] Authentication failed\. | ZKNET_POP3_PASSWORD=wrong mail list --pop3 $P
mail-get-missing | 1 | mail get: message 9 not retrieved: -ERR There's no message 9\. | mail get --pop3 $P 9
mail-rm-missing | 1 | mail rm 9: not deleted: -ERR There's no message 9\. | mail rm --pop3 $P 9
mail-save-no-folder | 1 | mail save: code 12 \(no folder\): no folder no-such | mail save --pop3 $P 1 no-such
mail-save-missing | 1 | mail save: message 9 not retrieved: -ERR There's no message 9\. | mail save --pop3 $P 9 mailbox
mail-send-refused | 1 | mail send: code 10 \(RCPT TO failed\): 550 5\.1\.1 .*User unknown.* | mail send --smtp $S --from "<$tag@zknet-test>" --to "<nobody-here@zknet-test>" --body-file body.txt
mail-send-eml-no-to | 1 | mail send: not sent: m3\.eml is empty, unreadable or lacks From or To | mail send --smtp $S --eml m3.eml
mail-send-eml-no-brackets | 1 | mail send: code 10 \(RCPT TO failed\): 501 .* | mail send --smtp $S --eml mailbox/2.eml
mail-send-closed-port | 1 | mail send connect: code 2 \(no connection\): zknet-test port 2999: socket error 10061 \(connection refused\) | mail send --smtp zknet-test:2999 --from "<a@x>" --to "<b@y>" --body-file body.txt
mail-send-no-body-file | 1 | mail send: cannot read body file none\.txt: .* | mail send --smtp $S --from "<a@x>" --to "<b@y>" --body-file none.txt
mail-show-missing | 1 | mail show: cannot read none\.eml: .* | mail show none.eml
# Wrong command lines (nothing is sent).
mail-no-action | 2 | mail: no action \(send, list, get, save, rm, show\) | mail
mail-unknown-action | 2 | mail: unknown action fetch | mail fetch
mail-no-pop3 | 2 | mail list: --pop3 HOST\[:PORT\] is needed | mail list
mail-no-smtp | 2 | mail send: --smtp HOST\[:PORT\] is needed | mail send --from a --to b
mail-no-from | 2 | mail send: --from is needed | mail send --smtp $S --to b
mail-bad-width | 2 | mail send: bad --width 0 \(1 to 100000\) | mail send --smtp $S --from a --to b --width 0
mail-bad-charset | 2 | mail send: bad --charset latin1 \(utf-8 or ansi\) | mail send --smtp $S --from a --to b --charset latin1
mail-eml-and-from | 2 | mail send: --from does not go with --eml | mail send --smtp $S --eml x.eml --from a
mail-option-elsewhere | 2 | mail get: --headers does not go with get | mail get --pop3 $P 1 --headers
mail-bad-number | 2 | mail get: bad message number x1 | mail get --pop3 $P x1
mail-too-many | 2 | mail get: too many arguments | mail get --pop3 $P 1 2
mail-show-no-file | 2 | mail show: too few arguments | mail show
mail-password-option | 2 | mail: unknown option --password | mail list --pop3 $P --password x
mail-no-user | 2 | mail list: no user: give --user or set ZKNET_POP3_USER | -u ZKNET_POP3_USER mail list --pop3 $P
mail-no-password | 2 | mail list: no password for zktool: .* | -u ZKNET_POP3_PASSWORD mail list --pop3 $P
EOF
finish
