#!/usr/bin/env python3
"""Lyrics from LRCLIB on the real songlark.exe under Wine, with no
"LyricsSite" and "LrclibUrl" on the stand-in: LimeWire downloads get their
lyrics stored byte for byte (code page 1252 text included, on a copy that
runs in the legacy code page as older Windows do), a manual search
stores and shows one, a song LRCLIB lacks and every fault mode turn "FALSE"
on the watcher thread and on the user-interface thread, and the program stays
usable. Then, with "LyricsSite" set, the classic site answers and LRCLIB is
not asked."""
import os
import time

import sites
import winetools

KEY = r"HKLM\Software\Hollowfen\Songlark"
IDOK, IDC_SONG, IDC_LYRIC, IDC_ARTIST = 1, 1002, 1005, 1008
NOT_FOUND = b"can't find this song's lyric!"
FAULTS = ["Server Error", "Malformed", "Huge", "Silent"]


def rows(wp):
    out = wp.wintool("rows", "Peerpal", 1007).stdout.decode("cp1252")
    return [tuple(line.split("\t")) for line in out.splitlines() if line]


def search(wp, artist, song):
    """A manual search; returns the seconds the user-interface thread spent on it and the panel's text."""
    wp.wintool("settext", "Peerpal", IDC_ARTIST, artist)
    wp.wintool("settext", "Peerpal", IDC_SONG, song)
    start = time.time()
    wp.wintool("click", "Peerpal", IDOK, timeout=60)
    took = time.time() - start
    # wintool writes in text mode: each LF of the panel's CR LF reaches us as CR LF.
    return took, wp.wintool("text", "Peerpal", IDC_LYRIC).stdout.replace(b"\r\r\n", b"\r\n")


def stored(app_dir, artist, title):
    path = os.path.join(app_dir, "Lyrics", artist, title + ".lyric")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def close(wp, proc):
    wp.wintool("close", "Peerpal")
    try:
        proc.wait(timeout=10)
    except Exception:
        proc.kill()
        raise AssertionError("songlark.exe did not end within 10 s of WM_CLOSE")


def test(args):
    with winetools.Prefix(args.bin_dir, "lrclib") as wp, sites.StandInLrclib(args.source_dir) as server, \
            sites.StandInSite(args.source_dir) as site:
        drive_c = os.path.join(wp.path, "drive_c")
        app_dir = os.path.join(drive_c, "Songlark")
        lime = os.path.join(drive_c, "lime")
        os.makedirs(lime)
        exe = winetools.install_legacy_exe(args.exe, app_dir)
        wp.reg_add(KEY, "CheckLimeWire", "REG_DWORD", "1")
        wp.reg_add(KEY, "LimeWirePath", "REG_SZ", r"C:\lime")
        wp.reg_add(KEY, "LrclibUrl", "REG_SZ", server.url)

        proc = wp.start([exe])
        assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"

        # The watcher's songs: two with lyrics, one LRCLIB lacks, each fault.
        watched = [("Some Artist", "A Song"), ("Zo\u00eb Lune", "\u00c9t\u00e9"), ("Nobody Known", "No Such Song")]
        watched += [("Songlark Faults", fault + " (watcher)") for fault in FAULTS]
        for n, (artist, title) in enumerate(watched):
            with open(os.path.join(lime, "T-%d-%s - %s.mp3" % (n, artist, title)), "wb") as f:
                f.write(b"\0" * 10)

        # Meanwhile the user searches by hand, on the user-interface thread.
        took, panel = search(wp, "Night Owls", "Don't Stop")
        lyric = b"Keep the engine running\r\n keep the lights on\r\n\r\nlong songs too\r\n[0:2] not a tag\r\ndone"
        assert stored(app_dir, "Night Owls", "Don't Stop") == b"Night Owls - Don't Stop\r\n\r\n" + lyric
        assert panel == b"Night Owls - Don't Stop\r\n\r\n" + lyric, panel
        for fault in FAULTS:
            title = fault + " (search)"
            took, panel = search(wp, "Songlark Faults", title)
            assert panel == NOT_FOUND, (fault, panel)
            assert ("FALSE", "Songlark Faults", title) in rows(wp), (fault, rows(wp))
            assert took < (25 if fault == "Silent" else 8), (fault, took)
            print("search, %s: no lyric after %.1f s" % (fault, took))

        def settled():
            table = rows(wp)
            return all(any(r[1:] == song and r[0] != "SEARCH" for r in table) for song in watched) and table
        table = winetools.wait_for(settled, 120, interval=1)
        assert table, rows(wp)
        for artist, title in watched:
            want = "OK" if artist in ("Some Artist", "Zo\u00eb Lune") else "FALSE"
            assert (want, artist, title) in table, (artist, title, table)
        assert stored(app_dir, "Some Artist", "A Song") == (
            b"Some Artist - A Song\r\n\r\n"
            b"Paper boats on the kitchen floor\r\nwe sail them to the door\r\n\r\nand back again")
        assert stored(app_dir, "Zo\u00eb Lune", "\u00c9t\u00e9") == (
            b"Zo\xeb Lune - \xc9t\xe9\r\n\r\nCaf\xe9 au lait, \x93mon c\x9cur\x94\r\nit\x92s ? now ?\r\nfin")
        assert not os.path.exists(os.path.join(app_dir, "Lyrics", "Songlark Faults", "Huge (watcher).lyric"))

        asked = server.requests()
        assert all(problem is None for _, _, problem in asked), asked
        assert sorted((a, t) for a, t, _ in asked) == sorted(watched + [("Night Owls", "Don't Stop")] +
                                                              [("Songlark Faults", f + " (search)") for f in FAULTS]), asked
        close(wp, proc)

        # A classic site named in "LyricsSite": it answers, LRCLIB hears nothing.
        wp.reg_add(KEY, "LyricsSite", "REG_SZ", site.address)
        before = len(server.requests())
        proc = wp.start([exe])
        assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
        search(wp, "Night Owls", "Blue Hour")
        assert stored(app_dir, "Night Owls", "Blue Hour") == (
            b"Night Owls - Blue Hour\r\n\r\n" + sites.expected_lyric(args.source_dir, "night-owls--blue-hour.lyric"))
        assert len(server.requests()) == before, server.requests()[before:]
        close(wp, proc)


if __name__ == "__main__":
    winetools.main(test)
