#!/usr/bin/python3
# mail_peer.py -- the Python side of the mail rows of bench/side-by-side.sh: the same work as
# zk_bench_mail through the standard library's smtplib and poplib, one session each, timed from
# the connect to the end of the session and printed in nanoseconds.
# Usage: mail_peer.py send HOST PORT FROM TO COUNT | box HOST PORT USER PASSWORD |
#        recv HOST PORT USER PASSWORD COUNT | sends HOST PORT FROM TO COUNT CA USER PASSWORD |
#        recvs HOST PORT USER PASSWORD COUNT CA    (STARTTLS with login; POP3S)
import poplib
import smtplib
import ssl
import sys
import time


def send(host, port, sender, recipient, count, ca=None, user=None, password=None):
    with smtplib.SMTP(host, int(port)) as s:
        if ca is not None:
            s.starttls(context=ssl.create_default_context(cafile=ca))
            s.login(user, password)
        for i in range(int(count)):
            message = ("From: %s\r\nTo: %s\r\nSubject: Benchmark message %d\r\n\r\n"
                       "A short message of a few lines,\r\nas most mail is.\r\n\r\npython\r\n") % (sender, recipient, i)
            s.sendmail(sender, [recipient], message)


def login(host, port, user, password, ca=None):
    if ca is not None:
        p = poplib.POP3_SSL(host, int(port), context=ssl.create_default_context(cafile=ca))
    else:
        p = poplib.POP3(host, int(port))
    p.user(user)
    p.pass_(password)
    return p


def box(host, port, user, password):
    # What a listing with the header fetch does: LIST, then every message retrieved.
    p = login(host, port, user, password)
    _, entries, _ = p.list()
    for entry in entries:
        p.retr(int(entry.split()[0]))
    p.quit()


def recv(host, port, user, password, count, ca=None):
    p = login(host, port, user, password, ca)
    for i in range(1, int(count) + 1):
        p.retr(i)
    p.quit()


if __name__ == "__main__":
    start = time.monotonic_ns()
    {"send": send, "box": box, "recv": recv, "sends": send, "recvs": recv}[sys.argv[1]](*sys.argv[2:])
    print(time.monotonic_ns() - start)
