"""FTP server for the transfer tests, on 127.0.0.1 only, over Debian's pyftpdlib.

  ftp_server.py ROOT USER PASSWORD PERMS LOG
Prints its port on the first line of standard output. Each login and each command with its
reply code is appended to LOG as "USER name", "LOGIN", "CMD ARG CODE".
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

root, user, password, perms, log = sys.argv[1:6]


def note(line):
    with open(log, "a") as out:
        out.write(line + "\n")


class Handler(FTPHandler):
    def on_login(self, username):
        note("LOGIN " + username)

    def log_cmd(self, cmd, arg, respcode, respstr):
        if cmd not in ("PASS",):
            note(f"{cmd} {arg if arg is not None else ''} {respcode}".replace("  ", " "))


authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm=perms)
Handler.authorizer = authorizer
Handler.passive_ports = None
Handler.permit_foreign_addresses = False
Handler.log_cmds_list = [
    "ABOR", "APPE", "CDUP", "CWD", "DELE", "MKD", "PWD", "RETR", "RMD", "RNFR", "RNTO",
    "SIZE", "STOR", "STOU", "TYPE", "USER", "PASV", "PORT", "EPSV", "EPRT", "QUIT", "AUTH",
]
import logging
logging.basicConfig(level=logging.CRITICAL)
server = FTPServer(("127.0.0.1", 0), Handler)
print(server.address[1], flush=True)
server.serve_forever()
