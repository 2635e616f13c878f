#!/usr/bin/env python3
"""How well `songlark-cli lookup` finds the right song for downloads named the
way file sharing names them (bench/lookup_corpus.py), against the LRCLIB
stand-in on loopback:

    python3 bench/lookup_bench.py [--cli build/win64/tools/songlark-cli.exe] [--details]

The Windows CLI runs under wine64 in a throwaway prefix (an Xvfb display of
its own is started when there is none). For each category and in total it
reports the songs the stand-in has that were found right, found wrong or not
found, the absent songs found (wrongly) or not found, and the requests per
download, counted from the CLI's output and from the stand-in's own log.
Not a test: a measurement, whatever it finds. --self-test checks the output
parser against a hand-written sample and exits.
"""
import argparse
import collections
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import lookup_corpus  # noqa: E402

BATCH = 30  # files per CLI run: one Wine start each, command lines stay short
WINE = "/usr/lib/wine/wine64"


def parse_lookup_output(text):
    """The CLI's report: one dict per file, in order, with the file as given,
    the requests as (path and query, status or None when it could not ask)
    and the outcome ("found", id), ("not found", None) or ("could not ask", why)."""
    files = []
    for line in text.splitlines():
        if line.startswith("file: "):
            files.append({"file": line[len("file: "):], "lines": [], "requests": [], "outcome": None})
            continue
        if not files or not line.startswith("  "):
            continue
        item = line.strip()
        files[-1]["lines"].append(item)
        if item.startswith("request: "):
            sent, arrow, answer = item[len("request: "):].rpartition(" -> ")
            if not arrow:
                sent, answer = answer, ""
            files[-1]["requests"].append((sent.partition(" ")[0], int(answer) if answer.isdigit() else None))
        elif item.startswith("outcome: "):
            outcome = item[len("outcome: "):]
            if outcome.startswith("found id="):
                files[-1]["outcome"] = ("found", int(outcome[len("found id="):].split()[0]))
            elif outcome == "not found":
                files[-1]["outcome"] = ("not found", None)
            else:
                files[-1]["outcome"] = ("could not ask", outcome.partition(":")[2].strip())
    return files


SAMPLE = """file: Z:\\c\\000\\T-3552000-The Killers - Mr. Brightside.mp3
  name: artist="The Killers" title="Mr. Brightside"
  tag: none
  row: artist="The Killers" title="Mr. Brightside"
  request: /api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside&duration=222 -> 200
  outcome: found id=9
file: Z:\\c\\001\\Clocks - Coldplay.dat
  name: artist="Clocks" title="Coldplay"
  tag: artist="" title="" album="" length=0
  row: artist="Clocks" title="Coldplay"
  request: /api/get?artist_name=Clocks&track_name=Coldplay -> 404
  request: /api/search?track_name=Coldplay&artist_name=Clocks -> 200
  request: /api/get?artist_name=Coldplay&track_name=Clocks -> could not ask (error 12002)
  outcome: could not ask: error 12002
file: Z:\\c\\002\\T-9-01-untitled.mp3
  name: does not fit
  tag: none
  row: artist="" title=""
  outcome: not found
"""


def self_test():
    got = [(f["file"].rsplit("\\", 1)[1], f["requests"], f["outcome"]) for f in parse_lookup_output(SAMPLE)]
    want = [
        ("T-3552000-The Killers - Mr. Brightside.mp3",
         [("/api/get?artist_name=The%20Killers&track_name=Mr.%20Brightside&duration=222", 200)], ("found", 9)),
        ("Clocks - Coldplay.dat", [("/api/get?artist_name=Clocks&track_name=Coldplay", 404),
                                   ("/api/search?track_name=Coldplay&artist_name=Clocks", 200),
                                   ("/api/get?artist_name=Coldplay&track_name=Clocks", None)],
         ("could not ask", "error 12002")),
        ("T-9-01-untitled.mp3", [], ("not found", None)),
    ]
    for g, w in zip(got, want):
        if g != w:
            print("parser: got %r\n        want %r" % (g, w))
    ok = got == want
    print("parser self-test:", "passed" if ok else "FAILED")
    return 0 if ok else 1


