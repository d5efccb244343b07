#!/usr/bin/python3
"""mail_tls_peer.py -- small SMTP and POP3 servers for what real servers will not do around
STARTTLS, STLS and AUTH: TLS refused or stripped, AUTH only before TLS, odd LOGIN challenges,
XOAUTH2 and OAUTHBEARER tokens accepted or refused. One listener per case, on consecutive ports
from FIRST_PORT (IPv4 and IPv6); the user is zkmail, password zkmail-pass, token good-token:

  +0 smtp-nostarttls   EHLO without STARTTLS (with AUTH PLAIN LOGIN); everything else 250
  +1 smtp-starttls454  STARTTLS offered, answered 454
  +2 smtp-stripped     STARTTLS stripped from EHLO (XXXXXXXA), answered 502 when sent anyway
  +3 smtp-authbefore   AUTH offered before STARTTLS only; after TLS, AUTH answered 503
  +4 smtp-login        no TLS, AUTH LOGIN only, its challenges in odd case
  +5 smtp-xoauth2      no TLS, AUTH XOAUTH2 (a refused token: 334 with the error, then 535)
  +6 smtp-oauthbearer  no TLS, AUTH OAUTHBEARER (refused: 334 with the error, then 535); XOAUTH2 504
  +7 pop3-stlserr      STLS answered -ERR
  +8 pop3-xoauth2      no TLS, AUTH XOAUTH2 (refused: "+ " with the error, then -ERR)
  +9 pop3-nouser       STLS, then USER refused: AUTH PLAIN only
 +10 smtp-ok-tls       a well-behaved STARTTLS server, AUTH PLAIN and LOGIN after TLS only

Where nothing else is said, SMTP takes MAIL, RCPT (but 550 for refused@...), RSET and NOOP (250)
and DATA (354, then 250 after the "." line), answers unknown commands "500 unknown" and QUIT 221; POP3 answers STAT
"+OK 0 0", unknown commands "-ERR unknown" and QUIT +OK. Either closes after QUIT.

Every line each connection received (decrypted where TLS was on; the line end taken off) is
appended to LOG_FOLDER/<case>.log, with "--" before each connection, so a test can see exactly
what the client sent -- including lines it sent ahead of a TLS handshake, which are then dropped.
Usage: mail_tls_peer.py FIRST_PORT CERT_FOLDER LOG_FOLDER"""
import base64
import binascii
import json
import os
import ssl
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ftp"))
from ftps_peer import LIMIT, Control, serve_cases  # noqa: E402 (the same plumbing and time limit)

USER, PASSWORD, TOKEN = "zkmail", "zkmail-pass", "good-token"
TOKEN_ERROR = base64.b64encode(json.dumps(
    {"status": "401", "schemes": "bearer", "scope": "https://mail.example/"}, separators=(",", ":")).encode()).decode()

SMTP_BASE = ["PIPELINING", "8BITMIME", "ENHANCEDSTATUSCODES"]
AUTH_PL = "AUTH PLAIN LOGIN"
# Per case: the protocol; the extensions (EHLO) or capabilities (CAPA) before TLS and, where they
# differ, after it; the answer to STARTTLS/STLS where TLS does not begin; the answer to AUTH after
# TLS where AUTH is not taken; the LOGIN challenges; replies that differ from the protocol's own;
# the reply to every command but EHLO and QUIT.
CASES = [
    ("smtp-nostarttls", dict(proto="smtp", plain=SMTP_BASE + [AUTH_PL], default="250 ok")),
    ("smtp-starttls454", dict(proto="smtp", plain=SMTP_BASE + ["STARTTLS", AUTH_PL],
                              starttls="454 4.7.0 TLS not available")),
    ("smtp-stripped", dict(proto="smtp", plain=SMTP_BASE + ["XXXXXXXA", AUTH_PL],
                           starttls="502 5.5.1 unknown command")),
    ("smtp-authbefore", dict(proto="smtp", plain=SMTP_BASE + ["STARTTLS", AUTH_PL], tls=SMTP_BASE,
                             auth_tls="503 5.5.1 no AUTH")),
    ("smtp-login", dict(proto="smtp", plain=SMTP_BASE + ["AUTH LOGIN"],
                        login=("dXNlcm5hbWU6", "UGFTU1dPUkQ6"))),
    ("smtp-xoauth2", dict(proto="smtp", plain=SMTP_BASE + ["AUTH PLAIN XOAUTH2"])),
    ("smtp-oauthbearer", dict(proto="smtp", plain=SMTP_BASE + ["AUTH PLAIN XOAUTH2 OAUTHBEARER"],
                              xoauth2="504 use OAUTHBEARER")),
    ("pop3-stlserr", dict(proto="pop3", plain=["STLS", "USER", "SASL PLAIN"], starttls="-ERR not now")),
    ("pop3-xoauth2", dict(proto="pop3", plain=["USER", "SASL PLAIN XOAUTH2"])),
    ("pop3-nouser", dict(proto="pop3", plain=["STLS", "SASL PLAIN"], tls=["SASL PLAIN"],
                         replies={"USER": "-ERR USER not allowed, use AUTH",
                                  "PASS": "-ERR USER not allowed, use AUTH"})),
    ("smtp-ok-tls", dict(proto="smtp", plain=SMTP_BASE + ["STARTTLS"], tls=SMTP_BASE + [AUTH_PL])),
]

