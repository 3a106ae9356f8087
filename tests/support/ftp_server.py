#!/usr/bin/python3
"""An FTP server for the tests: anonymous, read-only, on a free loopback port.

Usage: ftp_server.py ROOT ANNOUNCE_FD COMMAND_LOG

Writes its port and a newline to ANNOUNCE_FD once it accepts clients, and
every command it receives, one a line, to COMMAND_LOG. A file whose name
begins with "cut-" is sent only half, and then the data connection closes.
"""

import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class Handler(FTPHandler):
    command_log = None

    def pre_process_command(self, line, cmd, arg):
        with open(self.command_log, "a") as log:
            log.write(line + "\n")
        return super().pre_process_command(line, cmd, arg)

    def ftp_RETR(self, file):
        if not os.path.basename(file).startswith("cut-"):
            return super().ftp_RETR(file)
        with open(file, "rb") as source:
            data = source.read()
        self.push_dtp_data(data[: len(data) // 2], isproducer=False, cmd="RETR")
        return file


def main():
    root, announce_fd, Handler.command_log = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root)
    Handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), Handler)
    os.write(announce_fd, b"%d\n" % server.socket.getsockname()[1])
    os.close(announce_fd)
    server.serve_forever()


if __name__ == "__main__":
    main()
