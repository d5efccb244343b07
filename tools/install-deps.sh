#!/usr/bin/env bash
# Installs what building and testing zknet needs on Debian 12, once: compilers for every build,
# Wine for the Windows tests, GoogleTest and Google Benchmark, clang for the fuzzers, LLVM's tools
# for the Visual Studio import libraries, and the real servers the tests talk to. Does nothing
# when everything is there already. 32-bit Wine is installed only where a 32-bit program can start
# (tools/can-run-32bit.sh); elsewhere the 32-bit DLL is built and checked, and its tests are left to
# 64-bit Wine's sibling build.
#
# A package counts as there only when dpkg calls it "install ok installed" (one removed with its
# configuration left behind is installed again). Debian's FTP servers conflict with each other,
# and so do its mail servers: when installing what is missing would remove an installed package
# (one of them, say, that this computer serves with), the script names it and stops, exit status
# 1, installing nothing. ZKNET_REPLACE_SERVERS=1 lets it go ahead and replace them.
set -euo pipefail

packages=(
  cmake make g++ pkg-config libgtest-dev googletest libbenchmark-dev libssl-dev openssl
  clang libclang-rt-14-dev
  # Visual Studio's side of the Windows builds: zknet.lib (llvm-dlltool), and clang-cl with
  # lld-link to build a caller against it.
  llvm lld
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
  # The .NET binding's test: Mono's C# compiler and runtime.
  mono-mcs mono-runtime
  locales iproute2 util-linux procps psmisc socat python3 curl acl
  vsftpd python3-pyftpdlib dovecot-pop3d mailutils-pop3d python3-aiosmtpd postfix inetutils-telnetd nkf
  # The Python binding's test: pip install into a throwaway venv offline, then pytest.
  python3-pytest python3-setuptools python3-venv python3-pip
  # What proftpd's binary needs: it is unpacked beside vsftpd (below), not installed.
  libacl1 libcap2 libcrypt1 libhiredis0.14 libidn2-0 libmemcached11 libmemcachedutil2 libncursesw6 libpam0g
  libpcre2-8-0 libpcre2-posix3 libssl3 libtinfo6 zlib1g libsodium23
)

here=$(cd "$(dirname "$0")" && pwd)
if bash "$here/can-run-32bit.sh"; then
  packages+=(wine wine32:i386)
fi
# The tool's manual page is checked by rendering it.
packages+=(groff-base)
# Free Pascal compiles the Pascal binding and its example (tests pascal and pascal-run).
packages+=(fp-compiler)

missing=()
for p in "${packages[@]}"; do
  # One line per architecture a library is there for (amd64 and i386 beside Wine).
  status=$(dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null || true)
  grep -qx 'install ok installed' <<< "$status" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Package scripts must not start the servers: the tests start their own, in a private network.
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' > /usr/sbin/policy-rc.d
    chmod +x /usr/sbin/policy-rc.d
    trap 'rm -f /usr/sbin/policy-rc.d' EXIT
  fi
  if [[ " ${missing[*]} " == *":i386 "* ]]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  fi
  # Postfix asks how to set itself up: not at all (the mail tests start it with a configuration
  # of their own, tests/mail/start.sh).
  if [[ " ${missing[*]} " == *" postfix "* ]]; then
    echo "postfix postfix/main_mailer_type select No configuration" | debconf-set-selections
  fi
  apt-get update -q
  # Installs, unless apt would remove installed packages on the way (its simulation says "Remv").
  install_missing() {
    local removed
    removed=$(apt-get -s install -y -q --no-install-recommends "$@" | awk '$1 == "Remv" {print $2}' | tr '\n' ' ')
    if [ -n "$removed" ] && [ "${ZKNET_REPLACE_SERVERS:-}" != 1 ]; then
      echo "installing ${missing[*]} would remove ${removed% }, installed here;" \
           "stopped (ZKNET_REPLACE_SERVERS=1 lets it replace them)" >&2
      exit 1
    fi
    apt-get install -y -q --no-install-recommends "$@"
  }
  if ! install_missing "${missing[@]}"; then
    # Mixed i386/amd64 versions can make the plain install fail; the release's own set fits.
    install_missing -t bookworm "${missing[@]}"
  fi
fi

# proftpd, the third FTP server of the tests, conflicts with vsftpd as a package: its files are
# unpacked into a folder of their own instead (tests/ftp/start.sh runs it from there).
# Its TLS module (mod_tls, for the FTPS tests) comes unpacked beside it.
proftpd_root=/opt/zknet-peers/proftpd
if [ ! -x "$proftpd_root/usr/sbin/proftpd" ] || [ ! -f "$proftpd_root/usr/lib/proftpd/mod_tls.so" ]; then
  echo "unpacking proftpd into $proftpd_root"
  unpack=$(mktemp -d)
  chmod 755 "$unpack"  # apt fetches as its own user
  fetch() { ( cd "$unpack" && apt-get download proftpd-core proftpd-mod-crypto >/dev/null ); }
  fetch || { apt-get update -q && fetch; }
  mkdir -p "$proftpd_root"
  for deb in "$unpack"/*.deb; do dpkg -x "$deb" "$proftpd_root"; done
  rm -rf "$unpack"
fi

# The Windows tests run with code page 932, which Wine takes from the Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
