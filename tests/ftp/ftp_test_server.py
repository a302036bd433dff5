#!/usr/bin/python3
"""A small FTP server for the FTP tests and benchmarks: 127.0.0.1 only, one user plus anonymous
read-only access over one folder, active mode allowed. Prints the port it listens on, then serves
until its standard input closes, so it never outlives the process that started it."""

import argparse
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

# A name no honest server lists; the client must never let it pick the local file.
HOSTILE_NAME = "../evil"


class HostileFS(AbstractedFS):
    """Adds an entry named HOSTILE_NAME to every directory listing."""

    def format_list(self, basedir, listing, ignore_err=True):
        yield from super().format_list(basedir, listing, ignore_err)
        yield ("-rw-r--r--   1 owner    group           5 Jan 01  2020 %s\r\n" % HOSTILE_NAME).encode()

    def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
        yield from super().format_mlsx(basedir, listing, perms, facts, ignore_err)
        yield ("type=file;size=5;modify=20200101000000; %s\r\n" % HOSTILE_NAME).encode()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", default="tester")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--throttle", type=int, default=0, help="bytes per second sent to the client")
    parser.add_argument("--no-mlsd", action="store_true", help="offer LIST only")
    parser.add_argument("--hostile", action="store_true", help="list a name that points outside")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    authorizer.add_anonymous(args.root)

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.banner = "Plovane test server ready."
    # Tests try wrong passwords on purpose; the usual pause after one would only slow them down.
    Handler.auth_failed_timeout = 0.01
    if args.throttle:
        class Throttled(ThrottledDTPHandler):
            write_limit = args.throttle
        Handler.dtp_handler = Throttled
    if args.no_mlsd:
        Handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    if args.hostile:
        Handler.abstracted_fs = HostileFS

    logging.basicConfig(level=logging.ERROR)
    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 16
    print(server.address[1], flush=True)

    def watch_stdin():
        sys.stdin.read()
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
