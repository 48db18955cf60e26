#!/usr/bin/python3
"""A small HTTPS file server for the tests: serves one folder on 127.0.0.1.

usage: https_server.py PORT FOLDER CERT KEY [--max-tls 1.1] [--stall PATH]

--max-tls caps the TLS versions the server offers (to check that clients
refuse old ones); --stall makes requests for PATH accept the connection and
then never answer (to check time-outs). Every request is logged to standard
error as "METHOD PATH".
"""
import argparse
import http.server
import socketserver
import ssl
import sys
import threading
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("port", type=int)
    ap.add_argument("folder")
    ap.add_argument("cert")
    ap.add_argument("key")
    ap.add_argument("--max-tls", choices=["1.1", "1.2", "1.3"])
    ap.add_argument("--stall", action="append", default=[])
    a = ap.parse_args()

    class Handler(http.server.SimpleHTTPRequestHandler):
        def __init__(self, *args, **kw):
            super().__init__(*args, directory=a.folder, **kw)

        def do_GET(self):
            sys.stderr.write("GET %s\n" % self.path)
            sys.stderr.flush()
            if self.path in a.stall:
                time.sleep(3600)
                return
            super().do_GET()

        def log_message(self, *args):
            pass

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        allow_reuse_address = True
        daemon_threads = True

    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(a.cert, a.key)
    if a.max_tls == "1.1":
        ctx.set_ciphers("DEFAULT:@SECLEVEL=0")
        ctx.minimum_version = ssl.TLSVersion.TLSv1
        ctx.maximum_version = ssl.TLSVersion.TLSv1_1
    elif a.max_tls == "1.2":
        ctx.maximum_version = ssl.TLSVersion.TLSv1_2
    httpd = Server(("127.0.0.1", a.port), Handler)
    httpd.socket = ctx.wrap_socket(httpd.socket, server_side=True, do_handshake_on_connect=False)
    httpd.serve_forever()


if __name__ == "__main__":
    main()
