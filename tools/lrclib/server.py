#!/usr/bin/env python3
"""A stand-in for an LRCLIB server, on loopback, for tests and manual runs.

    python3 tools/lrclib/server.py --port N [--port-file F] [--log F] [--tls CERT KEY]

Answers GET /api/get and /api/search like LRCLIB does, from the records of
catalog.py beside it (written for Songlark's tests; no real song's lyric).
Binds 127.0.0.1 only. --port 0 picks a free port; --port-file F receives the
port number once the server listens (written to F.tmp, then renamed).

Every request is checked as Songlark must send it: the path, each parameter
named and percent-encoded with nothing but A-Z a-z 0-9 - . _ ~ left
plain and upper-case hex, UTF-8 inside, and the User-Agent "Songlark/" and the
version of core/Version.h. A request that fails a check gets 400. --log F
appends one JSON line per request (the decoded artist and track, the user
agent, and "problem" when a check failed), and per TLS handshake.

The artist "Songlark Faults" holds the fault modes, by how the track begins
(so that one test can ask for a fault more than once under other names):
"Server Error" (500), "Malformed" (a body that is not JSON), "Huge" (a valid
answer of 1 MiB + 1 bytes), "Exactly One MiB" (a valid answer of 1 MiB), and
"Silent" (the server never answers; the connection is dropped after 120 s).

--tls CERT KEY serves HTTPS with that certificate (PEM files).
"""
import argparse
import http.server
import json
import os
import re
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import catalog  # noqa: E402  (beside this file)
ONE_MIB = 1024 * 1024
FAULTS = "Songlark Faults"


def version():
    with open(os.path.join(HERE, "..", "..", "core", "Version.h")) as f:
        return re.search(r'#define SONGLARK_VERSION_TEXT "([^"]+)"', f.read()).group(1)


CATALOG = catalog.Catalog()

PLAIN_PARAM = re.compile(r"(?:[A-Za-z0-9\-._~]|%[0-9A-F]{2})*")


def padded_answer(size):
    """A valid answer of exactly size bytes: plain lyrics of as many 'a's as fit."""
    head, tail = '{"plainLyrics":"', '","instrumental":false}'
    return (head + "a" * (size - len(head) - len(tail)) + tail).encode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "LrclibStandIn/1.0"

    def setup(self):
        super().setup()
        if isinstance(self.request, ssl.SSLSocket):
            try:
                self.request.do_handshake()
                self.server.log({"event": "tls", "ok": True})
            except (ssl.SSLError, OSError) as e:
                self.server.log({"event": "tls", "ok": False, "detail": str(e)})
                self.close_connection = True
                self.handshake_failed = True

    def handle(self):
        if getattr(self, "handshake_failed", False):
            return
        super().handle()

    def send_json(self, status, value=None, body=None):
        if body is None:
            body = json.dumps(value, ensure_ascii=False).encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True

    def problem(self):
        self.api_path, self.params = None, None
        path, _, query = self.path.partition("?")
        if path not in ("/api/get", "/api/search"):
            return "path %r" % path, None, None
        self.api_path = path
        if self.headers.get("User-Agent") != "Songlark/" + self.server.version:
            return "user agent %r" % self.headers.get("User-Agent"), None, None
        # Which names and how many are LRCLIB's business (the catalogue answers
        # as it does); here only how each one is written.
        pairs = [p.split("=", 1) for p in query.split("&")] if query else []
        if any(len(p) != 2 or not p[0] for p in pairs):
            return "parameters %r" % query, None, None
        self.params = []
        for name, raw in pairs:
            if not PLAIN_PARAM.fullmatch(raw):
                return "encoding %r" % raw, None, None
            try:
                self.params.append((name, urllib.parse.unquote_to_bytes(raw).decode("utf-8")))
            except UnicodeDecodeError:
                return "not UTF-8 %r" % raw, None, None
        named = dict(reversed(self.params))
        return None, named.get("artist_name"), named.get("track_name")

    def do_GET(self):
        problem, artist, track = self.problem()
        self.server.log({"event": "request", "path": self.path.partition("?")[0], "artist": artist, "track": track,
                         "params": self.params, "agent": self.headers.get("User-Agent"),
                         "problem": problem})
        if problem:
            self.send_json(400, {"code": 400, "name": "BadRequest", "message": problem})
            return
        if artist == FAULTS:
            if track.startswith("Server Error"):
                self.send_json(500, body=b"Internal Server Error")
                return
            if track.startswith("Malformed"):
                self.send_json(200, body=b'{"plainLyrics": "cut off here')
                return
            if track.startswith("Huge"):
                self.send_json(200, body=padded_answer(ONE_MIB + 1))
                return
            if track.startswith("Exactly One MiB"):
                self.send_json(200, body=padded_answer(ONE_MIB))
                return
            if track.startswith("Silent"):
                self.hang()
                return
        status, body = CATALOG.answer(self.api_path, self.params)
        self.send_json(status, body=body)

    def hang(self):
        self.close_connection = True
        self.connection.settimeout(1.0)
        end = time.monotonic() + 120
        while time.monotonic() < end:
            try:
                if not self.connection.recv(4096):
                    return  # the client gave up
            except (TimeoutError, ssl.SSLError):
                continue
            except OSError:
                return

    def log_message(self, fmt, *args):
        sys.stderr.write("lrclib: " + (fmt % args) + "\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, log_path, tls):
        super().__init__(address, Handler)
        self.version = version()
        self.log_path = log_path
        self.log_lock = threading.Lock()
        self.context = None
        if tls:
            self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.context.load_cert_chain(tls[0], tls[1])

    def get_request(self):
        sock, address = super().get_request()
        if self.context:
            # The handshake runs on the handler's thread, where its outcome is logged.
            sock = self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False)
        return sock, address

    def log(self, entry):
        if not self.log_path:
            return
        with self.log_lock, open(self.log_path, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry) + "\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--port-file")
    ap.add_argument("--log")
    ap.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    args = ap.parse_args()

    with Server(("127.0.0.1", args.port), args.log, args.tls) as server:
        port = server.server_address[1]
        if args.port_file:
            with open(args.port_file + ".tmp", "w") as f:
                f.write("%d\n" % port)
            os.replace(args.port_file + ".tmp", args.port_file)
        print("lrclib: %s on 127.0.0.1:%d" % ("https" if args.tls else "http", port), file=sys.stderr, flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
