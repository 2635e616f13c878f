"""songlark-cli fetch against the lyrics-site stand-in on loopback, natively
and under Wine (--runner): the fixtures' lyrics byte for byte, exit statuses
0 found / 1 not found / 2 usage / 3 could not ask, for a site that never
answers and for one that nobody serves."""
import argparse
import contextlib
import os
import socket
import subprocess
import sys
import time

failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


@contextlib.contextmanager
def stand_in(args, mode):
    """The stand-in on a free port; yields its site text "127.0.0.1:PORT"."""
    os.makedirs(args.work_dir, exist_ok=True)
    port_file = os.path.join(args.work_dir, f"fetch-{mode}-{os.getpid()}.port")
    if os.path.exists(port_file):
        os.remove(port_file)
    server = os.path.join(args.source_dir, "tools", "lyrics_site", "server.py")
    proc = subprocess.Popen([sys.executable, server, "--port", "0", "--port-file", port_file, "--mode", mode],
                            stderr=subprocess.DEVNULL)
    try:
        end = time.time() + 10
        while not os.path.exists(port_file):
            assert time.time() < end and proc.poll() is None, "the stand-in did not start"
            time.sleep(0.05)
        with open(port_file) as f:
            yield "127.0.0.1:" + f.read().strip()
    finally:
        proc.terminate()
        proc.wait(timeout=10)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--runner")
    ap.add_argument("--source-dir", required=True)
    ap.add_argument("--work-dir", required=True)
    args = ap.parse_args()
    prefix = [args.runner] if args.runner else []

    def fetch(*cli_args, timeout=120):
        return subprocess.run(prefix + [args.cli, "fetch", *cli_args], capture_output=True, timeout=timeout)

    expected_dir = os.path.join(args.source_dir, "tools", "lyrics_site", "expected")
    with stand_in(args, "serve") as site:
        for artist, title, name in [("Some Artist", "A Song", "some-artist--a-song"),
                                    ("Night Owls", "Blue Hour", "night-owls--blue-hour"),
                                    ("NIGHT OWLS", "don't stop", "night-owls--dont-stop"),
                                    ("Paper Kites Club", "Kite Strings", "paper-kites-club--kite-strings")]:
            with open(os.path.join(expected_dir, name + ".lyric"), "rb") as f:
                want = f.read()
            if args.runner:
                # The Windows companion runs in UTF-8 (its manifest): the
                # site's code page 1252 text reaches it converted.
                want = want.decode("cp1252").encode("utf-8")
            r = fetch("--site", site, artist, title)
            check(f"{artist} / {title} status", r.returncode, 0)
            check(f"{artist} / {title} lyric", r.stdout, want)
        # "<br />" only, a listed page that is missing (404), no such song, no such artist, empty input.
        for artist, title in [("Paper Kites Club", "Paper Lanterns"), ("Night Owls", "Streetlight Waltz"),
                              ("Night Owls", "Red Hour"), ("Nobody", "A Song"), ("", "A Song")]:
            r = fetch("--site", site, artist, title)
            check(f"{artist} / {title} status", r.returncode, 1)
            check(f"{artist} / {title} output", r.stdout, b"")

    for bad in [[], ["Some Artist"], ["a", "b", "c"], ["--site"], ["--site", "h:0", "a", "b"],
                ["--site", "", "a", "b"], ["--site", "127.0.0.1:1"]]:
        r = fetch(*bad)
        check(f"usage {bad} status", r.returncode, 2)
        check(f"usage {bad} message", b"usage: songlark-cli fetch [--site HOST[:PORT] | --lrclib BASEURL] ARTIST TITLE" in r.stderr,
              True)

    # Nobody listening: could not ask, at once.
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        closed = "127.0.0.1:%d" % s.getsockname()[1]
    r = fetch("--site", closed, "Some Artist", "A Song")
    check("refused site", (r.returncode, b"could not ask" in r.stderr), (3, True))

    # A site that accepts and never answers: the program's own wait ends it.
    with stand_in(args, "hang") as site:
        start = time.time()
        r = fetch("--site", site, "Some Artist", "A Song", timeout=90)
        elapsed = time.time() - start
        check("silent site status", (r.returncode, b"could not ask" in r.stderr), (3, True))
        check("silent site ends within the wait", 25 < elapsed < 50, True)
        print(f"silent site: ended after {elapsed:.1f} s")

    for f in failures:
        print("FAIL:", f)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