# Per protocol: what the server says, the verbs that list capabilities and start TLS, the replies
# to the simple commands, and the SASL words (challenge prefix, success, bad credentials, refused
# token, cancelled).
PROTOCOLS = {
    "smtp": dict(greeting="220 zknet-test ESMTP mail TLS peer", bye="221 2.0.0 bye", unknown="500 unknown",
                 list="EHLO", tls="STARTTLS", go="220 2.0.0 go ahead",
                 replies=dict(HELO="250 zknet-test", MAIL="250 2.0.0 ok", RCPT="250 2.0.0 ok", RSET="250 2.0.0 ok",
                              NOOP="250 2.0.0 ok"),
                 sasl=("334 ", "235 2.7.0 ok", "535 5.7.8 bad", "535 5.7.8 token refused", "501 5.0.0 cancelled"),
                 no_auth="503 5.5.1 AUTH not offered", no_mechanism="504 5.5.4 unknown mechanism"),
    "pop3": dict(greeting="+OK mail TLS peer ready", bye="+OK bye", unknown="-ERR unknown",
                 list="CAPA", tls="STLS", go="+OK go ahead",
                 replies=dict(USER="+OK", PASS="+OK", STAT="+OK 0 0", NOOP="+OK"),
                 sasl=("+ ", "+OK", "-ERR bad", "-ERR token refused", "-ERR cancelled"),
                 no_auth="-ERR AUTH not offered", no_mechanism="-ERR unknown mechanism"),
}


class Session(Control):
    """A connection as the FTPS peer has it (lines in, read in blocks and logged; replies out),
    which can turn to TLS."""

    secure = False

    def start_tls(self, ctx):
        # What came ahead of the handshake is never acted on (as a careful server does), but
        # logged: a client must not send it.
        for stray in self.buffer.split(b"\n"):
            if stray:
                self.log(stray.rstrip(b"\r").decode("latin-1"))
        self.buffer = b""
        self.conn = ctx.wrap_socket(self.conn, server_side=True)
        self.secure = True


def offered(s, case):
    return case["tls" if s.secure and "tls" in case else "plain"]


def decode(b64):
    try:
        return base64.b64decode(b64, validate=True).decode("latin-1")
    except (binascii.Error, ValueError):
        return None


def plain_ok(text):
    parts = (text or "").split("\0")
    return len(parts) == 3 and parts[0] in ("", USER) and parts[1:] == [USER, PASSWORD]


def bearer_ok(text):
    """An OAUTHBEARER message: the gs2 header naming the user, then \\x01-separated key=value
    pairs (host and port optional) with the good token, ended by \\x01\\x01."""
    head = "n,a=%s@zknet-test,\x01" % USER
    if text is None or not text.startswith(head) or not text.endswith("\x01\x01"):
        return False
    pairs = text[len(head):-2].split("\x01")
    if any("=" not in p for p in pairs):
        return False
    keys = dict(p.split("=", 1) for p in pairs)
    return keys.get("auth") == "Bearer " + TOKEN and set(keys) <= {"auth", "host", "port"}


