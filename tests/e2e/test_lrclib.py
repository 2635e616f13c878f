#!/usr/bin/env python3
"""Lyrics from LRCLIB on the real songlark.exe under Wine, with no
"LyricsSite" and "LrclibUrl" on the stand-in: LimeWire downloads get their
lyrics stored byte for byte (code page 1252 text included, on a
copy that runs in the legacy code page as older Windows do), a manual search
stores and shows one, a song LRCLIB lacks turns "FALSE"; a fault is no
answer: the watcher's song stays "SEARCH", a search says the source cannot be
reached and drops its row. A search runs off the window's thread: against a
trickling server the window answers throughout and the search ends within the
whole-call bound; closing during a search ends the program at once. Then, with
"LyricsSite" set, the classic site answers and LRCLIB is not asked."""
import os
import time

import sites
import winetools

KEY = r"HKLM\Software\Hollowfen\Songlark"
IDOK, IDC_SONG, IDC_LYRIC, IDC_ARTIST = 1, 1002, 1005, 1008
NOT_FOUND = b"can't find this song's lyric!"
COULD_NOT_ASK = b"can't reach the lyrics source now; try again later."
FAULTS = ["Server Error", "Malformed", "Huge", "Silent"]
WHOLE_CALL_S = 30


def rows(wp):
    out = wp.wintool("rows", "Peerpal", 1007).stdout.decode("cp1252")
    return [tuple(line.split("\t")) for line in out.splitlines() if line]


def press_search(wp, artist, song):
    """Presses Search, which must hand the lookup off at once; returns when it was pressed."""
    wp.wintool("settext", "Peerpal", IDC_ARTIST, artist)
    wp.wintool("settext", "Peerpal", IDC_SONG, song)
    start = time.time()
    wp.wintool("click", "Peerpal", IDOK, timeout=60)
    assert time.time() - start < 5, "Search held the window %.1f s" % (time.time() - start)
    return start


def search_done(wp, start, limit=WHOLE_CALL_S + 15):
    """Waits for Search to come back; returns the seconds since the press and the panel's text."""
    done = winetools.wait_for(lambda: wp.wintool("enabled", "Peerpal", IDOK).stdout.strip() == b"1", limit, 0.3)
    took = time.time() - start
    assert done, "the search did not end within %d s" % limit
    # wintool writes in text mode: each LF of the panel's CR LF reaches us as CR LF.
    return took, wp.wintool("text", "Peerpal", IDC_LYRIC).stdout.replace(b"\r\r\n", b"\r\n")


def search(wp, artist, song):
    """A manual search; returns the seconds until its answer and the panel's text."""
    return search_done(wp, press_search(wp, artist, song))


def stored(app_dir, artist, title):
    path = os.path.join(app_dir, "Lyrics", artist, title + ".lyric")
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def close(wp, proc, limit=10):
    start = time.time()
    wp.wintool("close", "Peerpal")
    try:
        proc.wait(timeout=limit)
    except Exception:
        proc.kill()
        raise AssertionError("songlark.exe did not end within %d s of WM_CLOSE" % limit)
    return time.time() - start


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
            assert panel == COULD_NOT_ASK, (fault, panel)
            assert not any(r[1:] == ("Songlark Faults", title) for r in rows(wp)), (fault, rows(wp))
            assert took < (WHOLE_CALL_S + 5 if fault == "Silent" else 10), (fault, took)
            print("search, %s: could not ask after %.1f s" % (fault, took))

        # A server that trickles its answer: the window answers all along,
        # and the search gives up within the whole call's bound.
        start = press_search(wp, "Songlark Faults", "Trickle (search)")
        assert ("SEARCH", "Songlark Faults", "Trickle (search)") in rows(wp), rows(wp)
        ping = wp.wintool("ping", "Peerpal", 20000, 2000, check=False)
        assert ping.returncode == 0, "the window stopped answering: %r" % ping.stdout
        took, panel = search_done(wp, start)
        assert panel == COULD_NOT_ASK, panel
        assert took < WHOLE_CALL_S + 8, took
        print("search against a trickle: could not ask after %.1f s; the window answered within %s ms throughout"
              % (took, ping.stdout.decode().strip()))

        def settled():
            table = rows(wp)
            return all(any(r[1:] == song and r[0] != "SEARCH" for r in table) for song in answered) and table
        answered = [song for song in watched if song[0] != "Songlark Faults"]
        table = winetools.wait_for(settled, 120, interval=1)
        assert table, rows(wp)
        for artist, title in watched:
            want = {"Some Artist": "OK", "Zo\u00eb Lune": "OK", "Nobody Known": "FALSE"}.get(artist, "SEARCH")
            assert (want, artist, title) in table, (artist, title, table)
        assert stored(app_dir, "Some Artist", "A Song") == (
            b"Some Artist - A Song\r\n\r\n"
            b"Paper boats on the kitchen floor\r\nwe sail them to the door\r\n\r\nand back again")
        assert stored(app_dir, "Zo\u00eb Lune", "\u00c9t\u00e9") == (
            b"Zo\xeb Lune - \xc9t\xe9\r\n\r\nCaf\xe9 au lait, \x93mon c\x9cur\x94\r\nit\x92s ? now ?\r\nfin")
        faults_dir = os.path.join(app_dir, "Lyrics", "Songlark Faults")
        assert not os.path.exists(faults_dir) or not os.listdir(faults_dir), os.listdir(faults_dir)

        asked = server.requests()
        assert all(problem is None for _, _, problem in asked), asked
        # Faults the watcher met are asked again later, so some may have been asked more than once.
        searched = [("Night Owls", "Don't Stop"), ("Songlark Faults", "Trickle (search)")]
        searched += [("Songlark Faults", f + " (search)") for f in FAULTS]
        # A search by words (q=) names no artist or track field.
        asked_songs = set((a, t) for a, t, _ in asked if (a, t) != (None, None))
        assert set(answered + searched) <= asked_songs <= set(watched + searched), asked

        # Closed while a search waits on a trickle: the program ends at once.
        press_search(wp, "Songlark Faults", "Trickle (closing)")
        took = close(wp, proc)
        assert took < 5, "closing during a search took %.1f s" % took
        print("closed during a search in %.1f s" % took)
        proc = None

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
