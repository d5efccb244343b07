#!/usr/bin/env bash
# Checks that the built library exports exactly the library's 132 ZK_ names and those added beside
# them (ZK_SocketGetLastError, ZK_FtpGetFileSize64A/W, ZK_FtpConnectSecureA/W,
# ZK_MailConnectSmtpSecureA/W, ZK_MailConnectPop3SecureA/W, ZK_TraceToFileA/W, ZK_FtpSetProgressCallback,
# ZK_MailSetProgressCallback), undecorated, as
# the .def file lists them, and nothing else.
set -euo pipefail
lib=$1
def=$2
# The whole interface, by family: a name missing from the .def or from the library fails here.
all_names=(
  # ZK_Socket (35)
  ZK_SocketInit ZK_SocketTerm ZK_SocketOpen ZK_SocketOpenClientA ZK_SocketOpenClientW
  ZK_SocketConnectClientA ZK_SocketConnectClientW ZK_SocketOpenServer ZK_SocketConnectServer
  ZK_SocketAccept ZK_SocketClose ZK_SocketSend ZK_SocketSendOne ZK_SocketSendString ZK_SocketRecv
  ZK_SocketRecvOne ZK_SocketRecvStringLine ZK_SocketRecvString ZK_SocketDeleteString
  ZK_SocketGetAddressInfoA ZK_SocketGetAddressInfoW ZK_SocketGetAddressInfoExA
  ZK_SocketGetAddressInfoExW ZK_SocketGetHostNameA ZK_SocketGetHostNameW ZK_SocketGetHostNameExA
  ZK_SocketGetHostNameExW ZK_SocketGetIPAddress ZK_SocketGetIPAddressV6 ZK_SocketSendBroadcastA
  ZK_SocketSendBroadcastW ZK_SocketEditMStringA ZK_SocketEditMStringW ZK_SocketDeleteMStringA
  ZK_SocketDeleteMStringW
  # ZK_Ftp (33)
  ZK_FtpConnectA ZK_FtpConnectW ZK_FtpDisconnect ZK_FtpQueryLastErrorCode ZK_FtpClearLastErrorCode
  ZK_FtpQueryLastResponseMessageA ZK_FtpQueryLastResponseMessageW ZK_FtpGetFileA ZK_FtpGetFileW
  ZK_FtpPutFileA ZK_FtpPutFileW ZK_FtpSetDirectoryA ZK_FtpSetDirectoryW ZK_FtpCreateDirectoryA
  ZK_FtpCreateDirectoryW ZK_FtpDeleteDirectoryA ZK_FtpDeleteDirectoryW ZK_FtpRenameFileA
  ZK_FtpRenameFileW ZK_FtpDeleteFileA ZK_FtpDeleteFileW ZK_FtpGetFileSizeA ZK_FtpGetFileSizeW
  ZK_FtpGetFileDateA ZK_FtpGetFileDateW ZK_FtpListFileA ZK_FtpListFileW ZK_FtpGetDirectoryA
  ZK_FtpGetDirectoryW ZK_FtpGetPermissionA ZK_FtpGetPermissionW ZK_FtpSetPermissionA
  ZK_FtpSetPermissionW
  # ZK_Mail (43)
  ZK_MailQueryLastErrorCode ZK_MailClearLastErrorCode ZK_MailQueryLastResponseMessageA
  ZK_MailQueryLastResponseMessageW ZK_MailDisconnectSmtp ZK_MailConnectSmtpA ZK_MailConnectSmtpW
  ZK_MailSendA ZK_MailSendW ZK_MailSetXMailerA ZK_MailSetXMailerW ZK_MailSetContentTypeA
  ZK_MailSetContentTypeW ZK_MailJustifiedText ZK_MailSendFromFileA ZK_MailSendFromFileW
  ZK_MailConnectPop3A ZK_MailConnectPop3W ZK_MailDisconnectPop3 ZK_MailBoxA ZK_MailBoxW
  ZK_MailListFreeA ZK_MailListFreeW ZK_MailDelete ZK_MailRecv ZK_MailRecvFree ZK_MailRecvToFileA
  ZK_MailRecvToFileW ZK_MailGetHeaderA ZK_MailGetHeaderW ZK_MailGetHeaderTagA ZK_MailGetHeaderTagW
  ZK_MailGetFromA ZK_MailGetFromW ZK_MailGetSubjectA ZK_MailGetSubjectW ZK_MailGetContentTypeA
  ZK_MailGetContentTypeW ZK_MailGetTransferEncodeA ZK_MailGetTransferEncodeW ZK_MailGetDate
  ZK_MailGetBodyA ZK_MailGetBodyW
  # ZK_Telnet (17)
  ZK_TelnetConnectA ZK_TelnetConnectW ZK_TelnetDisconnect ZK_TelnetQueryLastErrorCode
  ZK_TelnetClearLastErrorCode ZK_TelnetQueryLastResponseMessageA ZK_TelnetQueryLastResponseMessageW
  ZK_TelnetLoginA ZK_TelnetLoginW ZK_TelnetCommandSendA ZK_TelnetCommandSendW ZK_TelnetCommandRecvA
  ZK_TelnetCommandRecvW ZK_TelnetSearchStringA ZK_TelnetSearchStringW ZK_TelnetDelListA
  ZK_TelnetDelListW
  # ZK_Nic (4)
  ZK_NicSendMagicPacket ZK_NicGetNicNumber ZK_NicGetMacAddress ZK_NicResolveAddress
  # the socket layer's error query, beside the 132
  ZK_SocketGetLastError
  # the FTP size query for files of any size, and FTPS connects, beside the 132
  ZK_FtpGetFileSize64A ZK_FtpGetFileSize64W ZK_FtpConnectSecureA ZK_FtpConnectSecureW
  # the mail secure connects (TLS and authentication), beside the 132
  ZK_MailConnectSmtpSecureA ZK_MailConnectSmtpSecureW ZK_MailConnectPop3SecureA ZK_MailConnectPop3SecureW
  # the protocol trace
  ZK_TraceToFileA ZK_TraceToFileW
  # progress reports and cancelling
  ZK_FtpSetProgressCallback ZK_MailSetProgressCallback
)
complete=$(printf '%s\n' "${all_names[@]}" | sort -u)
if [ "$(echo "$complete" | wc -l)" -ne 145 ]; then
  echo "the full list holds $(echo "$complete" | wc -l) names, not 145"
  exit 1
