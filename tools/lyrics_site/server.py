#!/usr/bin/env python3
"""A stand-in for the lyrics site, on loopback, for tests and manual runs.

    python3 tools/lyrics_site/server.py --port N --root DIR [--port-file F] [--mode serve|hang]

Serves the files under DIR as HTTP/1.0: a request for /n/night-owls/songs.html
answers DIR/n/night-owls/songs.html verbatim, a missing file a 404 page. Binds
127.0.0.1 only. --port 0 picks a free port; --port-file F receives the port
number once the server listens (written to F.tmp, then renamed).

--mode hang accepts every connection and never sends a byte, so a client's
time-outs can be watched; each such connection is dropped after 120 s.
"""
import argparse
import http.server
import os
import socket
import socketserver
import sys
import threading
import time


class PageHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "LyricsSiteStandIn/1.0"
    root = "."

    def do_GET(self):
        # Request paths are bytes on the wire; http.server hands them over as
        # latin-1 text, so turn them back into the same bytes for the file name.
        raw = self.path.split("?", 1)[0].encode("latin-1")
        parts = [p for p in raw.split(b"/") if p]
        if any(p in (b".", b"..") for p in parts) or not parts:
            self.send_error(404)
            return
        name = os.path.join(os.fsencode(self.root), *parts)
        try:
            with open(name, "rb") as f:
                body = f.read()
        except OSError:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, fmt, *args):
        sys.stderr.write("lyrics_site: " + (fmt % args) + "\n")


class HangHandler(socketserver.BaseRequestHandler):
    def handle(self):
        self.request.settimeout(1.0)
        end = time.monotonic() + 120
        while time.monotonic() < end:
            try:
                if not self.request.recv(4096):
                    return  # the client gave up
            except socket.timeout:
                continue
            except OSError:
                return


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages"))
    ap.add_argument("--port-file")
    ap.add_argument("--mode", choices=("serve", "hang"), default="serve")
    args = ap.parse_args()

    if args.mode == "hang":
        handler = HangHandler
    else:
        PageHandler.root = args.root
        handler = PageHandler
    with Server(("127.0.0.1", args.port), handler) as server:
        port = server.server_address[1]
        if args.port_file:
            with open(args.port_file + ".tmp", "w") as f:
                f.write("%d\n" % port)
            os.replace(args.port_file + ".tmp", args.port_file)
        print("lyrics_site: %s on 127.0.0.1:%d" % (args.mode, port), file=sys.stderr, flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
