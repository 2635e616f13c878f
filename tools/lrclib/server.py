#!/usr/bin/env python3
"""A stand-in for an LRCLIB server, on loopback, for tests and manual runs.

    python3 tools/lrclib/server.py --port N [--port-file F] [--log F] [--tls CERT KEY]

Answers GET /api/get?artist_name=A&track_name=T like LRCLIB does, from the
fixture records below (written for Songlark's tests; no real song's lyric).
Binds 127.0.0.1 only. --port 0 picks a free port; --port-file F receives the
port number once the server listens (written to F.tmp, then renamed).

Every request is checked as Songlark must send it: the path, exactly the two
parameters, each percent-encoded with nothing but A-Z a-z 0-9 - . _ ~ left
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
import itertools
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
ONE_MIB = 1024 * 1024
FAULTS = "Songlark Faults"


def version():
    with open(os.path.join(HERE, "..", "..", "core", "Version.h")) as f:
        return re.search(r'#define SONGLARK_VERSION_TEXT "([^"]+)"', f.read()).group(1)


NEXT_ID = itertools.count(1)


def record(artist, track, plain=None, synced=None, instrumental=False):
    return {"id": next(NEXT_ID), "trackName": track, "artistName": artist,
            "albumName": "Stand-in Sessions", "duration": 180.0, "instrumental": instrumental,
            "plainLyrics": plain, "syncedLyrics": synced}


# Keyed by the decoded (artist, track), exactly as LRCLIB matches them here.
RECORDS = {}
for r in [
    # Plain lyrics (the synced ones are there too and must not be used).
    record("Some Artist", "A Song", plain="Paper boats on the kitchen floor\nwe sail them to the door\n\n"
           "and back again", synced="[00:01.00] Paper boats on the kitchen floor\n[00:04.00] ignored"),
    record("Night Owls", "Blue Hour", plain="Lamps hum low\nstreets go blue\nwe wait for you"),
    # Synced lyrics only: the time tags go, so does one blank after them.
    record("Night Owls", "Don't Stop", synced="[00:12.34] Keep the engine running\n"
           "[00:15.00][01:15.00]  keep the lights on\n[00:18.5]\n[1:02:03] long songs too\n"
           "[0:2] not a tag\n[00:20.00]done"),
    # Instrumental, with no lyrics at all.
    record("Paper Kites Club", "Kite Strings", instrumental=True),
    # Not ASCII: é and curly quotes are in code page 1252; the Japanese
    # character and the emoji (outside the Basic Multilingual Plane) are not.
    record("Zoë Lune", "Été", plain="Café au lait, \u201cmon cœur\u201d\r\nit\u2019s 夜 now \U0001F319\n"
           "fin"),
    # An artist and a track holding every byte that must be encoded.
    record("AC/DC & Sons + 100% #1?", "Don't Stop? Été € ’", plain="Special delivery\nfound"),
    # Names and lyrics in other scripts: Greek, Japanese names with a Korean
    # lyric and an emoji, Russian.
    record("Νυχτερινά Πουλιά", "Γαλάζια Ώρα", plain="Οι λάμπες βουίζουν\nο δρόμος γίνεται μπλε"),
    record("Νυχτερινά Πουλιά", "Μην Σταματάς", plain="Μην σταματάς τη μηχανή\nτα φώτα μένουν αναμμένα"),
    record("夜の鳥", "青い時間", plain="등불이 낮게 울리고\n거리는 파랗게 \U0001F319"),
    record("Ночные Птицы", "Синий Час", plain="Фонари гудят\nулицы синеют"),
]:
    RECORDS[(r["artistName"], r["trackName"])] = r

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
        path, _, query = self.path.partition("?")
        if path != "/api/get":
            return "path %r" % path, None, None
        if self.headers.get("User-Agent") != "Songlark/" + self.server.version:
            return "user agent %r" % self.headers.get("User-Agent"), None, None
        pairs = [p.split("=", 1) for p in query.split("&")]
        if [p[0] for p in pairs] != ["artist_name", "track_name"] or any(len(p) != 2 for p in pairs):
            return "parameters %r" % query, None, None
        values = []
        for _, raw in pairs:
            if not PLAIN_PARAM.fullmatch(raw):
                return "encoding %r" % raw, None, None
            try:
                values.append(urllib.parse.unquote_to_bytes(raw).decode("utf-8"))
            except UnicodeDecodeError:
                return "not UTF-8 %r" % raw, None, None
        return None, values[0], values[1]

    def do_GET(self):
        problem, artist, track = self.problem()
        self.server.log({"event": "request", "artist": artist, "track": track,
                         "agent": self.headers.get("User-Agent"), "problem": problem})
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
        found = RECORDS.get((artist, track))
        if found is None:
            self.send_json(404, {"code": 404, "name": "TrackNotFound",
                                 "message": "Failed to find specified track"})
            return
        self.send_json(200, found)

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
