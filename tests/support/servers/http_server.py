#!/usr/bin/python3
"""Loopback HTTP server for transfer tests. Binds 127.0.0.1 port 0, prints the port on stdout.

Routes: /ok/<n> n bytes with a correct length; /nolen body without Content-Length;
/badlen unparsable length; /zero length 0; /missing 404; /redirect/<k> k redirects to /ok/64; /toftp redirects to an ftp:// URL;
/cut announces 1000 bytes, sends 10; /file/<name> serves a file from the folder in argv[1];
/endless sends bytes without end and without a length; /flood announces 1000 bytes and sends
without end; /stall announces 1000 bytes, sends 10 and then nothing.
"""
import http.server
import os
import socketserver
import sys
import time

ROOT = sys.argv[1] if len(sys.argv) > 1 else "."


def payload(n):
    return bytes((i * 7) & 0xFF for i in range(n))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def send_body(self, body, length=None):
        self.send_response(200)
        if length is not None:
            self.send_header("Content-Length", length)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        p = self.path
        if p.startswith("/ok/"):
            n = int(p[4:].split("?")[0])
            self.send_body(payload(n), str(n))
        elif p == "/nolen":
            self.send_body(payload(100))
        elif p == "/badlen":
            self.send_body(payload(100), "abc")
        elif p == "/zero":
            self.send_body(b"", "0")
        elif p.startswith("/redirect/"):
            k = int(p[10:])
            self.send_response(302)
            self.send_header("Location", "/ok/64" if k <= 1 else "/redirect/%d" % (k - 1))
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif p == "/toftp":
            self.send_response(302)
            self.send_header("Location", "ftp://127.0.0.1/file")
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif p == "/cut":
            self.send_body(payload(10), "1000")
        elif p in ("/endless", "/flood"):
            self.send_response(200)
            if p == "/flood":
                self.send_header("Content-Length", "1000")
            self.end_headers()
            chunk = payload(65536)
            try:
                while True:
                    self.wfile.write(chunk)
            except OSError:
                pass
        elif p == "/stall":
            self.send_body(payload(10), "1000")
            self.wfile.flush()
            time.sleep(3600)
        elif p.startswith("/file/"):
            name = os.path.basename(p[6:])
            try:
                with open(os.path.join(ROOT, name), "rb") as f:
                    data = f.read()
            except OSError:
                self.send_error(404)
                return
            self.send_body(data, str(len(data)))
        else:
            self.send_error(404)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


srv = Server(("127.0.0.1", 0), Handler)
print(srv.server_address[1], flush=True)
srv.serve_forever()
