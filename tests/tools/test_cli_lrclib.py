"""songlark-cli fetch --lrclib against the LRCLIB stand-in on loopback, under
Wine (--runner): artist and title reach the server as the right Unicode text,
lyrics come back as the right code page 1252 bytes with CR LF, each fault
gives no lyric within its bound, and a self-signed HTTPS server gives none
either, for its certificate. Natively the option is refused: that build has
no WinHTTP."""
import argparse
import contextlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

failures = []
ONE_MIB = 1024 * 1024
ERROR_FILE_TOO_LARGE = 223
# A receive that runs out: WinHTTP's own code on Windows, WinSock's
# WSAETIMEDOUT from Wine's WinHTTP.
TIMEOUTS = (12002, 10060)
# A refused certificate: ERROR_WINHTTP_SECURE_FAILURE on Windows; Wine's
# WinHTTP finds ERROR_WINHTTP_SECURE_INVALID_CA (12045) and reports
# ERROR_WINHTTP_SECURE_CHANNEL_ERROR.
CERTIFICATE_REFUSED = (12175, 12157, 12045)


def error_of(stderr):
    """The error code songlark-cli printed, or None."""
    text = stderr.decode(errors="replace")
    marker = "no answer from LRCLIB (error "
    return int(text.split(marker, 1)[1].split(")", 1)[0]) if marker in text else None


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


@contextlib.contextmanager
def stand_in(args, work, tls=None):
    """The stand-in on a free port; yields (base URL, path of its request log)."""
    port_file = os.path.join(work, "port")
    log = os.path.join(work, "requests.log")
    for f in (port_file, log):
        if os.path.exists(f):
            os.remove(f)
    server = os.path.join(args.source_dir, "tools", "lrclib", "server.py")
    extra = ["--tls", *tls] if tls else []
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

    for bad in [["--lrclib"], ["--lrclib", "ftp://127.0.0.1", "a", "b"], ["--lrclib", "http://127.0.0.1/api", "a", "b"],
                ["--lrclib", "http://127.0.0.1", "a"], ["--site", "127.0.0.1:1", "--lrclib", "http://127.0.0.1", "a", "b"]]:
        r = fetch(*bad)
        check(f"usage {bad}", (r.returncode, b"--lrclib BASEURL" in r.stderr), (2, True))

    if not args.runner:
        r = fetch("--lrclib", "http://127.0.0.1:1", "Some Artist", "A Song")
        check("native --lrclib", (r.returncode, b"needs the Windows build" in r.stderr), (2, True))
        return report(work)

    with stand_in(args, work) as (base, log):
        cases = [
            ("Some Artist", "A Song", b"Paper boats on the kitchen floor\r\nwe sail them to the door\r\n\r\nand back again"),
            ("Night Owls", "Don't Stop",
             b"Keep the engine running\r\n keep the lights on\r\n\r\nlong songs too\r\n[0:2] not a tag\r\ndone"),
            ("Paper Kites Club", "Kite Strings", b"[Instrumental]"),
            ("Zo\u00eb Lune", "\u00c9t\u00e9", b"Caf\xe9 au lait, \x93mon c\x9cur\x94\r\nit\x92s ? now ?\r\nfin"),
            ("AC/DC & Sons + 100% #1?", "Don't Stop? \u00c9t\u00e9 \u20ac \u2019", b"Special delivery\r\nfound"),
            ("Nobody Known", "No Such Song", None),
            ("Songlark Faults", "Server Error", None),
            ("Songlark Faults", "Malformed", None),
            ("Songlark Faults", "Huge", None),
            ("Songlark Faults", "Exactly One MiB", b"a" * (ONE_MIB - 39)),
        ]
        for artist, title, want in cases:
            r = fetch("--lrclib", base, artist, title)
            check(f"{artist} / {title}", (r.returncode, r.stdout), (0, want) if want is not None else (1, b""))
            check(f"{artist} / {title} is quick", r.elapsed < 10, True)
        r = fetch("--lrclib", base, "Songlark Faults", "Huge")
        check("over 1 MiB: the reason", error_of(r.stderr), ERROR_FILE_TOO_LARGE)
        seen = [(e["artist"], e["track"], e["agent"], e["problem"]) for e in read_log(log)]
        want = [(a, t, "Songlark/2.25", None) for a, t, _ in cases] + [("Songlark Faults", "Huge", "Songlark/2.25", None)]
        check("requests as the stand-in decoded them", seen, want)

        # The one server that never answers, within the real 10 s receive bound.
        r = fetch("--lrclib", base, "Songlark Faults", "Silent")
        check("silent server", r.returncode, 1)
        check("silent server: the reason", error_of(r.stderr) in TIMEOUTS, True)
        check("silent server ends by the receive bound", 9 < r.elapsed < 25, True)
        print(f"silent server: ended after {r.elapsed:.1f} s")

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
            check("self-signed", (r.returncode, r.stdout), (1, b""))
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