fi
expected=$(grep -oE '^[[:space:]]+ZK_[A-Za-z0-9]+' "$def" | tr -d '[:blank:]' | sort -u)
if [ "$expected" != "$complete" ]; then
  echo "the .def file differs from the library's full list of names (< full list, > .def):"
  diff <(echo "$complete") <(echo "$expected") || true
  exit 1
fi
# "name address" lines for every export.
case "$lib" in
  *.dll)
    objdump=${ZK_OBJDUMP:-i686-w64-mingw32-objdump}
    # The name table gives each name's index into the address table, which gives its address.
    table=$("$objdump" -p "$lib" | awk '
      /^Export Address Table --/ { mode = 1; next }
      /^\[Ordinal\/Name Pointer\] Table/ { mode = 2; next }
      /^$/ { mode = 0 }
      mode == 1 && /Export RVA/ { gsub(/[\[\]]/, " "); rva[$1] = $4 }
      mode == 2 { gsub(/[\[\]]/, " "); print $2, rva[$1] }')
    ;;
  *)
    table=$(nm -D --defined-only "$lib" | awk '$3 != "ZKNET_1" { sub(/@.*/, "", $3); print $3, $1 }')
    ;;
esac
actual=$(echo "$table" | awk '{print $1}' | grep . | sort -u)
if [ "$expected" != "$actual" ]; then
  echo "exported names differ from the .def file:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
# Names given as "alias = name" in the .def are one entry under two names.
address_of() { echo "$table" | awk -v n="$1" '$1 == n {print $2}'; }
while read -r alias target; do
  if [ -z "$(address_of "$alias")" ] || [ "$(address_of "$alias")" != "$(address_of "$target")" ]; then
    echo "$alias is not the same entry as $target"
    exit 1
  fi
done < <(sed -nE 's/^[[:space:]]+(ZK_[A-Za-z0-9]+)@[0-9]+[[:space:]]*=[[:space:]]*(ZK_[A-Za-z0-9]+)@[0-9]+.*/\1 \2/p' "$def")
# The DLL must load on a bare Windows: it may import system DLLs only, no compiler runtime.
case "$lib" in
  *.dll)
    foreign=$("$objdump" -p "$lib" | sed -n 's/^[[:space:]]*DLL Name: //p' |
              grep -viE '^(kernel32|ws2_32|msvcrt|netapi32|iphlpapi|user32|advapi32|ntdll|secur32|crypt32)\.dll$' || true)
    if [ -n "$foreign" ]; then
      echo "the DLL depends on non-system DLLs: $foreign"
      exit 1
    fi
    ;;
esac
echo "exports: all $(echo "$actual" | wc -l) names of the library, as the .def file lists them, aliases shared"
