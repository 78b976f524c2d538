"""Web pages for the grab tests, served on 127.0.0.1 only.

Prints the port it listens on (it binds port 0), then serves until killed:
  /dir/page.html      a page with pictures and links
  /moved              a redirect to /dir/page.html
  /private/page.html  the same page behind basic authentication as me:pw
"""
import base64
import http.server
import sys

PAGE = (b'<html><body><img src="pic.jpg"><IMG SRC=\'/img/x.gif\'>'
        b'<a href="../up.html">up</a><a href="mailto:me@h">m</a><a href="next.html">n</a>'
        b'</body></html>')


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send_page(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(PAGE)))
        self.end_headers()
        self.wfile.write(PAGE)

    def do_GET(self):
        if self.path == "/dir/page.html":
            self.send_page()
        elif self.path == "/moved":
            self.send_response(302)
            self.send_header("Location", "/dir/page.html")
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif self.path == "/private/page.html":
            expected = "Basic " + base64.b64encode(b"me:pw").decode()
            if self.headers.get("Authorization") == expected:
                self.send_page()
            else:
                self.send_response(401, "Unauthorized")
                self.send_header("WWW-Authenticate", 'Basic realm="pics"')
                self.send_header("Content-Length", "0")
                self.end_headers()
        else:
            self.send_response(404, "Not Found")
            self.send_header("Content-Length", "0")
            self.end_headers()


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
