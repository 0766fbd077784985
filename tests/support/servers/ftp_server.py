#!/usr/bin/python3
"""Loopback FTP server for transfer tests. Binds 127.0.0.1 port 0, prints the port on stdout.

argv[1]: the folder served (read and write) to the user "user" (password "secret") and to
anonymous logins. argv[2], the mode: "any" (passive and active), "passive" (PORT/EPRT
refused), "active" (PASV/EPSV refused) or "garbage" (not FTP at all: an endless stream of
bytes that are no FTP reply).

Files with special behaviour, made in the served folder: cut.bin (5000 bytes long) sends 1000
and aborts the transfer with 426; stall.bin sends 1000 bytes and then nothing.
"""
import os
import socket
import sys
import threading
import time
import warnings

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

ROOT = sys.argv[1]
MODE = sys.argv[2] if len(sys.argv) > 2 else "any"


class ScriptedFile:
    """A readable file that sends 1000 bytes, then fails or stalls."""

    def __init__(self, name, stall):
        self.name = name
        self.closed = False
        self.sent = False
        self.stall = stall

    def read(self, n):
        if not self.sent:
            self.sent = True
            return b"x" * 1000
        if self.stall:
            time.sleep(3600)
        raise OSError(5, "cut short")

    def close(self):
        self.closed = True


class Handler(FTPHandler):
    use_sendfile = False
    banner = "tessivo test server"
    auth_failed_timeout = 0.05

    def ftp_RETR(self, file):
        base = os.path.basename(file)
        if base in ("cut.bin", "stall.bin"):
            self.push_dtp_data(ScriptedFile(file, base == "stall.bin"), isproducer=False,
                               file=None, cmd="RETR")
            return file
        return FTPHandler.ftp_RETR(self, file)

    def push_dtp_data(self, data, isproducer=False, file=None, cmd=None):
        if isinstance(data, ScriptedFile):
            from pyftpdlib.handlers import FileProducer
            return FTPHandler.push_dtp_data(self, FileProducer(data, "i"), True, None, cmd)
        return FTPHandler.push_dtp_data(self, data, isproducer, file, cmd)

    def ftp_PASV(self, line):
        if MODE == "active":
            self.respond("502 Passive mode refused here.")
            return
        return FTPHandler.ftp_PASV(self, line)

    def ftp_EPSV(self, line):
        if MODE == "active":
            self.respond("502 Passive mode refused here.")
            return
        return FTPHandler.ftp_EPSV(self, line)

    def ftp_PORT(self, line):
        if MODE == "passive":
            self.respond("502 Active mode refused here.")
            return
        return FTPHandler.ftp_PORT(self, line)

    def ftp_EPRT(self, line):
        if MODE == "passive":
            self.respond("502 Active mode refused here.")
            return
        return FTPHandler.ftp_EPRT(self, line)


def serve_garbage():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print(listener.getsockname()[1], flush=True)

    def flood(conn):
        try:
            chunk = bytes(range(256)) * 64
            while True:
                conn.sendall(chunk)
        except OSError:
            conn.close()

    while True:
        conn, _ = listener.accept()
        threading.Thread(target=flood, args=(conn,), daemon=True).start()


def main():
    if MODE == "garbage":
        serve_garbage()
        return
    for name in ("cut.bin", "stall.bin"):
        with open(os.path.join(ROOT, name), "wb") as f:
            f.write(b"p" * 5000)
    warnings.simplefilter("ignore")
    authorizer = DummyAuthorizer()
    authorizer.add_user("user", "secret", ROOT, perm="elradfmw")
    authorizer.add_anonymous(ROOT, perm="elradfmw")
    Handler.authorizer = authorizer
    import logging
    logging.basicConfig(level=logging.CRITICAL)
    server = FTPServer(("127.0.0.1", 0), Handler)
    print(server.address[1], flush=True)
    server.serve_forever()


main()
