#!/usr/bin/python3
"""pyftpd.py -- pyftpdlib as a second real FTP server for the tests: one user with full rights in
a home folder, passive ports of a range of its own, IPv4 and IPv6 on one dual-stack socket.
Usage: pyftpd.py PORT HOME USER PASSWORD FIRST_PASSIVE_PORT LOG_FILE"""
import logging
import socket
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    port, home, user, password, first_passive, log_file = sys.argv[1:7]
    logging.basicConfig(filename=log_file, level=logging.INFO)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, home, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = range(int(first_passive), int(first_passive) + 1000)
    handler.banner = "pyftpdlib test server ready."
    # An idle test session must not be cut off while the client waits out one of its time-outs.
    handler.timeout = 600
    listener = socket.socket(socket.AF_INET6, socket.SOCK_STREAM)
    listener.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("::", int(port)))
    listener.listen(64)
    server = FTPServer(listener, handler)
    server.serve_forever()


if __name__ == "__main__":
    main()
