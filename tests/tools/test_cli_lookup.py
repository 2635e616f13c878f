"""songlark-cli lookup, and fetch --lrclib following the same lookup, against a
small canned LRCLIB on loopback, under Wine (--runner): the report's exact
lines for a download found at once, one found by the last search, one not
found and one the server refuses (503), the requests the server saw, and exit
status 0. Natively the command is refused with 2: that build has no WinHTTP."""
import argparse
import http.server
import json
import os
import subprocess
import sys
import threading
import urllib.parse

RECORD = {"id": 7, "trackName": "Yellow", "artistName": "Coldplay", "albumName": "Parachutes", "duration": 266.0,
          "instrumental": False, "plainLyrics": "look at the stars", "syncedLyrics": None}
CLOCKS = dict(RECORD, id=8, trackName="Clocks", plainLyrics="lights go out")

# Path and query as the CLI must send them -> (status, body); anything else:
# 404 for /api/get, [] for /api/search.
ANSWERS = {
    "/api/get?artist_name=Coldplay&track_name=Yellow": (200, RECORD),
    "/api/search?q=Coldplay%20Clocks": (200, [dict(CLOCKS, id=9, artistName="Coldplay Tribute"), CLOCKS]),
    "/api/get?artist_name=Busy&track_name=Song": (503, {"message": "busy"}),
}

EXPECTED = """file: {d}T-1-Coldplay - Yellow.mp3
  name: artist="Coldplay" title="Yellow"
  tag: none
  row: artist="Coldplay" title="Yellow"
  request: /api/get?artist_name=Coldplay&track_name=Yellow -> 200
  outcome: found id=7
file: {d}T-2-Coldplay - Clocks (Live).mp3
  name: artist="Coldplay" title="Clocks (Live)"
  tag: none
  row: artist="Coldplay" title="Clocks (Live)"
  request: /api/get?artist_name=Coldplay&track_name=Clocks%20%28Live%29 -> 404
  request: /api/search?track_name=Clocks%20%28Live%29&artist_name=Coldplay -> 200
  request: /api/search?q=Coldplay%20Clocks -> 200
  outcome: found id=8
file: {d}T-3-Nobody - Nothing.mp3
  name: artist="Nobody" title="Nothing"
  tag: none
  row: artist="Nobody" title="Nothing"
  request: /api/get?artist_name=Nobody&track_name=Nothing -> 404
  request: /api/search?track_name=Nothing&artist_name=Nobody -> 200
  request: /api/search?q=Nobody%20Nothing -> 200
  outcome: not found
file: {d}T-4-Busy - Song.mp3
  name: artist="Busy" title="Song"
  tag: none
  row: artist="Busy" title="Song"
  request: /api/get?artist_name=Busy&track_name=Song -> 503
  outcome: could not ask: status 503
"""


class Canned(http.server.BaseHTTPRequestHandler):
    seen = []

    def do_GET(self):
        Canned.seen.append(self.path)
        default = (200, []) if self.path.startswith("/api/search?") else (404, {"code": 404})
        status, value = ANSWERS.get(self.path, default)
        body = json.dumps(value).encode()
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--runner")
    ap.add_argument("--source-dir", required=True)
    ap.add_argument("--work-dir", required=True)
    args = ap.parse_args()
    prefix = [args.runner] if args.runner else []
    work = os.path.join(os.path.abspath(args.work_dir), "lookup")
    os.makedirs(work, exist_ok=True)
    names = ["T-1-Coldplay - Yellow.mp3", "T-2-Coldplay - Clocks (Live).mp3", "T-3-Nobody - Nothing.mp3",
             "T-4-Busy - Song.mp3"]
    for n in names:
        open(os.path.join(work, n), "wb").close()
    shown = ("Z:" + work.replace("/", "\\") + "\\") if args.runner else work + "/"

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Canned)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = "http://127.0.0.1:%d" % server.server_address[1]
    failures = []
    try:
        run = subprocess.run(prefix + [args.cli, "lookup", "--lrclib", base] + [shown + n for n in names],
                             capture_output=True, timeout=120)
        if not args.runner:
            if run.returncode != 2 or b"Windows build" not in run.stderr:
                failures.append("native: want exit 2 and a reason, got %d %r" % (run.returncode, run.stderr))
        else:
            out = run.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
            if run.returncode != 0:
                failures.append("lookup exit %d, stderr %r" % (run.returncode, run.stderr))
            if out != EXPECTED.format(d=shown):
                failures.append("lookup report:\n" + out)
            sent = [line.split("request: ", 1)[1].rsplit(" -> ", 1)[0] for line in out.splitlines() if "request: " in line]
            if Canned.seen != sent:
                failures.append("the server saw %r, the report says %r" % (Canned.seen, sent))

            fetch = subprocess.run(prefix + [args.cli, "fetch", "--lrclib", base, "Coldplay", "Clocks (Live)"],
                                   capture_output=True, timeout=120)
            if fetch.returncode != 0 or fetch.stdout != b"lights go out":
                failures.append("fetch: exit %d, %r" % (fetch.returncode, fetch.stdout))
    finally:
        server.shutdown()
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
