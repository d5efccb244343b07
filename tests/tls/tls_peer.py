#!/usr/bin/python3
# tls_peer.py -- the TLS server the TLS seam's tests talk to: one process, one listener per case
# (IPv6 and IPv4 through the same socket), each connection on a thread of its own. The TLS runs
# over memory buffers, so that the peer decides which bytes go out and when: records split or
# several at a time, a record cut short, close_notify or a bare TCP close.
#
# After its handshake a TLS case greets with one line, "hello sni=NAME version=V resumed=0|1"
# (sni=- when the client sent no name), then answers command lines:
#   echo TEXT     TEXT back
#   records N     N lines "record I", each its own record, all in one send
#   bulk N        N bytes of a pattern (records of 16 KiB), in one send
#   split         one record "split-record" sent in three pieces, a pause between them
#   clean TEXT    TEXT, then close_notify, then the TCP close
#   bare TEXT     TEXT, then the TCP close without close_notify
#   cut TEXT      TEXT, then half of the next record, then the TCP close
# A client's close_notify is answered with the peer's own. Every read is bounded.
# Usage: tls_peer.py CERT_FOLDER FIRST_PORT   (the ports are FIRST_PORT + the offsets below)
import socket
import ssl
import sys
import threading
import time
import warnings

# The TLS 1.1 case names versions Python calls deprecated; that is its point.
warnings.filterwarnings("ignore", category=DeprecationWarning)

LIMIT = 30  # seconds any single wait may take

certs = sys.argv[1]
first_port = int(sys.argv[2])


def context(cert, lowest=ssl.TLSVersion.TLSv1_2, highest=ssl.TLSVersion.MAXIMUM_SUPPORTED, ciphers=None):
    c = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    c.minimum_version = lowest
    c.maximum_version = highest
    if ciphers:
        c.set_ciphers(ciphers)
    c.load_cert_chain(f"{certs}/{cert}.pem", f"{certs}/{cert}.key")

    def note_name(tls, name, _context):
        tls.zk_sni = name

    c.sni_callback = note_name
    return c


class Link:
    """One TLS connection over the socket, through memory buffers."""

    def __init__(self, sock, ctx):
        self.sock = sock
        self.incoming = ssl.MemoryBIO()
        self.outgoing = ssl.MemoryBIO()
        self.tls = ctx.wrap_bio(self.incoming, self.outgoing, server_side=True)
        self.tls.zk_sni = None
        self.text = b""

    def flush(self):
        data = self.outgoing.read()
        if data:
            self.sock.sendall(data)

    def fill(self):
        data = self.sock.recv(65536)
        if not data:
            self.incoming.write_eof()
            return False
        self.incoming.write(data)
        return True

    def handshake(self):
        while True:
            try:
                self.tls.do_handshake()
                self.flush()
                return
            except ssl.SSLWantReadError:
                self.flush()
                if not self.fill():
                    raise EOFError("closed in the handshake")

    def line(self):
        """The next line without its end; None at the client's end of the stream."""
        while b"\n" not in self.text:
            try:
                data = self.tls.read(65536)
            except ssl.SSLWantReadError:
                self.flush()
                if not self.fill():
                    return None
                continue
            except (ssl.SSLZeroReturnError, ssl.SSLEOFError):
                return None
            if not data:
                return None
            self.text += data
        line, _, self.text = self.text.partition(b"\n")
        return line.decode("ascii", "replace")

    def record(self, data):
        """The bytes of one record holding `data`, not sent."""
        self.tls.write(data)
        return self.outgoing.read()

    def answer_close(self):
        """close_notify in answer to the client's."""
        try:
            self.tls.unwrap()
        except ssl.SSLError:
            pass
        self.flush()

    def end(self):
        """Our side of the TCP connection ends; the client's close is awaited, so that nothing it
        sent meanwhile turns the close into a reset that could drop what we sent."""
        try:
            self.sock.shutdown(socket.SHUT_WR)
            while self.sock.recv(65536):
                pass
        except OSError:
            pass


def serve_tls(sock, ctx):
    link = Link(sock, ctx)
    try:
        link.handshake()
    except (ssl.SSLError, EOFError, OSError):
        return
    sni = link.tls.zk_sni or "-"
    resumed = 1 if link.tls.session_reused else 0
    link.sock.sendall(link.record(f"hello sni={sni} version={link.tls.version()} resumed={resumed}\n".encode()))
    while True:
        line = link.line()
        if line is None:
            link.answer_close()
            link.end()
            return
        word, _, rest = line.partition(" ")
        if word == "echo":
            link.sock.sendall(link.record(rest.encode() + b"\n"))
        elif word == "records":
            link.sock.sendall(b"".join(link.record(f"record {i}\n".encode()) for i in range(int(rest))))
        elif word == "bulk":
            size = int(rest)
            pattern = bytes(i % 251 for i in range(16384))
            pieces = [pattern[: min(16384, size - done)] for done in range(0, size, 16384)]
            link.sock.sendall(b"".join(link.record(p) for p in pieces))
        elif word == "split":
            record = link.record(b"split-record\n")
            third = len(record) // 3
            for piece in (record[:third], record[third:2 * third], record[2 * third:]):
                link.sock.sendall(piece)
                time.sleep(0.1)
        elif word == "clean":
            link.sock.sendall(link.record(rest.encode() + b"\n"))
            link.answer_close()
            link.end()
            return
        elif word == "bare":
            link.sock.sendall(link.record(rest.encode() + b"\n"))
            link.end()
            return
        elif word == "cut":
            first = link.record(rest.encode() + b"\n")
            second = link.record(b"x" * 1000)
            link.sock.sendall(first + second[: len(second) // 2])
            link.end()
            return


def serve_stall(sock):
    """Takes the client's hello and never answers, until the client gives up."""
    try:
        while sock.recv(65536):
            pass
    except OSError:
        pass


def serve_garbage(sock):
    """Answers the client's hello with text that is no TLS."""
    try:
        if sock.recv(65536):
            sock.sendall(b"220 this is no TLS server, only text\r\n" * 4)
            while sock.recv(65536):
                pass
    except OSError:
        pass


contexts = {
    0: context("server"),
    1: context("server", highest=ssl.TLSVersion.TLSv1_2),
    2: context("server", lowest=ssl.TLSVersion.TLSv1_3),
    3: context("other"),
    4: context("expired"),
    5: context("self-signed"),
    8: context("server", lowest=ssl.TLSVersion.TLSv1, highest=ssl.TLSVersion.TLSv1_1, ciphers="DEFAULT:@SECLEVEL=0"),
}


def handler(offset):
    if offset == 6:
        return serve_stall
    if offset == 7:
        return serve_garbage
    ctx = contexts[offset]  # one per listener: its session cache and ticket keys serve resumption
    return lambda s: serve_tls(s, ctx)


def connection(sock, serve):
    sock.settimeout(LIMIT)
    try:
        serve(sock)
    except OSError:
        pass
    finally:
        sock.close()


def listen(offset):
    serve = handler(offset)
    listener = socket.socket(socket.AF_INET6, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
    listener.bind(("::", first_port + offset))
    listener.listen(64)

    def accept():
        while True:
            sock, _ = listener.accept()
            threading.Thread(target=connection, args=(sock, serve), daemon=True).start()

    threading.Thread(target=accept, daemon=True).start()


for offset in list(contexts) + [6, 7]:
    listen(offset)
print(f"TLS peer on ports {first_port}-{first_port + 8}", flush=True)
threading.Event().wait()