class StandIn:
    def __init__(self, work):
        self.work = work
        self.log = os.path.join(work, "requests.log")

    def __enter__(self):
        port_file = os.path.join(self.work, "port")
        self.proc = subprocess.Popen([sys.executable, os.path.join(ROOT, "tools", "lrclib", "server.py"), "--port", "0",
                                      "--port-file", port_file, "--log", self.log], stderr=subprocess.DEVNULL)
        end = time.time() + 10
        while not os.path.exists(port_file):
            if time.time() > end or self.proc.poll() is not None:
                raise SystemExit("the LRCLIB stand-in did not start")
            time.sleep(0.05)
        with open(port_file) as f:
            self.url = "http://127.0.0.1:" + f.read().strip()
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait(timeout=10)

    def requests(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [e for e in map(json.loads, f) if e.get("event") == "request"]


def run_cli(args, url, paths, env):
    """One CLI run over paths; returns its parsed report."""
    given = ["Z:" + p.replace("/", "\\") for p in paths] if args.wine else paths
    cmd = ([WINE] if args.wine else []) + [args.cli, "lookup", "--lrclib", url] + given
    r = subprocess.run(cmd, capture_output=True, timeout=60 + 30 * len(paths), env=env)
    if r.returncode != 0:
        raise SystemExit("songlark-cli lookup ended with %d: %s" % (r.returncode, r.stderr.decode(errors="replace")[:500]))
    files = parse_lookup_output(r.stdout.decode("utf-8", errors="replace"))
    if len(files) != len(paths):
        raise SystemExit("songlark-cli lookup reported %d files of %d" % (len(files), len(paths)))
    return files


def judge(download, report):
    """'right', 'wrong', 'not found' or 'could not ask'. The song's record
    without a lyric is no lyric, not another song's: not found. Its record of
    another length is another recording: wrong."""
    kind, value = report["outcome"] or ("could not ask", "no outcome line")
    if kind == "found":
        if value in lookup_corpus.right_ids(download):
            return "right"
        lyricless = {r["id"] for r in lookup_corpus.same_song(download) if not (r["plain"] or r["synced"])}
        return "not found" if value in lyricless else "wrong"
    return kind


def print_table(rows):
    head = "%-28s %5s %6s %6s %6s %6s %9s" % ("category", "files", "right", "wrong", "none", "noask", "req/file")
    print(head)
    print("-" * len(head))
    for name, c in rows:
        print("%-28s %5d %6d %6d %6d %6d %9.2f" % (name, c["files"], c["right"], c["wrong"], c["not found"],
                                                 c["could not ask"], c["requests"] / max(c["files"], 1)))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--cli", default=os.path.join(ROOT, "build", "win64", "tools", "songlark-cli.exe"))
    ap.add_argument("--details", action="store_true", help="print every download that was not found right")
    ap.add_argument("--keep", help="write the corpus and logs here and keep them")
    ap.add_argument("--self-test", action="store_true")
    args = ap.parse_args()
    if args.self_test:
        return self_test()
    args.cli = os.path.abspath(args.cli)
    args.wine = args.cli.lower().endswith(".exe")
    if not os.path.exists(args.cli):
        raise SystemExit("no %s: build songlark-cli first" % args.cli)
    if args.wine and not os.environ.get("DISPLAY"):
        # Wine wants a display even for a console program's prefix.
        os.execvp(os.path.join(ROOT, "scripts", "with-xvfb.sh"),
                  [os.path.join(ROOT, "scripts", "with-xvfb.sh"), sys.executable] + sys.argv)

    work = args.keep or tempfile.mkdtemp(prefix="lookup-bench-")
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ, WINEDEBUG="-all")
    prefix = os.path.join(work, "wineprefix")
    if args.wine:
        env["WINEPREFIX"] = prefix
        subprocess.run([os.path.join(ROOT, "scripts", "wine-prefix.sh"), prefix, "win64", "--keep-server"],
                       env=env, check=True, stdout=subprocess.DEVNULL)
    try:
        downloads = lookup_corpus.write(os.path.join(work, "corpus"))
        per = collections.OrderedDict((c, collections.Counter()) for c in lookup_corpus.CATEGORIES)
        misses = []
        with StandIn(work) as server:
            logged_before = 0
            for start in range(0, len(downloads), BATCH):
                batch = downloads[start:start + BATCH]
                reports = run_cli(args, server.url, [p for p, _ in batch], env)
                logged = len(server.requests())
                if logged - logged_before != sum(len(r["requests"]) for r in reports):
                    print("note: batch at %d: the stand-in logged %d requests, the CLI reported %d"
                          % (start, logged - logged_before, sum(len(r["requests"]) for r in reports)))
                logged_before = logged
                for (path, d), report in zip(batch, reports):
                    verdict = judge(d, report)
                    c = per[d.category]
                    c["files"] += 1
                    c[verdict] += 1
                    c["requests"] += len(report["requests"])
                    if verdict != "right" and not (d.song is None and verdict == "not found"):
                        misses.append((d, verdict, report))
            logged_total = len(server.requests())
    finally:
        if args.wine:
            subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)

    total = collections.Counter()
    for c in per.values():
        total.update(c)
    print_table(list(per.items()) + [("total", total)])
    present = collections.Counter()
    for name, c in per.items():
        if name != "absent":
            present.update(c)
    absent = per["absent"]
    files = total["files"]
    print()
    print("songs the stand-in has: %d of %d found right (%.1f%%), %d found wrong, %d not found, %d could not ask"
          % (present["right"], present["files"], 100.0 * present["right"] / max(present["files"], 1),
             present["wrong"], present["not found"], present["could not ask"]))
    print("songs it lacks: %d of %d not found, %d found (wrongly)"
          % (absent["not found"], absent["files"], absent["wrong"]))
    print("requests per download: %.2f by the CLI's report, %.2f by the stand-in's log (%d files)"
          % (total["requests"] / max(files, 1), logged_total / max(files, 1), files))
    if args.details:
        for d, verdict, report in misses:
            print("\n[%s] %s: %s (right ids %s)" % (d.category, d.file_name(), verdict,
                                                     sorted(lookup_corpus.right_ids(d)) or "none"))
            for line in report["lines"]:
                print("   ", line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
