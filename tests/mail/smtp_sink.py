#!/usr/bin/python3
"""smtp_sink.py -- an SMTP server for the tests (python3-aiosmtpd, decode_data=False) that keeps
what clients send: per connection the exact bytes as they arrived (conn-N.wire), per message the
envelope (msg-N.env: connection number, MAIL FROM argument, RCPT TO arguments, one a line) and
the content as aiosmtpd took it from the data (msg-N.eml). Refuses the sender refused@zknet-test
at MAIL FROM and the message of noend@zknet-test after its data, for the tests of refusals.

Usage: smtp_sink.py PORT FOLDER   (listens on every address, IPv4 and IPv6; run it only inside the
tests' private network)
"""
import asyncio
import itertools
import os
import signal
import sys

from aiosmtpd.smtp import SMTP

connections = itertools.count(1)
messages = itertools.count(1)


class Recorder:
    def __init__(self, folder):
        self.folder = folder

    async def handle_MAIL(self, server, session, envelope, address, options):
        if address == "refused@zknet-test":
            return "550 this sender is refused here"
        envelope.mail_from = address
        envelope.mail_options.extend(options)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        n = next(messages)
        base = os.path.join(self.folder, "msg-%d" % n)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".env.tmp", "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write("%d\n%s\n" % (server.zk_connection, envelope.mail_from))
            for rcpt in envelope.rcpt_tos:
                f.write(rcpt + "\n")
        os.replace(base + ".env.tmp", base + ".env")
        if envelope.mail_from == "noend@zknet-test":
            return "554 the message of this sender is refused"
        return "250 Message accepted for delivery"


class RecordingSMTP(SMTP):
    """Writes every byte the client sends to its connection's file before aiosmtpd reads it."""

    def __init__(self, handler, folder):
        super().__init__(handler, decode_data=False, hostname="zknet-test", ident="zknet sink")
        self.zk_connection = next(connections)
        self.zk_wire = open(os.path.join(folder, "conn-%d.wire" % self.zk_connection), "wb", buffering=0)

    def data_received(self, data):
        self.zk_wire.write(data)
        super().data_received(data)

    def connection_lost(self, exc):
        self.zk_wire.close()
        super().connection_lost(exc)


async def main(port, folder):
    handler = Recorder(folder)
    loop = asyncio.get_running_loop()
    servers = [await loop.create_server(lambda: RecordingSMTP(handler, folder), host=None, port=port)]
    stop = loop.create_future()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, lambda: stop.done() or stop.set_result(None))
    await stop
    for s in servers:
        s.close()


if __name__ == "__main__":
    asyncio.run(main(int(sys.argv[1]), sys.argv[2]))
