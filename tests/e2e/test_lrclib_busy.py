#!/usr/bin/env python3
"""An LRCLIB that answers 429 with Retry-After on the real songlark.exe: the
watcher asks that source nothing more until the time it named has passed,
even though its own back-off (shortened through SONGLARK_TEST_RETRY_MS)
would ask sooner; the songs stay "SEARCH", and turn "OK" once the source is
no longer busy."""
import json
import os
import subprocess
import time

import sites
import winetools

KEY = r"HKLM\Software\Hollowfen\Songlark"
BASE_S = 1
RETRY_AFTER_S = 12
BUSY_FOR_S = 30
SONGS = [("Some Artist", "A Song"), ("Night Owls", "Blue Hour")]


class BusyStandIn(sites.StandInLrclib):
    def arguments(self):
        self.busy_file = os.path.join(self.work, "busy")
        with open(self.busy_file, "w") as f:
            f.write("%d\n" % RETRY_AFTER_S)
        return super().arguments() + ["--busy-file", self.busy_file]

    def busy_requests(self):
        """The times of the requests answered 429, as the stand-in logged them."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [e for e in map(json.loads, f) if e.get("event") == "request" and e.get("busy")]


def test(args):
    with winetools.Prefix(args.bin_dir, "busy") as wp, BusyStandIn(args.source_dir) as server:
        drive_c = os.path.join(wp.path, "drive_c")
        lime = os.path.join(drive_c, "lime")
        os.makedirs(lime)
        exe = winetools.install_exe(args.exe, os.path.join(drive_c, "Songlark"))
        wp.reg_add(KEY, "CheckLimeWire", "REG_DWORD", "1")
        wp.reg_add(KEY, "LimeWirePath", "REG_SZ", r"C:\lime")
        wp.reg_add(KEY, "LrclibUrl", "REG_SZ", server.url)

        env = dict(wp.env, SONGLARK_TEST_RETRY_MS=str(BASE_S * 1000))
        proc = subprocess.Popen([winetools.WINE, exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
            for n, (artist, title) in enumerate(SONGS):
                with open(os.path.join(lime, "T-%d-%s - %s.mp3" % (n, artist, title)), "wb") as f:
                    f.write(b"\0" * 10)
            asked_at = []
            end = time.time() + BUSY_FOR_S
            while time.time() < end:
                count = len(server.busy_requests())
                while len(asked_at) < count:
                    asked_at.append(time.time())
                time.sleep(0.1)
            table = winetools.song_rows(wp)
            for song in SONGS:
                assert ("SEARCH",) + song in table, (song, table)
            gaps = [b - a for a, b in zip(asked_at, asked_at[1:])]
            print("busy for %d s with Retry-After %d: %d requests, %s s apart" % (
                BUSY_FOR_S, RETRY_AFTER_S, len(asked_at), ", ".join("%.1f" % g for g in gaps)))
            assert asked_at, "nothing was asked"
            # Without the pause each song would be tried in turn at every 5 s pass.
            assert all(g >= RETRY_AFTER_S - 0.5 for g in gaps), gaps
            assert len(asked_at) <= BUSY_FOR_S // RETRY_AFTER_S + 1, asked_at

            os.remove(server.busy_file)
            done = winetools.wait_for(lambda: all(("OK",) + s in winetools.song_rows(wp) for s in SONGS), RETRY_AFTER_S + 30, 1)
            assert done, winetools.song_rows(wp)
            wp.wintool("close", "Peerpal")
            proc.wait(timeout=20)
        finally:
            if proc.poll() is None:
                proc.kill()


if __name__ == "__main__":
    winetools.main(test)
