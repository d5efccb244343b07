#!/usr/bin/env bash
# make-certs.sh -- the certificates the TLS tests use, made afresh with openssl (none is ever
# checked in): a test CA, and signed by it a server certificate for zknet-test, 127.0.0.1 and ::1,
# one for another host, one that has expired; and a self-signed one for zknet-test.
# Usage: make-certs.sh FOLDER   (writes ca.pem, server.pem, other.pem, expired.pem,
#                                self-signed.pem, each certificate followed by its key in *.key)
set -euo pipefail
out=${1:?usage: make-certs.sh FOLDER}
mkdir -p "$out"
cd "$out"
# Made once per folder; a run that finds them complete keeps them.
[ -s ca.pem ] && [ -s server.pem ] && [ -s other.pem ] && [ -s expired.pem ] && [ -s self-signed.pem ] && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
quiet() { "$@" >/dev/null 2>&1 || { echo "make-certs.sh: $* failed" >&2; "$@"; exit 1; }; }

key() { quiet openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1"; }

key ca.key
# Each folder's CA has a name and serial numbers of its own: the test suites make several CAs, and
# a certificate store that took two of them (or two of their certificates) for one another would
# judge a chain by the wrong key.
tag=$(openssl rand -hex 4)
quiet openssl req -x509 -new -key ca.key -sha256 -days 3650 -subj "/CN=zknet test CA $tag" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" -out ca.pem

# A certificate signed by the test CA: name, subject alternative names, validity (days, or the
# start and end as openssl ca takes them).
signed() {
  local name=$1 san=$2 start=${3:-} end=${4:-}
  key "$name.key"
  quiet openssl req -new -key "$name.key" -subj "/CN=$name" -out "$work/$name.csr"
  cat > "$work/ca.cnf" <<CNF
[ca]
default_ca = test
[test]
database = $work/index
new_certs_dir = $work
serial = $work/serial
default_md = sha256
policy = any
copy_extensions = none
unique_subject = no
[any]
commonName = supplied
[server]
basicConstraints = CA:FALSE
keyUsage = digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = $san
CNF
  : > "$work/index"
  [ -f "$work/serial" ] || echo "$(openssl rand -hex 6)" > "$work/serial"
  local validity=(-days 825)
  [ -n "$start" ] && validity=(-startdate "$start" -enddate "$end")
  quiet openssl ca -batch -config "$work/ca.cnf" -extensions server -cert ca.pem -keyfile ca.key \
    "${validity[@]}" -in "$work/$name.csr" -out "$name.pem" -notext
}

signed server "DNS:zknet-test,IP:127.0.0.1,IP:::1"
signed other "DNS:other-host.example"
signed expired "DNS:zknet-test,IP:127.0.0.1,IP:::1" 20200101000000Z 20210101000000Z

key self-signed.key
quiet openssl req -x509 -new -key self-signed.key -sha256 -days 825 -subj "/CN=zknet-test" \
  -addext "subjectAltName=DNS:zknet-test,IP:127.0.0.1,IP:::1" -out self-signed.pem
chmod 644 ./*.pem ./*.key
echo "certificates in $out"
