"""HTTP server for the transfer tests, on 127.0.0.1 only.

Prints its port on the first line of standard output, then serves until killed:
  /size/N/NAME            200 with a body of N bytes
  /auth/USER/PASS/NAME    401 until the basic credentials match, then 200 "granted"
  /status/CODE/NAME       that status, with a short body
  /redirect/K/NAME        302 to /redirect/K-1/NAME, and /redirect/0/NAME is /size/64/NAME
  /loop/NAME              302 to itself
  /slow/N/NAME            announces N bytes and sends 1 KiB every 50 ms
  /echo/...               200 with the request line and headers as body (POST: and the body)
Every request line is appended to the log file given as first argument, if any.
"""
import base64
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOG = sys.argv[1] if len(sys.argv) > 1 else None
CHUNK = bytes(range(256)) * 4096  # 1 MiB


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def log_request_line(self):
        if LOG:
            with open(LOG, "a") as log:
                log.write(self.requestline + "\n")

    def reply(self, code, body=b"", headers=()):
        self.send_response(code)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def send_size(self, n):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(n))
        self.end_headers()
        left = n
        while left > 0:
            piece = CHUNK if left >= len(CHUNK) else CHUNK[:left]
            self.wfile.write(piece)
            left -= len(piece)

    def do_GET(self):
        self.log_request_line()
        parts = self.path.split("/")
        kind = parts[1] if len(parts) > 1 else ""
        try:
            if kind == "size":
                self.send_size(int(parts[2]))
            elif kind == "auth":
                expected = base64.b64encode(f"{parts[2]}:{parts[3]}".encode()).decode()
                if self.headers.get("Authorization") == "Basic " + expected:
                    self.reply(200, b"granted")
                else:
                    self.reply(401, b"no", [("WWW-Authenticate", 'Basic realm="pics"')])
            elif kind == "status":
                self.reply(int(parts[2]), b"status body")
            elif kind == "redirect":
                left = int(parts[2])
                rest = "/".join(parts[3:])
                target = f"/redirect/{left - 1}/{rest}" if left > 0 else f"/size/64/{rest}"
                self.reply(302, b"moved", [("Location", target)])
            elif kind == "loop":
                self.reply(302, b"again", [("Location", self.path)])
            elif kind == "slow":
                n = int(parts[2])
                self.send_response(200)
                self.send_header("Content-Length", str(n))
                self.end_headers()
                sent = 0
                while sent < n:
                    piece = min(1024, n - sent)
                    self.wfile.write(b"s" * piece)
                    self.wfile.flush()
                    sent += piece
                    time.sleep(0.05)
            elif kind == "echo":
                body = (self.requestline + "\n" + str(self.headers)).encode()
                self.reply(200, body)
            else:
                self.reply(404, b"unknown")
        except (BrokenPipeError, ConnectionResetError):
            pass


    def do_POST(self):
        self.log_request_line()
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length)
        if self.path.startswith("/echo"):
            self.reply(200, (self.requestline + "\n" + str(self.headers)).encode() + body)
        else:
            self.reply(404, b"unknown")


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
