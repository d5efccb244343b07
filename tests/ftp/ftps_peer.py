#!/usr/bin/python3
"""ftps_peer.py -- a small FTPS server for what real servers will not do: certificates that must be
refused, TLS handshakes that stall or are garbage, and a data connection closed in the middle of a
TLS record. One listener per case, on consecutive ports from FIRST_PORT (IPv4 and IPv6):

  +0 other       AUTH TLS, then a certificate for another host
  +1 expired     AUTH TLS, then an expired certificate
  +2 selfsigned  AUTH TLS, then a self-signed certificate; with it a whole login and PBSZ/PROT
  +3 stall       AUTH TLS answered 234, then nothing: the handshake never comes
  +4 garbage     AUTH TLS answered 234, then bytes that are no TLS
  +5 cut         a whole secure login; a download's data connection ends inside a TLS record

Every command line each connection received is appended to LOG_FOLDER/<case>.log (one per line,
"--" before each connection), so a test can see what the client sent.
Usage: ftps_peer.py FIRST_PORT CERT_FOLDER LOG_FOLDER"""
import os
import socket
import ssl
import sys
import threading

CASES = ["other", "expired", "selfsigned", "stall", "garbage", "cut"]
LIMIT = 30  # seconds any wait of the peer may take
PAYLOAD = b"0123456789" * 2000  # a download's data: more than one TLS record


class Control:
    """A control connection: lines in (read in blocks), replies out, optionally over TLS."""

    def __init__(self, conn, log_path):
        self.conn = conn
        self.buffer = b""
        self.log_path = log_path
        self.log("--")

    def log(self, line):
        with open(self.log_path, "a", encoding="latin-1") as f:
            f.write(line + "\n")

    def reply(self, text):
        self.conn.sendall(text.encode("latin-1") + b"\r\n")

    def line(self):
        while b"\n" not in self.buffer:
            chunk = self.conn.recv(4096)
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        text = line.rstrip(b"\r").decode("latin-1")
        self.log(text)
        return text


def context(cert_folder, name):
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.minimum_version = ssl.TLSVersion.TLSv1_2
    ctx.load_cert_chain(os.path.join(cert_folder, name + ".pem"), os.path.join(cert_folder, name + ".key"))
    return ctx


def passive_listener(family):
    listener = socket.socket(family, socket.SOCK_STREAM)
    listener.bind(("::1" if family == socket.AF_INET6 else "127.0.0.1", 0))
    listener.listen(1)
    listener.settimeout(LIMIT)
    return listener


def secure_login(c, ctx):
    """AUTH TLS, the handshake, then USER, PASS, PBSZ and PROT answered as a server would."""
    if c.line() != "AUTH TLS":
        return False
    c.reply("234 Proceed with negotiation.")
    c.conn = ctx.wrap_socket(c.conn, server_side=True)
    for expected, answer in (("USER", "331 Password please."), ("PASS", "230 Logged in."),
                             ("PBSZ", "200 PBSZ=0"), ("PROT", "200 Protection set to Private.")):
        line = c.line()
        if line is None or not line.startswith(expected):
            return False
        c.reply(answer)
    return True


def serve_cut(c, ctx, family):
    """TYPE, SIZE, TYPE, EPSV/PASV, RETR: the data goes out over TLS, then the connection ends
    inside the next record (its first bytes sent, the rest never)."""
    listener = None
    data = None
    while True:
        line = c.line()
        if line is None:
            break
        verb = line.split(" ", 1)[0].upper()
        if verb == "TYPE":
            c.reply("200 Type set.")
        elif verb == "SIZE":
            c.reply("213 %d" % (len(PAYLOAD) * 2))
        elif verb in ("EPSV", "PASV"):
            listener = passive_listener(family)
            port = listener.getsockname()[1]
            if verb == "EPSV":
                c.reply("229 Entering Extended Passive Mode (|||%d|)" % port)
            else:
                c.reply("227 Entering Passive Mode (127,0,0,1,%d,%d)" % (port // 256, port % 256))
        elif verb == "RETR" and listener is not None:
            raw, _ = listener.accept()
            raw.settimeout(LIMIT)
            c.reply("150 Opening data connection.")
            # The records are made in memory, so that a record can be cut at a chosen byte.
            incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
            tls = ctx.wrap_bio(incoming, outgoing, server_side=True)
            while True:
                try:
                    tls.do_handshake()
                    break
                except ssl.SSLWantReadError:
                    raw.sendall(outgoing.read())
                    chunk = raw.recv(16384)
                    if not chunk:
                        return
                    incoming.write(chunk)
            raw.sendall(outgoing.read())
            tls.write(PAYLOAD)
            raw.sendall(outgoing.read())
            tls.write(PAYLOAD)
            record = outgoing.read()
            raw.sendall(record[: len(record) // 2])
            raw.close()
            c.reply("226 Transfer complete.")
        elif verb == "QUIT":
            c.reply("221 Bye.")
            break
        else:
            c.reply("502 Not here.")
    if listener is not None:
        listener.close()


def serve(case, conn, family, cert_folder, log_folder):
    conn.settimeout(LIMIT)
    c = Control(conn, os.path.join(log_folder, case + ".log"))
    try:
        c.reply("220 ftps peer (%s) ready." % case)
        if case in ("other", "expired", "selfsigned"):
            if secure_login(c, context(cert_folder, case.replace("selfsigned", "self-signed"))):
                while True:
                    line = c.line()
                    if line is None:
                        break
                    if line == "PWD":
                        c.reply('257 "/" is the current directory.')
                    else:
                        c.reply("221 Bye." if line == "QUIT" else "502 Not here.")
                    if line == "QUIT":
                        break
        elif case in ("stall", "garbage"):
            if c.line() == "AUTH TLS":
                c.reply("234 Proceed with negotiation.")
                if case == "garbage":
                    conn.sendall(b"this is no TLS record at all\r\n" * 4)
                # Until the client gives up and closes.
                while conn.recv(4096):
                    pass
        elif case == "cut":
            if secure_login(c, context(cert_folder, "server")):
                serve_cut(c, context(cert_folder, "server"), family)
    except (OSError, ssl.SSLError):
        pass
    finally:
        conn.close()


def listen(port, family, handle):
    listener = socket.socket(family, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    if family == socket.AF_INET6:
        listener.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
    listener.bind(("::" if family == socket.AF_INET6 else "0.0.0.0", port))
    listener.listen(16)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=handle, args=(conn, family), daemon=True).start()


def serve_cases(first_port, count, handle):
    """One listener per case on consecutive ports, IPv4 and IPv6; handle(case_index, conn, family)
    runs on a thread of its own for every connection. Never returns."""
    threads = []
    for i in range(count):
        for family in (socket.AF_INET, socket.AF_INET6):
            t = threading.Thread(target=listen, args=(first_port + i, family, lambda c, f, i=i: handle(i, c, f)),
                                 daemon=True)
            t.start()
            threads.append(t)
    for t in threads:
        t.join()


def main():
    first_port, cert_folder, log_folder = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    os.makedirs(log_folder, exist_ok=True)
    serve_cases(first_port, len(CASES), lambda i, conn, family: serve(CASES[i], conn, family, cert_folder, log_folder))


if __name__ == "__main__":
    main()
