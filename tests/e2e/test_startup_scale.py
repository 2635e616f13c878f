#!/usr/bin/env python3
"""Start-up with a large lyric store: 20 000 stored lyrics in 5 000 artist
folders are all listed when the window comes up; prints how long it took."""
import os
import time

import winetools

ARTISTS = 5000
PER_ARTIST = 4


def test(args):
    with winetools.Prefix(args.bin_dir, "scale") as wp:
        app_dir = os.path.join(wp.path, "drive_c", "Songlark")
        exe = winetools.install_exe(args.exe, app_dir)
        lyrics = os.path.join(app_dir, "Lyrics")
        for a in range(ARTISTS):
            folder = os.path.join(lyrics, "Artist %04d" % a)
            os.makedirs(folder)
            for t in range(PER_ARTIST):
                title = "Song %d of %04d" % (t, a)
                with open(os.path.join(folder, title + ".lyric"), "wb") as f:
                    f.write(b"Artist %04d - %s\r\n\r\nla la\r\n" % (a, title.encode()))

        start = time.time()
        proc = wp.start([exe])
        try:
            assert wp.wintool("wait", "Peerpal", 120000, timeout=180, check=False).returncode == 0, "no window"
            # The list answers once the dialog's start-up has finished.
            count = int(wp.wintool("count", "Peerpal", 1007, timeout=180).stdout.decode().strip())
            up = time.time() - start
            assert count == ARTISTS * PER_ARTIST, "listed %d rows" % count
            print("window up with all %d rows listed after %.1f s (Wine start included)" % (count, up))
            wp.wintool("close", "Peerpal")
            proc.wait(timeout=30)
        finally:
            if proc.poll() is None:
                proc.kill()


if __name__ == "__main__":
    winetools.main(test)
