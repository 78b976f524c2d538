"""FTP server for the transfer tests, on 127.0.0.1 only, over Debian's pyftpdlib.

  ftp_server.py ROOT USER PASSWORD PERMS LOG
Prints its port on the first line of standard output. Each command as the client sent it
("CWD /pics", "PASS" without its argument) and each accepted login ("LOGIN name") is
appended to LOG.
"""
import logging
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

    def pre_process_command(self, line, cmd, arg):
        note(cmd if cmd == "PASS" or not arg else cmd + " " + arg)
        return super().pre_process_command(line, cmd, arg)


authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm=perms)
Handler.authorizer = authorizer
Handler.passive_ports = None
Handler.permit_foreign_addresses = False
logging.basicConfig(level=logging.CRITICAL)
server = FTPServer(("127.0.0.1", 0), Handler)
print(server.address[1], flush=True)
server.serve_forever()