def sasl(s, case, mech, initial):
    """One AUTH exchange; the reply that ends it."""
    challenge, good, bad, refused, cancelled = PROTOCOLS[case["proto"]]["sasl"]

    def answer(prompt):
        s.reply(challenge + prompt)
        line = s.line()
        if line is None:
            raise EOFError
        return line

    if initial == "=":  # an empty initial response
        initial = ""
    if initial is None and mech != "LOGIN":
        initial = answer("")
    if initial == "*":
        return cancelled
    if mech == "PLAIN":
        return good if plain_ok(decode(initial)) else bad
    if mech == "LOGIN":
        user_prompt, password_prompt = case.get("login", ("VXNlcm5hbWU6", "UGFzc3dvcmQ6"))
        user = initial if initial is not None else answer(user_prompt)
        password = "*" if user == "*" else answer(password_prompt)
        if password == "*":
            return cancelled
        return good if (decode(user), decode(password)) == (USER, PASSWORD) else bad
    if mech == "XOAUTH2":
        ok = decode(initial) == "user=%s@zknet-test\x01auth=Bearer %s\x01\x01" % (USER, TOKEN)
    else:
        ok = bearer_ok(decode(initial))
    if ok:
        return good
    answer(TOKEN_ERROR)  # the client's empty (XOAUTH2) or \x01 (OAUTHBEARER) line, logged
    return refused


def auth(s, case, words):
    """AUTH MECHANISM [INITIAL] as this case takes it."""
    protocol = PROTOCOLS[case["proto"]]
    if s.secure and case.get("auth_tls"):
        return case["auth_tls"]
    mechanism = words[1].upper()
    mechanisms = next((c.split()[1:] for c in offered(s, case) if c.startswith(("AUTH ", "SASL "))), [])
    if mechanism == "XOAUTH2" and case.get("xoauth2"):
        return case["xoauth2"]
    if not mechanisms:
        return protocol["no_auth"]
    if mechanism not in mechanisms:
        return protocol["no_mechanism"]
    return sasl(s, case, mechanism, words[2] if len(words) > 2 else None)


def listing(protocol, items):
    """The reply to EHLO or CAPA."""
    if protocol["list"] == "EHLO":
        lines = ["zknet-test"] + items
        return ["250-" + line for line in lines[:-1]] + ["250 " + lines[-1]]
    return ["+OK"] + items + ["."]


def converse(s, case, ctx):
    protocol = PROTOCOLS[case["proto"]]
    s.reply(protocol["greeting"])
    while True:
        line = s.line()
        if line is None:
            return
        words = line.split(" ")
        verb = words[0].upper()
        if verb == "QUIT":
            s.reply(protocol["bye"])
            return
        if verb == protocol["list"]:
            for reply in listing(protocol, offered(s, case)):
                s.reply(reply)
        elif "default" in case:
            s.reply(case["default"])
        elif verb == protocol["tls"] and not s.secure:
            s.reply(case.get("starttls", protocol["go"]))
            if "starttls" not in case:
                s.start_tls(ctx)
        elif verb == "AUTH" and len(words) > 1:
            s.reply(auth(s, case, words))
        elif verb == "DATA" and case["proto"] == "smtp":
            s.reply("354 go ahead")
            while line not in (".", None):
                line = s.line()
            if line is None:
                return
            s.reply("250 2.0.0 taken")
        elif verb == "RCPT" and "refused@" in line:
            s.reply("550 5.1.1 no such user")
        else:
            s.reply(case.get("replies", {}).get(verb) or protocol["replies"].get(verb, protocol["unknown"]))


def serve(name, case, conn, ctx, log_folder):
    conn.settimeout(LIMIT)
    s = Session(conn, os.path.join(log_folder, name + ".log"))
    try:
        converse(s, case, ctx)
    except (OSError, ssl.SSLError, EOFError):
        pass
    finally:
        s.conn.close()


def main():
    first_port, cert_folder, log_folder = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    os.makedirs(log_folder, exist_ok=True)
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.minimum_version = ssl.TLSVersion.TLSv1_2
    ctx.load_cert_chain(os.path.join(cert_folder, "server.pem"), os.path.join(cert_folder, "server.key"))
    serve_cases(first_port, len(CASES), lambda i, conn, family: serve(*CASES[i], conn, ctx, log_folder))


if __name__ == "__main__":
    main()
