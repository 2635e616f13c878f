"""songlark-cli fetch --lrclib against the LRCLIB stand-in on loopback, under
Wine (--runner): artist and title reach the server as the right Unicode text,
lyrics come back as the right code page 1252 bytes with CR LF, not found is
exit 1, each fault is could not ask (exit 3, the reason on stderr) within
its bound, a base URL with a path prefix is asked below it, and a
self-signed HTTPS server is could not ask, for its certificate. Natively the
option is refused: that build has no WinHTTP."""
import argparse
import concurrent.futures
import contextlib
import json
import socket
import os
import shutil
import subprocess
import sys
import tempfile
import time

failures = []
ONE_MIB = 1024 * 1024
# A refused certificate: ERROR_WINHTTP_SECURE_FAILURE on Windows; Wine's
# WinHTTP finds ERROR_WINHTTP_SECURE_INVALID_CA (12045) and reports
# ERROR_WINHTTP_SECURE_CHANNEL_ERROR.
CERTIFICATE_REFUSED = (12175, 12157, 12045)


def error_of(stderr):
    """The error code in the reason songlark-cli printed, or None."""
    text = stderr.decode(errors="replace")
    marker = "(error "
    return int(text.split(marker, 1)[1].split(")", 1)[0]) if marker in text else None


def free_port():
    """A loopback port nobody listens on (connection refused)."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


@contextlib.contextmanager
def stand_in(args, work, tls=None, extra=()):
    """The stand-in on a free port; yields (base URL, path of its request log)."""
    port_file = os.path.join(work, "port")
    log = os.path.join(work, "requests.log")
    for f in (port_file, log):
        if os.path.exists(f):
            os.remove(f)
    server = os.path.join(args.source_dir, "tools", "lrclib", "server.py")
    extra = list(extra) + (["--tls", *tls] if tls else [])
    proc = subprocess.Popen([sys.executable, server, "--port", "0", "--port-file", port_file, "--log", log, *extra],
                            stderr=subprocess.DEVNULL)
    try:
        end = time.time() + 10
        while not os.path.exists(port_file):
            assert time.time() < end and proc.poll() is None, "the stand-in did not start"
            time.sleep(0.05)
        with open(port_file) as f:
            yield ("https" if tls else "http") + "://127.0.0.1:" + f.read().strip(), log
    finally:
        proc.terminate()
        proc.wait(timeout=10)


def read_log(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [json.loads(line) for line in f]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--runner")
    ap.add_argument("--source-dir", required=True)
    ap.add_argument("--work-dir", required=True)
    args = ap.parse_args()
    prefix = [args.runner] if args.runner else []
    os.makedirs(args.work_dir, exist_ok=True)
    work = tempfile.mkdtemp(prefix="lrclib-", dir=args.work_dir)
    if args.runner:
        # The code page 1252 answers are those of a Windows that ignores the
        # manifest's UTF-8 code page: a copy asking for a value none knows.
        with open(args.cli, "rb") as f:
            exe = f.read()
        args.cli = os.path.join(work, "songlark-cli.exe")
        with open(args.cli, "wb") as f:
            f.write(exe.replace(b">UTF-8</activeCodePage>", b">ANSI_</activeCodePage>"))

    def fetch(*cli_args, timeout=90):
        # Wine hands the program its arguments in the ANSI code page (1252
        # here); they are given as Unicode text.
        start = time.time()
        r = subprocess.run(prefix + [args.cli, "fetch", *cli_args], capture_output=True, timeout=timeout)
        r.elapsed = time.time() - start
        return r

    for bad in [["--lrclib"], ["--lrclib", "ftp://127.0.0.1", "a", "b"], ["--lrclib", "http://127.0.0.1/a?b", "a", "b"],
                ["--lrclib", "http://127.0.0.1", "a"], ["--site", "127.0.0.1:1", "--lrclib", "http://127.0.0.1", "a", "b"]]:
        r = fetch(*bad)
        check(f"usage {bad}", (r.returncode, b"--lrclib BASEURL" in r.stderr), (2, True))

    if not args.runner:
        r = fetch("--lrclib", "http://127.0.0.1:1", "Some Artist", "A Song")
        check("native --lrclib", (r.returncode, b"needs the Windows build" in r.stderr), (2, True))
        r = fetch("Some Artist", "A Song")
        check("native, the built-in server", (r.returncode, b"needs the Windows build" in r.stderr), (2, True))
        return report(work)

    busy = os.path.join(work, "busy")
    with stand_in(args, work, extra=["--busy-file", busy]) as (base, log):
        found = [
            ("Some Artist", "A Song", b"Paper boats on the kitchen floor\r\nwe sail them to the door\r\n\r\nand back again"),
            ("Night Owls", "Don't Stop",
             b"Keep the engine running\r\n keep the lights on\r\n\r\nlong songs too\r\n[0:2] not a tag\r\ndone"),
            ("Paper Kites Club", "Kite Strings", b"[Instrumental]"),
            ("Zo\u00eb Lune", "\u00c9t\u00e9", b"Caf\xe9 au lait, \x93mon c\x9cur\x94\r\nit\x92s ? now ?\r\nfin"),
            ("AC/DC & Sons + 100% #1?", "Don't Stop? \u00c9t\u00e9 \u20ac \u2019", b"Special delivery\r\nfound"),
            ("Songlark Faults", "Exactly One MiB", b"a" * (ONE_MIB - 39)),
        ]
        for artist, title, want in found + [("Nobody Known", "No Such Song", None)]:
            r = fetch("--lrclib", base, artist, title)
            check(f"{artist} / {title}", (r.returncode, r.stdout), (0, want) if want is not None else (1, b""))
            check(f"{artist} / {title} is quick", r.elapsed < 20, True)
        seen = [(e["path"], e["artist"], e["track"], e["agent"], e["problem"]) for e in read_log(log)]
        # A song LRCLIB lacks is searched for, by its fields and by its words,
        # before it counts as not found.
        want = [("/api/get", a, t, "Songlark/2.25", None) for a, t, _ in found] + [
            ("/api/get", "Nobody Known", "No Such Song", "Songlark/2.25", None),
            ("/api/search", "Nobody Known", "No Such Song", "Songlark/2.25", None),
            ("/api/search", None, None, "Songlark/2.25", None)]
        check("requests as the stand-in decoded them", seen, want)

        # Every fault is could not ask, with its reason, within its bound:
        # (title, words the reason holds, longest run in seconds, shortest).
        # Over Cap is refused by its Content-Length, before its trickling
        # body; a redirect is not followed (it leads to a lyric). Silent ends
        # by one 10 s receive wait; Trickle and Slow Headers keep every wait
        # short and only the 30 s bound of the whole call ends them.
        quick = 20  # Wine's start-up on a busy machine; far from the 30 s a read to the end would take
        faults = [
            ("Server Error", "status 500", quick, 0), ("Malformed", "not a JSON object", quick, 0),
            ("Huge", "over 1 MiB", quick, 0), ("Over Cap", "over 1 MiB", quick, 0),
            ("Unavailable 7", "status 503 (retry after 7 s)", quick, 0),
            ("Too Many 5", "status 429 (retry after 5 s)", quick, 0),
            ("Too Many date 120", "status 429 (retry after 1", quick, 0), ("Redirect", "status 302", quick, 0),
            ("Dropped", "", quick, 0), ("Short Body", "shorter than its Content-Length", quick, 0),
            ("Silent", "timed out", 25, 9), ("Trickle", "timed out", 45, 28), ("Slow Headers", "timed out", 45, 28),
        ]
        # The quick ones one after another, then the slow ones side by side
        # (one process each), so that they wait together.
        slow = [f for f in faults if f[3] > 0]
        runs = [fetch("--lrclib", base, "Songlark Faults", f[0]) for f in faults[:-len(slow)]]
        with concurrent.futures.ThreadPoolExecutor(len(slow)) as pool:
            runs += pool.map(lambda f: fetch("--lrclib", base, "Songlark Faults", f[0]), slow)
        for (title, reason, longest, shortest), r in zip(faults, runs):
            text = r.stderr.decode(errors="replace")
            check(f"{title}: could not ask", (r.returncode, r.stdout, reason in text), (3, b"", True))
            check(f"{title}: ends within {shortest}..{longest} s (took {r.elapsed:.1f} s)", shortest <= r.elapsed < longest, True)
            print(f"{title}: {text.strip()} after {r.elapsed:.1f} s")
        followed = [e for e in read_log(log) if e["artist"] == "Some Artist"]
        check("the redirect was not followed", len(followed), 1)

        # While the server is busy, every request is told to wait.
        with open(busy, "w") as f:
            f.write("42")
        r = fetch("--lrclib", base, "Some Artist", "A Song")
        os.remove(busy)
        check("busy server", (r.returncode, b"status 429 (retry after 42 s)" in r.stderr), (3, True))
        check("busy logged", read_log(log)[-1].get("busy"), True)

    # Nobody listening; a base URL with a path prefix (blanks around it).
    r = fetch("--lrclib", "http://127.0.0.1:%d" % free_port(), "Some Artist", "A Song")
    check("refused: could not ask", (r.returncode, b"could not ask" in r.stderr, r.elapsed < 20), (3, True, True))
    with stand_in(args, work, extra=["--prefix", "/lrc/lib"]) as (base, log):
        r = fetch("--lrclib", " %s/lrc/lib/ " % base, "Some Artist", "A Song")
        check("path prefix", (r.returncode, r.stdout[:16]), (0, b"Paper boats on t"))
        check("path prefix: asked below it", [e["path"] for e in read_log(log)], ["/lrc/lib/api/get"])

    # HTTPS with a certificate nobody trusts: Wine's WinHTTP speaks TLS with
    # the stand-in, then refuses the certificate and never sends the request.
    openssl = shutil.which("openssl")
    check("openssl present", openssl is not None, True)
    if openssl:
        cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
        subprocess.run([openssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                        "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert],
                       check=True, capture_output=True, timeout=60)
        with stand_in(args, work, tls=(cert, key)) as (base, log):
            r = fetch("--lrclib", base, "Some Artist", "A Song")
            check("self-signed", (r.returncode, r.stdout), (3, b""))
            check("self-signed: the reason", error_of(r.stderr) in CERTIFICATE_REFUSED, True)
            events = read_log(log)
            print("self-signed: client said %r; server saw %r" % (r.stderr.decode(errors="replace").strip(), events))
            check("self-signed: a TLS handshake was completed", {"event": "tls", "ok": True} in events, True)
            check("self-signed: no request sent", [e for e in events if e["event"] == "request"], [])
    return report(work)


def report(work):
    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failure(s)")
    if not failures:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
