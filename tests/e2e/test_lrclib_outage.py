#!/usr/bin/env python3
"""Songs downloaded while LRCLIB cannot be reached (nobody listens on its
port) stay "SEARCH" on the real songlark.exe, and the source is probed by one
request at a time with a back-off that doubles; once the stand-in listens
there again, every song turns "OK". The back-off's base is shortened through
SONGLARK_TEST_RETRY_MS so that the test takes a minute, not hours. Then the
same stand-in turns busy (429 with Retry-After): the watcher asks it nothing
more until the time it named has passed, even though its own back-off would
ask sooner; the new songs stay "SEARCH" and turn "OK" once it is not busy.

OUTAGE_S and OUTAGE_BASE_S in the environment lengthen the outage and set the
back-off's base (30 is the program's own), to measure longer outages."""
import json
import os
import socket
import subprocess
import threading
import time

import sites
import winetools

KEY = r"HKLM\Software\Hollowfen\Songlark"
BASE_S = int(os.environ.get("OUTAGE_BASE_S", "2"))
OUTAGE_S = int(os.environ.get("OUTAGE_S", "22"))
SONGS = [("Some Artist", "A Song"), ("Night Owls", "Blue Hour"), ("Night Owls", "Don't Stop")]
LATE_SONG = ("Zo\u00eb Lune", "\u00c9t\u00e9")  # downloaded during the outage
RETRY_AFTER_S = 12
BUSY_FOR_S = 30
BUSY_SONGS = [("Paper Kites Club", "Kite Strings"), ("The Killers", "Mr. Brightside")]


class StandInOnPort(sites.StandInLrclib):
    def __init__(self, source_dir, port):
        super().__init__(source_dir)
        self.fixed_port = port

    def arguments(self):
        self.busy_file = os.path.join(self.work, "busy")
        return super().arguments() + ["--port", str(self.fixed_port), "--busy-file", self.busy_file]

    def busy(self, seconds):
        with open(self.busy_file, "w") as f:
            f.write("%d\n" % seconds)

    def busy_requests(self):
        """The requests answered 429, as the stand-in logged them."""
        with open(self.log, encoding="utf-8") as f:
            return [e for e in map(json.loads, f) if e.get("event") == "request" and e.get("busy")]


class DebugLines:
    """The program's debugger output, each line with the time it came."""

    def __init__(self, stream):
        self.lines = []
        self.thread = threading.Thread(target=self.read, args=(stream,), daemon=True)
        self.thread.start()

    def read(self, stream):
        for line in iter(stream.readline, b""):
            self.lines.append((time.time(), line.decode("cp1252", errors="replace")))

    def failed_asks(self):
        return [t for t, line in list(self.lines) if "could not ask for" in line]


def all_ok(wp, songs):
    return all(("OK",) + s in winetools.song_rows(wp) for s in songs)


def drop(lime, n, song):
    with open(os.path.join(lime, "T-%d-%s - %s.mp3" % (n, song[0], song[1])), "wb") as f:
        f.write(b"\0" * 10)


def test(args):
    with winetools.Prefix(args.bin_dir, "outage") as wp:
        drive_c = os.path.join(wp.path, "drive_c")
        lime = os.path.join(drive_c, "lime")
        os.makedirs(lime)
        exe = winetools.install_exe(args.exe, os.path.join(drive_c, "Songlark"))
        probe = socket.socket()
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
        probe.close()  # nobody listens there now: every connection is refused
        wp.reg_add(KEY, "CheckLimeWire", "REG_DWORD", "1")
        wp.reg_add(KEY, "LimeWirePath", "REG_SZ", r"C:\lime")
        wp.reg_add(KEY, "LrclibUrl", "REG_SZ", "http://127.0.0.1:%d" % port)

        env = dict(wp.env, WINEDEBUG="-all,+debugstr", SONGLARK_TEST_RETRY_MS=str(BASE_S * 1000))
        proc = subprocess.Popen([winetools.WINE, exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        debug = DebugLines(proc.stderr)
        try:
            assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
            for n, song in enumerate(SONGS):
                drop(lime, n, song)
            start = time.time()
            time.sleep(OUTAGE_S / 2)
            drop(lime, 9, LATE_SONG)
            time.sleep(OUTAGE_S / 2)
            table = winetools.song_rows(wp)
            for song in SONGS + [LATE_SONG]:
                assert ("SEARCH",) + song in table, (song, table)

            asks = debug.failed_asks()
            gaps = [b - a for a, b in zip(asks, asks[1:])]
            print("outage of %d s, %d songs, back-off base %d s: %d requests, %s s apart" % (
                OUTAGE_S, len(SONGS) + 1, BASE_S, len(asks), ", ".join("%.1f" % g for g in gaps)))
            assert asks and asks[0] - start < 12, "the first song was not asked at once: %s" % asks
            # One probe at a time, each after the source's doubled wait (less
            # half a second of reading the pipe); without it, each new song
            # would be tried at its first pass, 5 s apart.
            for k, gap in enumerate(gaps):
                assert gap >= BASE_S * 2 ** k - 0.5, "request %d came %.1f s after the one before" % (k + 2, gap)

            # The source comes back: every song follows.
            with StandInOnPort(args.source_dir, port) as server:
                back = time.time()
                # The next probe comes at most one doubled wait after the last
                # failure, then one song per 5 s pass.
                limit = BASE_S * 2 ** len(asks) + 5 * (len(SONGS) + 1) + 30
                assert winetools.wait_for(lambda: all_ok(wp, SONGS + [LATE_SONG]), limit, 1), winetools.song_rows(wp)
                print("all %d songs OK %.1f s after the source came back" % (len(SONGS) + 1, time.time() - back))
                asked = server.requests()
                assert sorted((a, t) for a, t, _ in asked) == sorted(SONGS + [LATE_SONG]), asked

                # Busy: 429 with Retry-After holds every request back that long.
                server.busy(RETRY_AFTER_S)
                for n, song in enumerate(BUSY_SONGS):
                    drop(lime, 20 + n, song)
                asked_at = []
                end = time.time() + BUSY_FOR_S
                while time.time() < end:
                    asked_at += [time.time()] * (len(server.busy_requests()) - len(asked_at))
                    time.sleep(0.1)
                table = winetools.song_rows(wp)
                for song in BUSY_SONGS:
                    assert ("SEARCH",) + song in table, (song, table)
                gaps = [b - a for a, b in zip(asked_at, asked_at[1:])]
                print("busy for %d s with Retry-After %d: %d requests, %s s apart" % (
                    BUSY_FOR_S, RETRY_AFTER_S, len(asked_at), ", ".join("%.1f" % g for g in gaps)))
                assert asked_at, "nothing was asked"
                # Without the pause each song would be tried in turn at every 5 s pass.
                assert all(g >= RETRY_AFTER_S - 0.5 for g in gaps), gaps
                assert len(asked_at) <= BUSY_FOR_S // RETRY_AFTER_S + 1, asked_at
                os.remove(server.busy_file)
                assert winetools.wait_for(lambda: all_ok(wp, BUSY_SONGS), RETRY_AFTER_S + 30, 1), winetools.song_rows(wp)
            wp.wintool("close", "Peerpal")
            proc.wait(timeout=20)
        finally:
            if proc.poll() is None:
                proc.kill()


if __name__ == "__main__":
    winetools.main(test)
