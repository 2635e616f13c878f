#!/usr/bin/env python3
"""A stand-in for an LRCLIB server, on loopback, for tests and manual runs.

    python3 tools/lrclib/server.py --port N [--port-file F] [--log F] [--tls CERT KEY]
                                   [--prefix /P] [--busy-file F]

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
"Silent" (the server never answers; the connection is dropped after 120 s),
"Unavailable N" (503 with Retry-After: N) and "Too Many N" (429 with
Retry-After: N; "Unavailable"/"Too Many" alone send no Retry-After, and
"... date N" sends it as the HTTP date N seconds from now), "Dropped" (the
headers and half the body, then the connection is reset), "Trickle" (the
headers, then one body byte every 3 s, for as long as the client stays),
"Short Body" (a Content-Length larger than what is sent, then close), "Over
Cap" (Content-Length: 1048577 and a trickling body), "Slow Headers" (the
status line, then one header byte every 3 s) and "Redirect" (302 to a record
that exists, so a client that follows it would find a lyric).

--tls CERT KEY serves HTTPS with that certificate (PEM files). --prefix /P
serves the API under /P (/P/api/get) and nowhere else. --busy-file F: while
the file F exists, every /api/ request gets 429 with Retry-After set to F's
content, and is logged with "busy": true.
"""
import argparse
import email.utils
import http.server
import json
import os
import re
import socketserver
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import catalog  # noqa: E402  (beside this file)
ONE_MIB = 1024 * 1024
FAULTS = "Songlark Faults"
TRICKLE_EVERY = 3.0
TRICKLE_FOR_AT_MOST = 600  # keeps a forgotten client from holding a thread for ever


def version():
    with open(os.path.join(HERE, "..", "..", "core", "Version.h")) as f:
        return re.search(r'#define SONGLARK_VERSION_TEXT "([^"]+)"', f.read()).group(1)


CATALOG = catalog.Catalog()

def retry_after(rest):
    """The Retry-After header a fault's track asks for: " N" seconds, " date N"
    as an HTTP date N seconds ahead, or none."""
    words = rest.split()
    if words[:1] == ["date"] and len(words) > 1 and words[1].isdigit():
        return {"Retry-After": email.utils.formatdate(time.time() + int(words[1]), usegmt=True)}
    if words and words[0].isdigit():
        return {"Retry-After": words[0]}
    return {}


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

    def send_json(self, status, value=None, body=None, headers=None):
        if body is None:
            body = json.dumps(value, ensure_ascii=False).encode("utf-8")
        self.send_head(status, len(body), headers)
        self.wfile.write(body)
        self.close_connection = True

    def problem(self):
        self.api_path, self.params = None, None
        path, _, query = self.path.partition("?")
        prefix = self.server.prefix
        if path not in (prefix + "/api/get", prefix + "/api/search"):
            return "path %r" % path, None, None
        self.api_path = path[len(prefix):]
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
        entry = {"event": "request", "path": self.path.partition("?")[0], "artist": artist, "track": track,
                 "params": self.params, "agent": self.headers.get("User-Agent"), "problem": problem}
        busy = self.server.busy_for()
        if busy is not None and self.path.startswith(self.server.prefix + "/api/"):
            entry["busy"] = True
            self.server.log(entry)
            self.send_json(429, {"code": 429, "name": "TooManyRequests", "message": "busy"},
                           headers={"Retry-After": busy})
            return
        self.server.log(entry)
        if problem:
            self.send_json(400, {"code": 400, "name": "BadRequest", "message": problem})
            return
        if artist == FAULTS and self.fault(track):
            return
        status, body = CATALOG.answer(self.api_path, self.params)
        self.send_json(status, body=body)

    def fault(self, track):
        """Answers a fault mode named by how the track begins; False when none is."""
        if track.startswith("Server Error"):
            self.send_json(500, body=b"Internal Server Error")
        elif track.startswith("Malformed"):
            self.send_json(200, body=b'{"plainLyrics": "cut off here')
        elif track.startswith("Huge"):
            self.send_json(200, body=padded_answer(ONE_MIB + 1))
        elif track.startswith("Exactly One MiB"):
            self.send_json(200, body=padded_answer(ONE_MIB))
        elif track.startswith("Silent"):
            self.hang()
        elif track.startswith("Unavailable"):
            self.send_json(503, body=b"Service Unavailable", headers=retry_after(track[len("Unavailable"):]))
        elif track.startswith("Too Many"):
            self.send_json(429, {"code": 429, "name": "TooManyRequests", "message": "slow down"},
                           headers=retry_after(track[len("Too Many"):]))
        elif track.startswith("Dropped"):
            body = padded_answer(4096)
            self.send_head(200, len(body))
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            # A reset, not an orderly close: the connection is cut mid-answer.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.close_connection = True
        elif track.startswith("Trickle"):
            body = padded_answer(4096)
            self.send_head(200, len(body))
            self.trickle(body)
        elif track.startswith("Short Body"):
            body = padded_answer(4096)
            self.send_head(200, len(body))
            self.wfile.write(body[:100])
            self.close_connection = True
        elif track.startswith("Over Cap"):
            self.send_head(200, ONE_MIB + 1)
            self.trickle(padded_answer(ONE_MIB + 1))
        elif track.startswith("Slow Headers"):
            self.close_connection = True
            self.wfile.write(b"HTTP/1.1 200 OK\r\n")
            self.wfile.flush()
            self.trickle(b"Content-Type: application/json\r\n" * 100)
        elif track.startswith("Redirect"):
            self.send_json(302, body=b"Found", headers={
                "Location": self.server.prefix + "/api/get?artist_name=Some%20Artist&track_name=A%20Song"})
        else:
            return False
        return True

    def send_head(self, status, length, headers=None):
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.end_headers()
        self.wfile.flush()

    def trickle(self, body):
        self.close_connection = True
        end = time.monotonic() + TRICKLE_FOR_AT_MOST
        for i in range(len(body)):
            if time.monotonic() > end:
                return
            time.sleep(TRICKLE_EVERY)
            try:
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
            except OSError:
                return  # the client gave up

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

    def __init__(self, address, log_path, tls, prefix="", busy_file=None):
        super().__init__(address, Handler)
        self.version = version()
        self.prefix = prefix
        self.busy_file = busy_file
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

    def busy_for(self):
        """The Retry-After text while the busy file exists, else None."""
        if not self.busy_file:
            return None
        try:
            with open(self.busy_file) as f:
                return f.read().strip() or "0"
        except OSError:
            return None

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
    ap.add_argument("--prefix", default="", help="serve the API under this path (/P/api/get)")
    ap.add_argument("--busy-file", help="while this file exists, every /api/ request gets 429")
    args = ap.parse_args()
    prefix = args.prefix.rstrip("/")
    if prefix and not prefix.startswith("/"):
        ap.error("--prefix must begin with /")

    with Server(("127.0.0.1", args.port), args.log, args.tls, prefix, args.busy_file) as server:
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
